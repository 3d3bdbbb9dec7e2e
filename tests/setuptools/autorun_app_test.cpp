// autorun through CAutorunApp: the source directory, outdated system files, the restart question and the runtime's start.
#include "setuptools/autorun/autorun_app.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tests/setuptools/setup_test_env.h"
#include "tests/support/pe_writer.h"

namespace {

namespace fs = std::filesystem;
using tvn::testing::TempDir;

std::string Pe(const std::string& version) {
  tvn::testing::PeImageOptions options;
  options.fileVersion = version;
  return tvn::testing::BuildPeImage(options);
}
std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class AutorunAppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    locations = home.Locations();
    fs::create_directories(locations.systemDir);
    std::ofstream(locations.systemDir / "SHARED.DLL", std::ios::binary) << Pe("1.0.0.0");
    std::ofstream(locations.systemDir / "CURRENT.DLL", std::ios::binary) << Pe("3.0.0.0");
    std::ofstream(cd / "shared.dll", std::ios::binary) << Pe("2.0.0.0");
    std::ofstream(cd / "Tvnrun") << "#!/bin/sh\n";
    fs::permissions(cd / "Tvnrun", fs::perms::owner_all);
  }
  void Script(const std::string& extra) {
    std::ofstream(cd / "INSTALL.INF") << "[system.files]\n"
                                         "12:SHARED.DLL, <sysdir>, , , , 2.0.0.0\n"
                                         "1:CURRENT.DLL, <sysdir>, , , , 2.0.0.0\n"
                                         "1:MISSING.DLL, <sysdir>, , , , 9.0\n"
                                      << extra;
  }
  CAutorunApp App(const std::string& commandLine) {
    return CAutorunApp(boxes, cd.path(), commandLine, [this](const fs::path& program, const std::vector<std::string>& args) {
      started.push_back(program.string());
      for (const auto& arg : args) started.push_back(arg);
      return true;
    });
  }

  tvn::testing::SetupHome home;
  tvn::sys::WindowsLocations locations;
  TempDir cd;
  tvn::testing::ScriptedBoxes boxes;
  std::vector<std::string> started;
  const std::string groups = "[progman.groups]\nDemo\n[Demo]\nStart,<defdir>Tvnrun,<defsrc>demo.mcl\n";
};

TEST_F(AutorunAppTest, DecliningTheUpdateCopiesNothingAndStartsTheRuntimeFromTheSource) {
  Script(groups);
  boxes.answers = {IDNO};
  CAutorunApp app = App(cd.path().string() + "/");
  EXPECT_EQ(app.SourceDirectory(), cd.path().string());
  EXPECT_FALSE(app.InitInstance());
  ASSERT_EQ(boxes.shown.size(), 1u);
  // Only the outdated file is listed: not the current one, not the missing one.
  EXPECT_EQ(boxes.shown[0].text,
            "Tavelon has detected that the following MS Windows files need updating:\n\nSHARED.DLL\n\n"
            "Do you want to install these files now?\n\nWARNING: If you do not install these files, then Tavelon may "
            "not run correctly.");
  EXPECT_EQ(boxes.shown[0].caption, "Tavelon Autorun");
  EXPECT_EQ(Read(locations.systemDir / "SHARED.DLL"), Pe("1.0.0.0"));
  const std::string c = cd.path().string();
  EXPECT_EQ(started, (std::vector<std::string>{c + "/Tvnrun", c + "/demo.mcl"}));
}

TEST_F(AutorunAppTest, AcceptingUpdatesTheFileAndAsksTheRestartBeforeTheRuntimeStarts) {
  Script("[data]\nrestartwindows = true\n" + groups);
  boxes.answers = {IDYES, IDOK};
  CAutorunApp app = App("");  // a short command line: the program's own folder is the source
  app.InitInstance();
  EXPECT_EQ(Read(locations.systemDir / "SHARED.DLL"), Pe("2.0.0.0"));
  EXPECT_EQ(Read(locations.systemDir / "CURRENT.DLL"), Pe("3.0.0.0"));
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[1].text.substr(0, 45), "Autorun needs to Restart Windows before Tavel");
  EXPECT_TRUE(app.RestartRequested());
  EXPECT_EQ(started.size(), 2u);
}

TEST_F(AutorunAppTest, CopyErrorsAskAbortRetryOrIgnore) {
  Script(groups);
  fs::remove(cd / "shared.dll");
  boxes.answers = {IDYES, IDRETRY, IDIGNORE};
  App(cd.path().string()).InitInstance();
  ASSERT_EQ(boxes.shown.size(), 3u);
  EXPECT_EQ(boxes.shown[1].text, "File not found; unable to copy file\nSHARED.DLL");
  EXPECT_EQ(boxes.shown[1].type & 0xF, MB_ABORTRETRYIGNORE);
  EXPECT_EQ(boxes.shown[2].text, boxes.shown[1].text);
  EXPECT_EQ(started.size(), 2u);  // Ignore goes on, and the runtime still starts

  started.clear();
  boxes.shown.clear();
  boxes.answers = {IDYES, IDABORT};
  App(cd.path().string()).InitInstance();
  EXPECT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(started.size(), 2u);  // Abort stops the copy only
}

TEST_F(AutorunAppTest, TheCourseKnowsOnlyTwoMacrosAndAMissingRuntimeShows457) {
  Script("[progman.groups]\nDemo\n[Demo]\nStart,x,<defdir>a<sysdir>b.mcl\n");
  boxes.answers = {IDNO};
  App(cd.path().string()).InitInstance();
  EXPECT_EQ(started.back(), "<defdir>a" + locations.systemDir.string() + "/b.mcl");

  fs::remove(cd / "Tvnrun");
  started.clear();
  boxes.shown.clear();
  boxes.answers = {IDNO};
  App(cd.path().string()).InitInstance();
  EXPECT_TRUE(started.empty());
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[1].text, "Unable to run program:\n" + cd.path().string() + "/tvnrun.exe \"<defdir>a" +
                                     locations.systemDir.string() + "/b.mcl\"");
}

TEST_F(AutorunAppTest, WithoutProgramGroupsOrScriptNothingStarts) {
  Script("");
  boxes.answers = {IDNO};
  App("").InitInstance();
  EXPECT_TRUE(started.empty());
  EXPECT_EQ(boxes.shown.size(), 1u);  // the update question only

  fs::remove(cd / "INSTALL.INF");
  boxes.shown.clear();
  App("").InitInstance();
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text.substr(0, 39), "Cannot find the INSTALL.INF file necess");
  EXPECT_TRUE(started.empty());
}

}  // namespace
