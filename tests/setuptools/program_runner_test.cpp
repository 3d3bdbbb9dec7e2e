// Custom programs and library exports of [run.program.before] and [run.program.after].
#include "setuptools/common/program_runner.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tests/setuptools/setup_test_env.h"

namespace {

std::string ReadText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class ProgramRunnerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    install = home.Locations().driveRoot / "Kurs Demo";
    std::filesystem::create_directories(install);
    folders.install = CString(install.string() + "/");
    folders.destination = folders.install;
    folders.source = CString(install.string() + "/");
    // A program that writes its arguments, one a line, beside itself.
    std::ofstream(install / "Tvnrun") << "#!/bin/sh\nprintf '%s\\n' \"$@\" >> \"$(dirname \"$0\")/args.txt\"\n";
    std::filesystem::permissions(install / "Tvnrun", std::filesystem::perms::owner_all);
    std::filesystem::copy_file(TVN_TEST_CONTROL_LIBRARY, install / "check.dll");
    std::ofstream(install / "broken.exe") << "not executable";
    ::setenv("TVN_TEST_CONTROL_MARK", (install / "mark.txt").c_str(), 1);
  }
  void TearDown() override {
    ::unsetenv("TVN_TEST_CONTROL_MARK");
    ::unsetenv("TVN_TEST_STEP_RESULT");
  }
  int Run(const std::string& text, std::string_view suffix) {
    EXPECT_EQ(script.LoadBytes(text, CInfReader::Encoding::kAnsi, true), 0u);
    return RunPrograms({script, services, folders, nullptr}, suffix);
  }

  tvn::testing::SetupHome home;
  tvn::testing::TempDir module;
  tvn::testing::ScriptedBoxes boxes;
  CSetupServices services{SetupProgram::kSetup, boxes, module.path()};
  CInfReader script;
  MacroFolders folders;
  std::filesystem::path install;
};

TEST_F(ProgramRunnerTest, ProgramsGetTheirArgumentsWithoutAShell) {
  EXPECT_EQ(Run("[data]\nx=1\n", "before"), RunResult::kNoSection);
  EXPECT_EQ(Run("[run.program.after]\n"
                "<defdir>missing.exe, x\n"
                "<defdir>tvnrun.exe, \"<defdir>course.tvn -v\", WAIT\n"
                "<defdir>TVNRUN.EXE, \"-a $HOME|b\", wait\n"
                "<defdir>tvnrun.exe,,WAIT\n"
                "<defdir>broken.exe, x, WAIT\n",
                "after"),
            RunResult::kRan);
  EXPECT_EQ(ReadText(install / "args.txt"), install.string() + "/course.tvn\n-v\n-a\n$HOME|b\n" + "\n");  // the last: no arguments at all
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[0].text, "Unable to run custom install program");
  EXPECT_EQ(boxes.shown[0].type, MB_ICONHAND);
  EXPECT_EQ(boxes.shown[1].text, "Unable to run program:\n" + install.string() + "/broken.exe");
}

TEST_F(ProgramRunnerTest, LibraryExportsCanEndOrGoBack) {
  const std::string script = "[run.program.before]\n<defdir>check.dll, SetupStep\n<defdir>check.dll, NoSuchExport\n"
                             "<defdir>check.dll, SetupStep\n";
  EXPECT_EQ(Run(script, "before"), RunResult::kRan);
  EXPECT_EQ(ReadText(install / "mark.txt"), install.string() + "/\n" + install.string() + "/\n");
  EXPECT_EQ(boxes.shown.size(), 1u);  // the missing export
  ::setenv("TVN_TEST_STEP_RESULT", "402", 1);
  EXPECT_EQ(Run(script, "before"), RunResult::kBack);
  ::setenv("TVN_TEST_STEP_RESULT", "2", 1);
  EXPECT_EQ(Run(script, "before"), RunResult::kExit);
  EXPECT_EQ(boxes.shown.size(), 1u);  // the lines after an answer do not run
}

TEST_F(ProgramRunnerTest, SilentRunsLogTheirFailures) {
  services.SetSilent(true);
  EXPECT_EQ(Run("[run.program.before]\nnowhere.exe\n", "before"), RunResult::kRan);
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(ReadText(module / "setup.log"), "Unable to run custom install program\n");
}

TEST(SplitArgumentsTest, BlanksOutsideQuotesSeparate) {
  MacroFolders folders;
  folders.destination = "/home/u/Kurs Demo/";
  using V = std::vector<std::string>;
  EXPECT_EQ(SplitArguments("\"-x -y\"", folders), (V{"-x", "-y"}));
  // A folder with blanks stays one argument; a literal blank needs inner quotes.
  EXPECT_EQ(SplitArguments("\"<defdir>a.tvn\"", folders), (V{"/home/u/Kurs Demo/a.tvn"}));
  EXPECT_EQ(SplitArguments("\"\"\"a b\"\"\"", folders), (V{"a b"}));
  EXPECT_EQ(SplitArguments("-t \"a b\" \"\" c", folders), (V{"-t", "a b", "", "c"}));
  EXPECT_EQ(SplitArguments("", folders), V{});
}

}  // namespace
