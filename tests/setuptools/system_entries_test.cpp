// Setup's late steps through CSetupApp: program-group commands, INI entries, registry values and ODBC data sources.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/sys/registry_files.h"
#include "setuptools/setup/setup_app.h"
#include "tests/setuptools/odbc_test_env.h"
#include "tests/setuptools/recording_progman.h"
#include "tests/setuptools/setup_test_env.h"
#include "tests/setuptools/quiet_copy_ui.h"

namespace {

using tvn::testing::QuietCopyUi;

namespace fs = std::filesystem;
using tvn::sys::ReadRegistryValue;
using tvn::sys::RegistryRoot;
using tvn::sys::RegistryValue;
using tvn::testing::TempDir;

std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class SystemEntriesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    locations = home.Locations();
    install = locations.driveRoot / "Product";
    fs::create_directories(install);
    services.AddRoot(install);
  }
  CSetupApp& App(const std::string& text, std::vector<CString> components = {}) {
    EXPECT_EQ(script.LoadBytes(text, CInfReader::Encoding::kAnsi, false), 0u);
    app = std::make_unique<CSetupApp>(services, script, log, ui,
                                      CSetupApp::Setup{source.path(), install, locations, std::move(components)});
    app->SetProgmanTransport(&progman);
    return *app;
  }

  tvn::testing::SetupHome home;
  tvn::sys::WindowsLocations locations;
  TempDir module, source;
  tvn::testing::ScriptedBoxes boxes;
  CSetupServices services{SetupProgram::kSetup, boxes, module.path()};
  CUninstallLog log{services};
  CInfReader script;
  QuietCopyUi ui;
  tvn::testing::RecordingProgman progman;
  std::unique_ptr<CSetupApp> app;
  fs::path install;
};

TEST_F(SystemEntriesTest, GroupCommandsFollowTheScriptInOrder) {
  std::string text =
      "[progman.groups]\nDemo,delete,open\nSecond,,close\n"
      "[Demo]\n"
      "Start,<defdir>Tvnrun,<defdir>demo.mcl\n"
      "Help,<defdir>help,,,,,Extras\n"
      "Again,<defdir>again,,<defdir>again.png,3,DELETE\n"
      "Checked,<defdir>Existing,,,,check\n"
      "Fresh,<defdir>fresh,,,,check,extras\n"
      "[Second]\n";
  for (int i = 1; i <= 21; ++i) text += "I" + std::to_string(i) + ",<defdir>p" + std::to_string(i) + ",,,,Check\n";
  std::ofstream(install / "Existing") << "there before copying";
  CSetupApp& setup = App(text, {"extras"});
  ASSERT_TRUE(setup.MarkExistingItems());
  ASSERT_TRUE(setup.CreateProgramGroups());

  const std::string p = install.string();
  std::vector<std::string> expected = {
      "[deletegroup(Demo)]",
      "[creategroup(Demo)]",
      "[additem(\"" + p + "/Tvnrun\" \"" + p + "/demo.mcl\",\"Start\",\"" + p + "/Tvnrun\",0)]",
      "[deleteitem(Again)]",
      "[additem(\"" + p + "/again\" \"\",\"Again\",\"" + p + "/again.png\",3)]",
      "[additem(\"" + p + "/fresh\" \"\",\"Fresh\",\"" + p + "/fresh\",0)]",
      "[reload(Demo)]",
      "[creategroup(Second)]"};
  for (int i = 1; i <= 20; ++i) {  // the 21st "check" item is never added
    const std::string program = p + "/p" + std::to_string(i);
    expected.push_back("[additem(\"" + program + "\" \"\",\"I" + std::to_string(i) + "\",\"" + program + "\",0)]");
  }
  for (const char* tail : {"[reload(Second)]", "[showgroup(Demo,1)]", "[showgroup(Second,2)]", "[exitprogman(1)]"}) {
    expected.push_back(tail);
  }
  EXPECT_EQ(progman.commands, expected);
  EXPECT_EQ(progman.disconnects, 1);

  // Without a conversation: message 443 once per group, nothing sent.
  progman.commands.clear();
  progman.answers = false;
  boxes.shown.clear();
  ASSERT_TRUE(setup.CreateProgramGroups());
  EXPECT_TRUE(progman.commands.empty());
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[0].text, "Unable to communicate with Program Manager");

  // Without [progman.groups]: no conversation at all.
  progman.connects = 0;
  EXPECT_FALSE(App("[data]\nx=1\n").CreateProgramGroups());
  EXPECT_EQ(progman.connects, 0);
}

TEST_F(SystemEntriesTest, IniEntriesGoToWinIniTheWindowsFolderOrANamedFileInsideTheRoots) {
  TempDir outside;
  const std::string text = "[ini.files]\n"
                           "win.ini, Desktop, Wall, <defdir>w.bmp\n"
                           "SYSWIN.INI, Other, Key, v\n"
                           "demo.ini, Demo, Dir, <defdir>\n" +
                           (install / "app.ini").string() + ", S, K, V\n" + (outside.path() / "x.ini").string() +
                           ", S, K, V\n";
  ASSERT_TRUE(App(text).WriteIniFiles());
  const std::string p = install.string() + "/";
  EXPECT_EQ(Read(locations.windowsDir / "win.ini"), "[Desktop]\r\nWall=" + p + "w.bmp\r\n\r\n[Other]\r\nKey=v\r\n");
  EXPECT_EQ(Read(locations.windowsDir / "demo.ini"), "[Demo]\r\nDir=" + p + "\r\n");
  EXPECT_EQ(Read(install / "app.ini"), "[S]\r\nK=V\r\n");
  EXPECT_FALSE(fs::exists(outside.path() / "x.ini"));
  EXPECT_FALSE(App("[data]\nx=1\n").WriteIniFiles());
}

