// A product installed in-process (copy engine, groups, INI, registry, ODBC, uninstall log), then removed by uninstal.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/sys/program_groups.h"
#include "platform/sys/registry_files.h"
#include "platform/sys/shell_file_types.h"
#include "setuptools/common/setup_paths.h"
#include "setuptools/setup/setup_app.h"
#include "setuptools/uninstal/uninstall_app.h"
#include "tests/setuptools/odbc_test_env.h"
#include "tests/setuptools/setup_test_env.h"
#include "tests/setuptools/quiet_copy_ui.h"

namespace {

using tvn::testing::QuietCopyUi;

namespace fs = std::filesystem;
using tvn::sys::RegistryRoot;
using tvn::sys::RegistryValue;
using tvn::testing::TempDir;

std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
void Write(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << text;
}

struct Yes : IUninstallQuestion {
  bool Confirm(const CString&, const CString&) override { return true; }
};

class InstallUninstallTest : public ::testing::Test {
 protected:
  void SetUp() override {
    locations = home.Locations();
    install = locations.driveRoot / "Demo";
    const auto* folders = tvn::testing::OdbcFolders::Get();
    odbc = folders != nullptr;
    if (odbc) {
      folders->Reset("[Plain Driver]\nDriver=/nonexistent/libplain.so\n");
      userIni = folders->UserIni();
    }
    Write(source / "Tvnrun", "runtime");
    Write(source / "DEMO.MCL", "course");
    Write(source / "GUIDE.TXT", "guide");
    Write(source / "DEMO.INI", "[demo]");
    const std::string text =
        "[data]\nuninstall = TRUE\n"
        "[default.files]\n1:Tvnrun, <defdir>\n1:DEMO.MCL, <defdir>\n1:GUIDE.TXT, <defdir>docs\\\n"
        "[windows.files]\n1:DEMO.INI, <defdir>\n"
        "[progman.groups]\nDemo,,open\n"
        "[Demo]\nStart,<defdir>Tvnrun,<defdir>DEMO.MCL\nGuide,<defdir>docs/GUIDE.TXT\n"
        "[ini.files]\nwin.ini, Tavelon, Course, <defdir>DEMO.MCL\n"
        "[registry]\nHKEY_CURRENT_USER, Software\\Tavelon\\Demo, Path, <defdir>\n" +
        std::string(odbc ? "[ODBC Data Sources]\nScores, \"Plain Driver\"\n[Scores]\nDatabase = <defdir>scores.db\n" : "");
    ASSERT_EQ(script.LoadBytes(text, CInfReader::Encoding::kAnsi, false), 0u);

    CSetupServices services(SetupProgram::kSetup, boxes, source.path());
    // As setup's start makes the Windows folders in a new home.
    ASSERT_TRUE(services.CreateDirectoryChain(HostToScriptPath(locations.systemDir)));
    services.AddRoot(install);
    CUninstallLog log(services);
    ASSERT_TRUE(services.CreateDirectoryChain(CString(install.string())));
    ASSERT_TRUE(log.Open("TRUE", CString(install.string() + "/"), "Demo"));
    CSetupApp app(services, script, log, ui, {source.path(), install, locations, {}});
    app.MarkExistingItems();
    ASSERT_TRUE(app.CopyAllDisks());
    ASSERT_TRUE(app.CreateProgramGroups());  // real menu entries
    app.WriteIniFiles();
    app.WriteRegistry();
    ASSERT_TRUE(app.InstallOdbc());
    log.WriteDirectoriesLog(CString(install.string()));
    log.WriteGroupsLog(script);
    log.Close();
    Write(install / "notes.txt", "the user's own");
    // The installed runtime's first start opens courses with itself.
    RegisterCourses(install / "Tvnrun");
  }
  void RegisterCourses(const fs::path& program) {
    ASSERT_FALSE(tvn::sys::RegisterShellFileType(
                     {"Tavelon.Presentation", "Tavelon Presentation", {".tvn"}, "Tavelon", program},
                     tvn::sys::XdgDataHome())
                     .failed);
  }
  void Uninstall(std::vector<int> answers) {
    tvn::testing::ScriptedBoxes uninstallBoxes;
    uninstallBoxes.answers = std::move(answers);
    Yes yes;
    CHostRemovalFileSystem files;
    CMenuEntryTransport menu;
    CUninstallApp app({uninstallBoxes, yes, files, menu}, install, {});
    app.InitInstance();
    shown = uninstallBoxes.shown;
  }
  void CheckEntriesThatStay() {
    EXPECT_EQ(Read(locations.windowsDir / "win.ini"), "[Tavelon]\r\nCourse=" + install.string() + "/DEMO.MCL\r\n");
    EXPECT_EQ(Read(locations.windowsDir / "DEMO.INI"), "[demo]");  // Windows files are not logged
    EXPECT_EQ(tvn::sys::ReadRegistryValue(RegistryRoot::kCurrentUser, "Software\\Tavelon\\Demo", "Path"),
              RegistryValue(install.string() + "/"));
    if (odbc) {
      EXPECT_NE(Read(userIni).find("[Scores]"), std::string::npos);
    }
  }

