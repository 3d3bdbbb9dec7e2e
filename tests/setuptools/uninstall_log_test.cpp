// UNINSTAL.INF as setup writes it and the uninstaller's reader reads it back.
#include "setuptools/common/uninstall_log.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tests/setuptools/setup_test_env.h"

namespace {

std::string ReadText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class UninstallLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    install = home.Locations().driveRoot / "Kurs Demo";
    std::filesystem::create_directories(install);
    installText = CString(install.string() + "/");
  }
  tvn::testing::SetupHome home;
  tvn::testing::TempDir module;
  tvn::testing::ScriptedBoxes boxes;
  CSetupServices services{SetupProgram::kSetup, boxes, module.path()};
  CUninstallLog log{services};
  std::filesystem::path install;
  CString installText;
};

TEST_F(UninstallLogTest, AnEmptyRunWritesTheHeadItsOwnPathAndTheDirectories) {
  ASSERT_TRUE(log.Open("tRUe", installText, "Cap\"; x"));
  log.LogOwnPath();
  log.WriteDirectoriesLog(installText);
  log.Close();
  std::string own = (install / "UNINSTAL.INF").string();
  EXPECT_EQ(ReadText(install / "UNINSTAL.INF"),
            "[dialog]\r\n"
            "\tcaption = \"'Cap x' Uninstaller\"\r\n"
            "\ttext1 = \"The 'Cap x' installation will be removed from your hard disk.\"\r\n"
            "\r\n"
            "[default.files]\r\n\"" + own + "\"\r\n"
            "\r\n[default.directory]\r\n\"" + install.string() + "\"\r\n"
            "\r\n[created.directories]\r\n");
  CInfReader reader;
  ASSERT_EQ(reader.LoadLog(install / "UNINSTAL.INF"), 0u);
  EXPECT_EQ(reader.GetString("dialog.caption"), "'Cap x' Uninstaller");
  EXPECT_EQ(CInfReader::GetField(reader.GetSection("default.directory"), 1), install.string());
}

TEST_F(UninstallLogTest, OnlyTrueWritesALog) {
  for (const char* value : {"", "yes", "TRUE "}) {
    EXPECT_TRUE(log.Open(value, installText, "C"));
    EXPECT_FALSE(log.IsOpen());
    EXPECT_FALSE(log.LogLine("/x"));
  }
  EXPECT_FALSE(std::filesystem::exists(install / "UNINSTAL.INF"));
  // A folder outside the roots is never written.
  tvn::testing::TempDir elsewhere;
  EXPECT_FALSE(log.Open("true", CString(elsewhere.path().string()), "C"));
  EXPECT_FALSE(std::filesystem::exists(elsewhere / "UNINSTAL.INF"));
}

TEST_F(UninstallLogTest, PathsReadBackExactlyOrAreNotListed) {
  ASSERT_TRUE(log.Open("TRUE", installText, "C"));
  const char* kept[] = {"/home/u/Kurs Demo/a b.txt", "/home/u/x,y=z.txt", "/home/u/Caf\xC3\xA9 [1].txt",
                        "/home/u/\xC3\xBF.txt"};
  const char* refused[] = {"/home/u/a;b.txt", "/home/u/a\"b.txt", "/home/u/a]b c.txt", "/trail ",
                           "/line\nbreak"};
  for (const char* path : kept) EXPECT_TRUE(log.LogLine(path)) << path;
  for (const char* path : refused) EXPECT_FALSE(log.LogLine(path)) << "[" << path << "]";
  log.Close();
  CInfReader reader;
  ASSERT_EQ(reader.LoadLog(install / "UNINSTAL.INF"), 0u);
  const char* line = reader.GetSection("default.files");
  for (const char* path : kept) {
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(CInfReader::GetField(line, 1), path);
    EXPECT_EQ(CInfReader::GetField(line, 2), "");
    line = reader.NextLine(line);
  }
  EXPECT_EQ(line, nullptr);
  std::string setupLog = ReadText(module / "setup.log");
  EXPECT_NE(setupLog.find("/home/u/a;b.txt"), std::string::npos);
}

