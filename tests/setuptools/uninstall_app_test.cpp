// uninstal through CUninstallApp: the log, the question, files, folders, menu groups, and what always stays.
#include "setuptools/uninstal/uninstall_app.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tests/setuptools/recording_progman.h"
#include "tests/setuptools/setup_test_env.h"

namespace {

namespace fs = std::filesystem;
using tvn::testing::TempDir;

struct ScriptedQuestion : IUninstallQuestion {
  bool Confirm(const CString& caption, const CString& text) override {
    asked.push_back(caption.str() + "|" + text.str());
    return answer;
  }
  bool answer = true;
  std::vector<std::string> asked;
};

// Records every call and answers from a set of paths it pretends exist.
struct RecordingFiles : IRemovalFileSystem {
  int RemoveFile(const fs::path& file) override { return calls.push_back("file " + file.string()), 0; }
  bool RemoveDirectory(const fs::path& folder) override { return calls.push_back("dir " + folder.string()), true; }
  std::vector<std::string> ListDirectory(const fs::path& folder) override {
    calls.push_back("list " + folder.string());
    return {};
  }
  bool Exists(const fs::path&) override { return true; }
  bool RemoveFileType(std::string_view, const std::vector<fs::path>&) override { return false; }
  std::vector<std::string> calls;
};

std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
void Write(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << text;
}

class UninstallAppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    locations = home.Locations();
    install = locations.driveRoot / "Product";
    p = install.string();
    for (const char* file : {"a.txt", "docs/b.txt", "keep.txt"}) Write(install / file, "x");
    Write(outside.path() / "outside.txt", "not ours");
    Write(outside.path() / "target.txt", "linked to");
    fs::create_symlink(outside.path() / "target.txt", install / "link");
  }
  // A log as setup writes it; extra lines go to [default.files].
  void WriteLog(const std::string& extraFiles = "", const fs::path& where = {}) {
    const fs::path log = where.empty() ? install / "UNINSTAL.INF" : where;
    Write(log, "[dialog]\r\n\tcaption = \"'Product' Uninstaller\"\r\n"
               "\ttext1 = \"The 'Product' installation will be removed from your hard disk.\"\r\n\r\n"
               "[default.files]\r\n\"" + p + "/a.txt\"\r\n\"" + p + "/docs/b.txt\"\r\n\"" + p +
                   "/keep.txt\", Existed\r\n\"" + p + "/link\"\r\n" + extraFiles + "\"" + log.string() +
                   "\"\r\n\r\n[default.directory]\r\n\"" + p + "\"\r\n\r\n[created.directories]\r\n\"" + p +
                   "/docs\"\r\n\"" + p + "\"\r\n\r\n[progman.groups]\r\n\t\"Demo\"\r\n\r\n[Demo]\r\n\t\"Start\"\r\n");
  }
  std::unique_ptr<CUninstallApp> App(std::vector<std::string> arguments = {}, const fs::path& module = {}) {
    return std::make_unique<CUninstallApp>(CUninstallApp::Services{boxes, question, files, progman},
                                           module.empty() ? install : module, std::move(arguments));
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& shown : boxes.shown) texts.push_back(shown.text);
    return texts;
  }

  tvn::testing::SetupHome home;
  tvn::sys::WindowsLocations locations;
  fs::path install;
  std::string p;
  TempDir outside;
  tvn::testing::ScriptedBoxes boxes;
  ScriptedQuestion question;
  CHostRemovalFileSystem files;
  tvn::testing::RecordingProgman progman;
};

TEST_F(UninstallAppTest, YesThroughoutRemovesWhatTheLogNamesInsideTheRoots) {
  WriteLog("\"" + (outside.path() / "outside.txt").string() + "\"\r\n");
  progman.groups["Demo"] = "\"Demo\",Demo,0\r\n";
  boxes.answers = {IDYES, IDYES};
  EXPECT_FALSE(App()->InitInstance());  // started without an argument: the log beside the program

  ASSERT_EQ(question.asked.size(), 1u);
  EXPECT_EQ(question.asked[0], "'Product' Uninstaller|The 'Product' installation will be removed from your hard disk.");
  EXPECT_FALSE(fs::exists(install));  // files, the link, docs, then the install directory with keep.txt in it
  EXPECT_TRUE(fs::exists(outside.path() / "target.txt"));  // the link's target stays
  EXPECT_TRUE(fs::exists(outside.path() / "outside.txt"));
  const std::string out = (outside.path() / "outside.txt").string();
  EXPECT_EQ(Texts(), (std::vector<std::string>{
                         "Do you want to delete the directory '" + p + "/docs' and it's contents from you hard disk?",
                         "Do you want to delete the directory '" + p + "' and it's contents from you hard disk?",
                         "These files and directories could not be removed:\n\n" + out + "\n"}));
  EXPECT_EQ(progman.commands, (std::vector<std::string>{"[showgroup(Demo,1)]", "[deleteitem(\"Start\")]",
                                                        "[showgroup(Demo,6)]", "[deletegroup(\"Demo\")]",
                                                        "[exitprogman(1)]"}));
}