TEST_F(SystemEntriesTest, RegistryValuesGoToTheRootFiles) {
  // No [registry]: nothing is touched, not even the folder.
  EXPECT_FALSE(App("[data]\nx=1\n").WriteRegistry());
  EXPECT_FALSE(fs::exists(tvn::sys::RegistryFolder()));

  ASSERT_TRUE(App("[registry]\n"
                  "hkey_local_machine, Software\\Tavelon, Path, <defdir>\n"
                  "HKEY_USERS, Software\\Tavelon, Count, 12abc, dword\n"
                  "HKEY_CLASSES_ROOT, .mcl, , Tavelon.Course\n"
                  "HKEY_CURRENT_USER, Software\\Tavelon, screensaveactive, 0\n"
                  "HKEY_CURRENT_USER, software\\TAVELON, Name, \"A, B\"\n")
                  .WriteRegistry());
  EXPECT_EQ(ReadRegistryValue(RegistryRoot::kLocalMachine, "software\\tavelon", "PATH"),
            RegistryValue(install.string() + "/"));
  EXPECT_EQ(ReadRegistryValue(RegistryRoot::kCurrentUser, "Software\\Tavelon", "Count"), RegistryValue(12u));
  EXPECT_EQ(ReadRegistryValue(RegistryRoot::kCurrentUser, "Software\\Tavelon", "ScreenSaveActive"), RegistryValue("0"));
  EXPECT_EQ(Read(tvn::sys::RegistryFileOf(RegistryRoot::kCurrentUser)),
            "[Software\\Tavelon]\n\"Count\"=dword:0000000c\n\"screensaveactive\"=\"0\"\n\"Name\"=\"A, B\"\n");
  EXPECT_EQ(Read(tvn::sys::RegistryFileOf(RegistryRoot::kClassesRoot)), "[.mcl]\n@=\"Tavelon.Course\"\n");
}

// ODBC through unixODBC, with drivers registered in the process's odbcinst.ini.
class OdbcTest : public SystemEntriesTest {
 protected:
  void SetUp() override {
    SystemEntriesTest::SetUp();
    odbc = tvn::testing::OdbcFolders::Get();
    if (!odbc) GTEST_SKIP() << "unixODBC's libodbcinst is not installed";
    odbc->Reset(std::string("[Plain Driver]\nDriver=/nonexistent/libplain.so\n\n") +
                "[Test Driver]\nDriver=/nonexistent/libtest.so\nSetup=" + TVN_TEST_CONTROL_LIBRARY + "\n");
  }
  std::string Marks() { return Read(odbc->Marks()); }

  const tvn::testing::OdbcFolders* odbc = nullptr;
};

TEST_F(OdbcTest, SourcesGoToTheSetupLibraryOrIntoOdbcIni) {
  EXPECT_TRUE(App("[data]\nx=1\n").InstallOdbc());  // no section: true

  CSetupApp& setup = App("[ODBC Data Sources]\n"
                         "Bare, \"Test Driver\"\n"
                         "Full, \"Test Driver\"\n"
                         "Plain, \"Plain Driver\"\n"
                         "[Full]\nDatabase = <defdir>data.mdb\nOptions = a|b\n"
                         "[Plain]\nDatabase = <defdir>plain.db\n");
  EXPECT_EQ(setup.OdbcAttributes("Bare"), std::string("DSN=Bare\0", 9));
  ASSERT_TRUE(setup.InstallOdbc());
  const std::string p = install.string() + "/";
  EXPECT_EQ(Marks(), "1 Test Driver DSN=Bare|\n1 Test Driver DSN=Full|Database=" + p + "data.mdb|Options=a|b|\n");
  // The plain driver has no setup library: the source is written as one would.
  const std::string odbcIni = Read(odbc->UserIni());
  EXPECT_NE(odbcIni.find("[Plain]"), std::string::npos) << odbcIni;
  EXPECT_NE(odbcIni.find("Plain Driver"), std::string::npos) << odbcIni;
  EXPECT_NE(odbcIni.find(p + "plain.db"), std::string::npos) << odbcIni;
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(OdbcTest, TheFirstFailureStopsTheStepAndNamesItsSource) {
  CSetupApp& setup = App("[ODBC Data Sources]\nFirst, \"Test Driver\"\nSecond, \"Unknown Driver\"\n"
                         "Third, \"Test Driver\"\n");
  EXPECT_FALSE(setup.InstallOdbc());
  EXPECT_EQ(Marks(), "1 Test Driver DSN=First|\n");  // the third is never tried
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "Setup was unable to create the Second data source.");

  // A missing installer library fails the first source.
  boxes.shown.clear();
  setup.SetOdbcLibrary("libtavelon-no-such-odbcinst.so.2");
  EXPECT_FALSE(setup.InstallOdbc());
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "Setup was unable to create the First data source.");
}

}  // namespace