TEST_F(UninstallLogTest, AWholeScriptsLogReadsBackExactly) {
  std::ifstream in(TVN_TEST_DATA_DIR "/setuptools/install_all.inf", std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  CInfReader script;
  ASSERT_EQ(script.LoadBytes(text, CInfReader::Encoding::kAnsi, true), 0u);
  ASSERT_TRUE(log.Open(script.GetString("data.uninstall"), installText, script.GetString("dialog.caption")));
  ASSERT_TRUE(services.CreateDirectoryChain(installText + "media\\Sound Clips\\"));
  std::vector<CString> files = {installText + "tvnrun.exe", installText + "media\\Sound Clips\\a, b.wav"};
  for (const auto& f : files) EXPECT_TRUE(log.LogLine(f));
  log.LogOwnPath();
  log.WriteDirectoriesLog(installText);
  EXPECT_TRUE(log.WriteGroupsLog(script));
  log.Close();

  CInfReader reader;
  ASSERT_EQ(reader.LoadLog(install / "UNINSTAL.INF"), 0u);
  EXPECT_EQ(reader.GetString("dialog.text1"), "The 'Demo Course' installation will be removed from your hard disk.");
  const char* line = reader.GetSection("default.files");
  EXPECT_EQ(CInfReader::GetField(line, 1), files[0]);
  EXPECT_EQ(CInfReader::GetField(reader.NextLine(line), 1), files[1]);
  EXPECT_EQ(CInfReader::GetField(reader.NextLine(reader.NextLine(line)), 1), (install / "UNINSTAL.INF").string());
  const char* created = reader.GetSection("created.directories");
  EXPECT_EQ(CInfReader::GetField(created, 1), (install / "media/Sound Clips").string());  // newest first
  EXPECT_EQ(CInfReader::GetField(reader.NextLine(created), 1), (install / "media").string());
  EXPECT_EQ(reader.NextLine(reader.NextLine(created)), nullptr);
  const char* groups = reader.GetSection("progman.groups");
  EXPECT_EQ(CInfReader::GetField(groups, 1), "Demo Course");
  EXPECT_EQ(reader.NextLine(groups), nullptr);  // the group marked delete is not listed
  const char* items = reader.GetSection("Demo Course");
  EXPECT_EQ(CInfReader::GetField(items, 1), "Demo Course");
  EXPECT_EQ(CInfReader::GetField(reader.NextLine(items), 1), "Read Me");
  EXPECT_NE(reader.Compacted().find("[OldGroup]"), std::string_view::npos);  // its section is written, empty

  CInfReader noGroups;
  ASSERT_EQ(noGroups.LoadBytes("[data]\nuninstall=true\n", CInfReader::Encoding::kAnsi, true), 0u);
  EXPECT_FALSE(log.WriteGroupsLog(noGroups));
}

// A run that is killed leaves the lines logged so far; the run after it lists the folders the earlier one made and
// that are still there (an earlier run's own log), with its own.
TEST_F(UninstallLogTest, LinesAreInTheFileAsLoggedAndAnEarlierRunsFoldersCarryOver) {
  namespace fs = std::filesystem;
  ASSERT_TRUE(log.Open("TRUE", installText, "C"));
  ASSERT_TRUE(services.CreateDirectoryChain(installText + "docs"));
  ASSERT_TRUE(log.LogLine(installText + "docs/a.txt"));
  EXPECT_NE(ReadText(install / "UNINSTAL.INF").find("[default.files]\r\n\"" + install.string() + "/docs/a.txt\"\r\n"),
            std::string::npos)
      << "while the log is still open";
  log.WriteDirectoriesLog(installText);
  log.Close();
  fs::create_directories(install / "kept");
  std::ofstream(install / "UNINSTAL.INF", std::ios::app)
      << "\"" << (install / "kept").string() << "\"\r\n\"" << (install / "gone").string() << "\"\r\n\"/usr\"\r\n";

  tvn::testing::TempDir otherModule;
  CSetupServices second(SetupProgram::kSetup, boxes, otherModule.path());
  CUninstallLog next(second);
  ASSERT_TRUE(next.Open("TRUE", installText, "C"));
  ASSERT_TRUE(second.CreateDirectoryChain(installText + "new"));
  next.WriteDirectoriesLog(installText);
  next.Close();
  const std::string text = ReadText(install / "UNINSTAL.INF");
  const std::string p = install.string();
  EXPECT_EQ(text.substr(text.find("[created.directories]")),
            "[created.directories]\r\n\"" + p + "/new\"\r\n\"" + p + "/docs\"\r\n\"" + p + "/kept\"\r\n");
}

}  // namespace