  tvn::testing::SetupHome home;
  tvn::sys::WindowsLocations locations;
  fs::path install;
  TempDir source;
  bool odbc = false;
  fs::path userIni;
  CInfReader script;
  tvn::testing::ScriptedBoxes boxes;
  QuietCopyUi ui{3};
  std::vector<tvn::testing::ScriptedBoxes::Shown> shown;
  const tvn::sys::MenuFolders menus = tvn::sys::GetMenuFolders();
  const fs::path association = tvn::sys::XdgDataHome() / "applications/Tavelon.Presentation.desktop";
};

TEST_F(InstallUninstallTest, YesThroughoutLeavesNothingTheLogNames) {
  ASSERT_TRUE(fs::exists(menus.applications / "Demo" / "Start.desktop"));
  ASSERT_TRUE(fs::exists(menus.applications / "Demo" / "Guide.desktop"));
  EXPECT_NE(Read(menus.applications / "Demo" / "Start.desktop").find("Exec=\"" + install.string() + "/Tvnrun\" \"" +
                                                                       install.string() + "/DEMO.MCL\""),
            std::string::npos);
  ASSERT_TRUE(fs::exists(install / "docs" / "GUIDE.TXT"));
  CheckEntriesThatStay();

  Uninstall({IDYES, IDYES});
  EXPECT_FALSE(fs::exists(install));  // the user's file went with the install directory on Yes
  EXPECT_FALSE(fs::exists(menus.applications / "Demo"));
  EXPECT_FALSE(fs::exists(menus.directories / "tavelon-Demo.directory"));
  EXPECT_FALSE(fs::exists(menus.menus / "tavelon-Demo.menu"));
  // Nothing setup made stays: the shared folders it made went once empty, the
  // Windows folder with its INI files stays; courses no longer open with the removed runtime.
  for (const fs::path& gone : {locations.driveRoot, locations.systemDir, menus.applications, association}) {
    EXPECT_FALSE(fs::exists(gone)) << gone;
  }
  EXPECT_FALSE(fs::exists(tvn::sys::XdgDataHome() / "mime/packages/Tavelon.Presentation.xml"));
  EXPECT_TRUE(fs::exists(locations.windowsDir));
  CheckEntriesThatStay();
  // Two questions (docs, the install directory), none for a shared folder, and the closing message.
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown.back().text, "The application and all its associated files have been successfully removed.");
}

TEST_F(InstallUninstallTest, NoForTheInstallDirectoryKeepsTheUsersFile) {
  // Courses open with a runtime that stays: so does the association.
  RegisterCourses(source / "Tvnrun");
  Uninstall({IDYES, IDNO});
  EXPECT_EQ(Read(install / "notes.txt"), "the user's own");
  EXPECT_TRUE(fs::exists(locations.driveRoot));
  EXPECT_TRUE(fs::exists(association));
  for (const char* gone : {"Tvnrun", "DEMO.MCL", "UNINSTAL.INF", "docs"}) EXPECT_FALSE(fs::exists(install / gone)) << gone;
  EXPECT_FALSE(fs::exists(menus.applications / "Demo"));
  CheckEntriesThatStay();
}

}  // namespace