TEST_F(UninstallAppTest, NoKeepsFoldersAndExistedFilesAndNothingAtAllWithoutConsent) {
  WriteLog();
  question.answer = false;
  App()->InitInstance();
  EXPECT_TRUE(fs::exists(install / "a.txt"));
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_TRUE(progman.commands.empty());

  question.answer = true;
  boxes.answers = {IDNO, IDNO};
  progman.groups["Demo"] = "\"Demo\",Demo,2\r\n";  // the group still holds items: it stays
  App({(install / "UNINSTAL.INF").string()}, outside.path())->InitInstance();
  EXPECT_FALSE(fs::exists(install / "a.txt"));
  EXPECT_FALSE(fs::exists(install / "docs" / "b.txt"));
  EXPECT_TRUE(fs::exists(install / "docs"));
  EXPECT_TRUE(fs::exists(install / "keep.txt"));  // "Existed" in any case
  EXPECT_EQ(Texts().back(), "The application and all its associated files have been successfully removed.");
  EXPECT_EQ(progman.commands.size(), 3u);  // show, delete the item, leave

  // A count that is no number never removes a group.
  progman.commands.clear();
  progman.groups["Demo"] = "\"Demo\",Demo,many\r\n";
  WriteLog();  // the run took the log away with the rest
  auto again = App({(install / "UNINSTAL.INF").string()});
  ASSERT_TRUE(again->LoadLog());
  again->RemoveProgmanGroups();
  EXPECT_EQ(progman.commands.size(), 3u);
}

// A product typed into a folder outside the prefix, whose parent setup made:
// the parent goes without a question once it is empty, and stays while it
// holds anything else; / and the home folder are never touched.
TEST_F(UninstallAppTest, AParentMadeForATypedFolderGoesOnlyWhenEmpty) {
  TempDir base;
  const fs::path parent = base / "My Courses", product = parent / "Demo";
  auto installAndRemove = [&] {
    Write(product / "a.txt", "x");
    Write(product / "UNINSTAL.INF", "[default.files]\r\n\"" + (product / "a.txt").string() + "\"\r\n\"" +
                                        (product / "UNINSTAL.INF").string() + "\"\r\n\r\n[default.directory]\r\n\"" +
                                        product.string() + "\"\r\n\r\n[created.directories]\r\n\"" + product.string() +
                                        "\"\r\n\"" + parent.string() + "\"\r\n\"/\"\r\n\"" + home.path().string() +
                                        "\"\r\n");
    boxes.shown.clear();
    boxes.answers = {IDYES};
    App({(product / "UNINSTAL.INF").string()})->InitInstance();
  };
  Write(parent / "Other" / "mine.txt", "the learner's");
  installAndRemove();
  EXPECT_FALSE(fs::exists(product));
  EXPECT_EQ(Read(parent / "Other" / "mine.txt"), "the learner's");
  const std::vector<std::string> asked = {
      "Do you want to delete the directory '" + product.string() + "' and it's contents from you hard disk?",
      "The application and all its associated files have been successfully removed."};
  EXPECT_EQ(Texts(), asked);

  fs::remove_all(parent / "Other");
  installAndRemove();
  EXPECT_FALSE(fs::exists(parent));
  EXPECT_TRUE(fs::exists(base.path()));
  EXPECT_TRUE(fs::exists(home.path()));
  EXPECT_EQ(Texts(), asked);
}

TEST_F(UninstallAppTest, AMissingLogShows401AndAsksNothing) {
  App()->InitInstance();
  EXPECT_EQ(Texts(), std::vector<std::string>{
                         "Cannot find the UNINSTAL.INF file necessary to run the de-installation; check to ensure that "
                         "the file is in the same directory as the installed Tavelon presentation."});
  EXPECT_TRUE(question.asked.empty());
}

TEST_F(UninstallAppTest, RootsAndTheFoldersThatAlwaysStay) {
  // The log away from the install directory: the install directory is no root.
  const fs::path elsewhere = outside.path() / "UNINSTAL.INF";
  WriteLog("", elsewhere);
  auto app = App({elsewhere.string()});
  ASSERT_TRUE(app->LoadLog());
  EXPECT_EQ(app->Roots().size(), 1u);
  EXPECT_TRUE(app->MayRemove(install / "a.txt"));  // inside the prefix all the same
  EXPECT_FALSE(app->MayRemove(elsewhere));
  for (const fs::path& kept : {fs::path("/"), home.path(), locations.prefix, locations.driveRoot, locations.windowsDir,
                               locations.systemDir}) {
    EXPECT_FALSE(app->MayRemove(kept)) << kept;
  }
  EXPECT_TRUE(app->MayRemove(locations.systemDir / "x.dll"));

  // An install directory outside the prefix is a root when the log lies in it, never $HOME.
  TempDir product;
  WriteLog("", product.path() / "UNINSTAL.INF");
  {
    std::string text;
    std::ifstream in(product.path() / "UNINSTAL.INF", std::ios::binary);
    text.assign(std::istreambuf_iterator<char>(in), {});
    const std::size_t at = text.find("[default.directory]\r\n") + 21;
    text.replace(at, text.find("\r\n", at) - at, "\"" + product.path().string() + "/\"");
    Write(product.path() / "UNINSTAL.INF", text);
    Write(home.path() / "UNINSTAL.INF", text.replace(at, text.find("\r\n", at) - at, "\"" + home.path().string() + "\""));
  }
  app = App({(product.path() / "UNINSTAL.INF").string()});
  ASSERT_TRUE(app->LoadLog());
  EXPECT_TRUE(app->MayRemove(product.path() / "x"));
  app = App({(home.path() / "UNINSTAL.INF").string()});
  ASSERT_TRUE(app->LoadLog());
  EXPECT_FALSE(app->MayRemove(home.path() / "x"));

  // A bare two-character name is never emptied.
  RecordingFiles recording;
  CUninstallApp bare({boxes, question, recording, progman}, install, {(install / "UNINSTAL.INF").string()});
  WriteLog();
  ASSERT_TRUE(bare.LoadLog());
  bare.DeleteDirectoryFiles("C:");
  bare.DeleteDirectoryFiles("");
  EXPECT_TRUE(recording.calls.empty());
}

}  // namespace
