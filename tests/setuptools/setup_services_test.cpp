// Messages and the silent log, file errors, deletion and directory chains of a setup run.
#include "setuptools/common/setup_services.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/base/exceptions.h"
#include "platform/sys/file_error_messages.h"
#include "tests/setuptools/setup_test_env.h"

namespace {

std::string ReadText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class SetupServicesTest : public ::testing::Test {
 protected:
  tvn::testing::SetupHome home;
  tvn::testing::TempDir module;
  tvn::testing::ScriptedBoxes boxes;
  CSetupServices services{SetupProgram::kSetup, boxes, module.path()};
};

TEST_F(SetupServicesTest, SilentRunsLogMessagesAndAnswerOk) {
  std::ofstream(module / "setup.log") << "an old run\n";
  services.SetSilent(true);
  EXPECT_EQ(services.SetupMessage(SetupString::kRestart, MB_OKCANCEL | MB_ICONHAND), IDOK);
  EXPECT_NE(services.SetupMessage("Replace it?", MB_YESNO), IDYES);
  services.ReportFileError("/x/a.txt", CFileException::fileNotFound, false, 0);
  EXPECT_TRUE(boxes.shown.empty());  // a silent run never waits on a box
  EXPECT_EQ(ReadText(module / "setup.log"),
            "Setup needs to Restart Windows before this application will run.\n\nPress OK to Restart Windows or "
            "Cancel to return to Windows.\nReplace it?\n/x/a.txt\nCannot find this file.\nPlease verify that the "
            "correct path and file name are given.\n");
}

TEST_F(SetupServicesTest, FileErrorsByCause) {
  struct Row { int cause; bool writing; const char* text; } rows[] = {
      {CFileException::fileNotFound, false,
       "F\nCannot find this file.\nPlease verify that the correct path and file name are given."},
      {CFileException::accessDenied, false, "Unable to read from F, it is opened by someone else."},
      {CFileException::accessDenied, true, "Unable to write to F, it is read-only or opened by someone else."},
      {CFileException::tooManyOpenFiles, true, "An unexpected error occurred while writing F."},
      {CFileException::diskFull, true, "Destination disk drive is full."},
      {CFileException::sharingViolation, true, "Unable to run program:\nF"},  // the default id
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    services.ReportFileError("F", rows[i].cause, rows[i].writing, SetupString::kRunProgram);
    ASSERT_EQ(boxes.shown.size(), i + 1);
    EXPECT_EQ(boxes.shown[i].text, rows[i].text) << "row " << i;
    EXPECT_EQ(boxes.shown[i].type, MB_ICONEXCLAMATION);
  }
  EXPECT_EQ(tvn::sys::FileErrorMessageId(CFileException::badPath, true, 0), 61729u);
  EXPECT_EQ(tvn::sys::FileErrorMessageId(CFileException::accessDenied, false, 0), 61731u);
  EXPECT_EQ(tvn::sys::FileErrorMessageId(CFileException::accessDenied, true, 0), 61732u);
}

TEST_F(SetupServicesTest, DirectoryChainsRecordWhatTheyCreate) {
  auto root = home.Locations().driveRoot;
  std::filesystem::create_directories(root / "Existing");
  auto before = std::filesystem::current_path();
  EXPECT_TRUE(services.CreateDirectoryChain("C:\\existing\\A\\B\\"));
  ASSERT_EQ(services.CreatedDirectories().size(), 2u);
  EXPECT_EQ(services.CreatedDirectories()[0], (root / "Existing/A").generic_string());
  EXPECT_EQ(services.CreatedDirectories()[1], (root / "Existing/A/B").generic_string());
  EXPECT_TRUE(std::filesystem::is_directory(root / "Existing/A/B"));
  EXPECT_EQ(std::filesystem::current_path(), before);
  EXPECT_TRUE(services.CreateDirectoryChain("c:\\EXISTING\\a"));  // exists: nothing recorded, no failure
  EXPECT_EQ(services.CreatedDirectories().size(), 2u);

  std::ofstream(root / "file") << "x";
  EXPECT_FALSE(services.CreateDirectoryChain("C:\\file\\sub"));  // a real failure is reported
  tvn::testing::TempDir elsewhere;
  EXPECT_FALSE(services.CreateDirectoryChain(CString((elsewhere / "outside").string())));
  EXPECT_FALSE(std::filesystem::exists(elsewhere / "outside"));
  services.AddRoot(elsewhere.path());
  EXPECT_TRUE(services.CreateDirectoryChain(CString((elsewhere / "inside").string())));
  EXPECT_EQ(services.CreatedDirectories().size(), 3u);
}

TEST_F(SetupServicesTest, DeletionStaysInsideTheRoots) {
  auto root = home.Locations().driveRoot;
  std::filesystem::create_directories(root / "dir");
  std::ofstream(root / "dir" / "a.txt") << "x";
  EXPECT_EQ(services.DeleteFileReport("C:\\DIR\\A.TXT", false), CFileException::none);
  EXPECT_FALSE(std::filesystem::exists(root / "dir" / "a.txt"));
  EXPECT_EQ(services.DeleteFileReport("C:\\DIR\\A.TXT", true), CFileException::fileNotFound);
  ASSERT_EQ(boxes.shown.size(), 1u);
  tvn::testing::TempDir elsewhere;
  std::ofstream(elsewhere / "keep.txt") << "x";
  EXPECT_EQ(services.DeleteFileReport(CString((elsewhere / "keep.txt").string()), false), CFileException::accessDenied);
  EXPECT_TRUE(std::filesystem::exists(elsewhere / "keep.txt"));
}

TEST(SetupStringsTest, EachProgramHasItsOwnTexts) {
  EXPECT_NE(LoadSetupString(SetupProgram::kSetup, 401), LoadSetupString(SetupProgram::kAutorun, 401));
  EXPECT_NE(LoadSetupString(SetupProgram::kSetup, 417), LoadSetupString(SetupProgram::kUninstal, 417));
  EXPECT_EQ(LoadSetupString(SetupProgram::kAutorun, 20029), "Write error; unable to copy file");
  EXPECT_EQ(LoadSetupString(SetupProgram::kUninstal, 20029), "");
  EXPECT_EQ(LoadSetupString(SetupProgram::kUninstal, 415), "UNINSTAL.INF");
  EXPECT_EQ(FormatSetupString(SetupProgram::kSetup, 420, "x"), "Unable to run custom install program");
  EXPECT_EQ(FormatSetupString(SetupProgram::kAutorun, 57344, ""), "Tavelon Autorun");
}

}  // namespace
