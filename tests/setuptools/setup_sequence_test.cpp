// The step sequences of setup against a scripted wizard: start-up, Back and Exit, disk space, the install directory, terms, components, restart and exit status.
#include "setuptools/setup/setup_app.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <deque>
#include <fstream>
#include <iterator>

#include "tests/setuptools/setup_test_env.h"
#include "tests/setuptools/quiet_copy_ui.h"

namespace {

using tvn::testing::QuietCopyUi;

namespace fs = std::filesystem;
using tvn::testing::TempDir;

void Write(const fs::path& file, const std::string& bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << bytes;
}
std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Answers every dialog from one list (Continue when it runs out) and records the calls.
struct ScriptedWizard : ISetupWizard {
  int Next() {
    if (answers.empty()) return WizardResult::kContinue;
    int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  int Startup() override { return Call("Startup"); }
  int Terms(const CString& text) override {
    terms = text.str();
    return Call("Terms");
  }
  int Options(std::vector<SetupComponent>& components) override {
    const int answer = Call("Options");
    if (answer == WizardResult::kContinue && uncheck >= 0) components[static_cast<std::size_t>(uncheck)].selected = false;
    return answer;
  }
  int Directory(CString& directory) override {
    shownDirectories.push_back(directory.str());
    const int answer = Call("Directory");
    if (answer == WizardResult::kContinue && !edits.empty()) {
      directory = CString(edits.front());
      edits.pop_front();
    }
    return answer;
  }
  void ShowCopying() override { calls += "Copying,"; }
  void CloseCopying() override { calls += "Closed,"; }
  int ShowTimedMessage(const CString& text, int seconds) override {
    calls += "Timed " + text.str() + " " + std::to_string(seconds) + ",";
    return 1;
  }
  int Call(const std::string& name) {
    calls += name + ",";
    return Next();
  }
  std::deque<int> answers;
  std::deque<std::string> edits;
  std::vector<std::string> shownDirectories;
  std::string calls, terms;
  int uncheck = -1;
};

// Lines of [data] and lines after [default.files] come from each test.
constexpr const char* kBase =
    "[dialog]\ncaption = \"Demo\"\n[disks]\n1 = \"Disk one\"\n[data]\ndefdir = \"C:\\PRODUCT\"\nuninstall = TRUE\n";

class SetupSequenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    locations = home.Locations();
    fs::create_directories(locations.systemDir);
    Write(source / "A.TXT", "alpha");
  }
  CSetupApp& App(const std::string& extra, bool silent = false, const std::string& data = "") {
    services.SetSilent(silent);
    const std::string text = kBase + data + "[default.files]\n1:A.TXT, <defdir>\n" + extra;
    EXPECT_EQ(script.LoadBytes(text, CInfReader::Encoding::kAnsi, false), 0u);
    app = std::make_unique<CSetupApp>(services, script, log, ui, CSetupApp::Setup{source.path(), {}, locations, {}});
    app->InitInstance();
    return *app;
  }
  std::string Texts() {
    std::string out;
    for (const auto& box : boxes.shown) out += box.text + "|";
    return out;
  }
  std::string SetupLog() { return Read(module / "setup.log"); }
  fs::path Product() const { return locations.driveRoot / "PRODUCT"; }

  tvn::testing::SetupHome home;
  tvn::sys::WindowsLocations locations;
  TempDir module, source;
  tvn::testing::ScriptedBoxes boxes;
  CSetupServices services{SetupProgram::kSetup, boxes, module.path()};
  CUninstallLog log{services};
  CInfReader script;
  QuietCopyUi ui;
  ScriptedWizard wizard;
  std::unique_ptr<CSetupApp> app;
};

const std::string kIncomplete = "Incomplete Installation!\n\nPlease try again or contact your software supplier.";

TEST(SetupCommandLine, SwitchesAndFoldersAreReadApart) {
  struct Row {
    std::vector<const char*> args;
    bool silent;
    const char* folder;
  } rows[] = {
      {{"/S"}, true, ""},           {{"-s"}, true, ""},           {{"s"}, true, ""},
      {{"/sx"}, false, "/sx"},      {{"/media/cd"}, false, "/media/cd"},
      {{"-s", "/media/cd"}, true, "/media/cd"},  // the folder is not "-s /media/cd"
      {{"/media/my", "cd"}, false, "/media/my cd"},  {{}, false, ""},
  };
  int row = 0;
  for (const Row& r : rows) {
    std::vector<CString> args;
    for (const char* a : r.args) args.emplace_back(a);
    const auto line = CSetupApp::ParseCommandLine(args);
    EXPECT_EQ(line.silent, r.silent) << "row " << row;
    EXPECT_EQ(line.sourceDirectory.str(), r.folder) << "row " << row;
    ++row;
  }
}

TEST_F(SetupSequenceTest, StartUpTakesCaptionTitleAndTheWinIniFolder) {
  CSetupApp& plain = App("[background]\ntitle = \"Big title\"\n");
  EXPECT_EQ(plain.Caption().str(), "Demo");
  EXPECT_EQ(plain.BackgroundTitle().str(), "Big title");
  EXPECT_EQ(plain.InstallDirectoryText().str(), Product().string());

  // "[Tavelon]" without a Path key: the drive root's "Tavelon".
  script = CInfReader();
  ASSERT_EQ(script.LoadBytes("[data]\ndefdir = \"[Tavelon]\"\n", CInfReader::Encoding::kAnsi, false), 0u);
  CSetupApp bracket(services, script, log, ui, CSetupApp::Setup{source.path(), {}, locations, {}});
  bracket.InitInstance();
  EXPECT_EQ(bracket.InstallDirectoryText().str(), (locations.driveRoot / "Tavelon").string());
  EXPECT_EQ(bracket.BackgroundTitle().str(), "");
  Write(locations.windowsDir / "win.ini", "[tavelon]\r\nPath=C:\\COURSES\\OLD\r\n");
  bracket.InitInstance();
  EXPECT_EQ(bracket.InstallDirectoryText().str(), (locations.driveRoot / "COURSES/OLD").string());
}

TEST_F(SetupSequenceTest, BackAndExitWalkTheStepsAsTheScriptHasThem) {
  Write(source / "TERMS.TXT", "the terms, caf\xE9");  // code page 1252
  const std::string terms = "terms = \"" + (source / "TERMS.TXT").string() + "\"\n";
  const std::string components = "[custom.dialog]\ncombobox = Samples, checked, SAMPLES, 2500\n";
  struct Row {
    std::string extra, data;
    std::deque<int> answers;
    const char* calls;
  } rows[] = {
      // Back from Directory: Options with components, else Terms with terms, else Startup.
      {components, terms, {1, 1, 1, 402, 2}, "Startup,Terms,Options,Directory,Options,"},
      {"", terms, {1, 1, 402, 402, 2}, "Startup,Terms,Directory,Terms,Startup,"},
      {"", "", {1, 402, 2}, "Startup,Directory,Startup,"},
      // Back from Options: Terms when there are terms, else Startup.
      {components, "", {1, 402, 2}, "Startup,Options,Startup,"},
      {components, terms, {1, 1, 402, 2}, "Startup,Terms,Options,Terms,"},
  };
  int row = 0;
  for (Row& r : rows) {
    boxes.shown.clear();
    wizard = ScriptedWizard();
    wizard.answers = r.answers;
    EXPECT_EQ(App(r.extra, false, r.data).RunInteractive(wizard), 1) << "row " << row;
    EXPECT_EQ(wizard.calls, r.calls) << "row " << row;
    EXPECT_EQ(Texts(), kIncomplete + "|") << "row " << row;
    ++row;
  }
  EXPECT_EQ(wizard.terms, "the terms, caf\xC3\xA9");  // shown as setup's UTF-8
}

TEST_F(SetupSequenceTest, BackKeepsTheFolderAndABackFromTheProgramBeforeReturnsToDirectory) {
  fs::copy_file(TVN_TEST_CONTROL_LIBRARY, source / "step.dll");
  ::setenv("TVN_TEST_STEP_RESULT", "402", 1);
  CSetupApp& setup = App("[run.program.before]\n<defsrc>step.dll, SetupStep\n");
  wizard.answers = {1, 1, 2};
  EXPECT_EQ(setup.RunInteractive(wizard), 1);
  ::unsetenv("TVN_TEST_STEP_RESULT");
  EXPECT_EQ(wizard.calls, "Startup,Directory,Directory,");
  ASSERT_EQ(wizard.shownDirectories.size(), 2u);
  EXPECT_EQ(wizard.shownDirectories[1], Product().string() + "/");
  EXPECT_FALSE(fs::exists(Product() / "A.TXT"));
}

TEST_F(SetupSequenceTest, TooLittleSpaceAsksForAnotherFolderOrEndsASilentRun) {
  const std::string huge = "[disk.space]\nminspace = 1000000000000000000\n"
                           "[custom.dialog]\ncombobox = Samples, checked, SAMPLES, 2500\n";
  CSetupApp& setup = App(huge);
  wizard.answers = {1, 1, 1, 2};
  EXPECT_EQ(setup.RunInteractive(wizard), 1);
  EXPECT_EQ(wizard.calls, "Startup,Options,Directory,Directory,");
  const std::string disk =
      "Insufficent disk space on specified destination drive.\n1000000000000002500 bytes are required for this installation.";
  EXPECT_EQ(setup.RequiredBytes(), 1000000000000002500ull);
  EXPECT_EQ(Texts(), disk + "|" + kIncomplete + "|");

  boxes.shown.clear();
  EXPECT_EQ(App(huge, true).RunSilent(), 1);
  EXPECT_EQ(SetupLog(), disk + "\n" + kIncomplete + "\n");
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_FALSE(fs::exists(Product()));
}

TEST_F(SetupSequenceTest, AnUnsafeOrUncreatableInstallDirectoryGives442Then435) {
  Write(locations.driveRoot / "AFILE", "in the way");
  const char* home = std::getenv("HOME");
  const std::string rows[] = {"relative/place",
                              locations.prefix.string(),
                              locations.driveRoot.string(),
                              locations.windowsDir.string(),
                              locations.systemDir.string(),
                              home,
                              fs::path(home).parent_path().string(),
                              "/",
                              (locations.driveRoot / "AFILE/below").string()};
  int row = 0;
  for (const std::string& folder : rows) {
    fs::remove(module / "setup.log");
    CSetupApp& setup = App("", true);
    setup.SetInstallDirectoryText(CString(folder));
    EXPECT_EQ(setup.RunSilent(), 1) << "row " << row;
    const std::string folderText = folder + (folder.ends_with('/') ? "" : "/");
    EXPECT_EQ(SetupLog(), folderText +
                              "\nUnable to create directory, check its a valid directory name and you have the correct "
                              "access rights.\n" + kIncomplete + "\n")
        << "row " << row;
    ++row;
  }
  // An existing folder is no failure.
  fs::create_directories(locations.driveRoot / "EXISTS");
  CSetupApp& setup = App("", true);
  setup.SetInstallDirectoryText(CString((locations.driveRoot / "EXISTS").string()));
  EXPECT_EQ(setup.RunSilent(), 0);
  EXPECT_TRUE(fs::exists(locations.driveRoot / "EXISTS/A.TXT"));
}

TEST_F(SetupSequenceTest, ComponentsAreReadFiveAtMostAndTheirSizesCount) {
  Write(source / "S.TXT", "sample");
  Write(source / "X.TXT", "extra");
  CSetupApp& setup = App(
      "[custom.dialog]\ntext1 = \"Choose\"\ncombobox = Samples, checked, SAMPLES, 2500\n"
      "combobox = Extra, , EXTRA, 1999\ncombobox = Minus, checked, NONE, -400\nCOMBOBOX = D, CHECKED, NONE, 1999abc\n"
      "combobox = E, no, NONE, x\ncombobox = F, checked, NONE, 7\ncombobox = G, checked, NONE, 7\n"
      "[SAMPLES]\n1:S.TXT, <defdir>\n[EXTRA]\n1:X.TXT, <defdir>\n");
  setup.ReadCustomDialog();
  std::string read;
  for (const SetupComponent& c : setup.Components()) {
    read += c.label.str() + ":" + c.section.str() + ":" + std::to_string(c.size) + (c.selected ? "+ " : "- ");
  }
  EXPECT_EQ(read, "Samples:SAMPLES:2500+ Extra:EXTRA:1999- Minus:NONE:-400+ D:NONE:1999+ E:NONE:0- ");
  EXPECT_EQ(setup.GetComponentsSize(), 2500 + 1999);  // the negative size counts as 0
  EXPECT_EQ(setup.CountComponentFiles(), 1);

  // Unchecking Samples in the options dialog leaves it uninstalled.
  wizard.uncheck = 0;
  EXPECT_EQ(setup.RunInteractive(wizard), 0);
  EXPECT_FALSE(fs::exists(Product() / "S.TXT"));
  EXPECT_TRUE(fs::exists(Product() / "A.TXT"));
  EXPECT_EQ(App("[custom.dialog]\ncombobox = Samples, checked, SAMPLES, 2500\n[SAMPLES]\n1:S.TXT, <defdir>\n", true).RunSilent(),
            0);
  EXPECT_EQ(Read(Product() / "S.TXT"), "sample");
  // The separator is added in a silent run too.
  EXPECT_EQ(app->InstallDirectoryText().str(), Product().string() + "/");
}

TEST_F(SetupSequenceTest, TermsPassAsAcceptedWhenMissingOrEmptyAndLongOnesAreShown) {
  const auto terms = [&](const fs::path& file) { return "terms = \"" + file.string() + "\"\n"; };
  wizard.answers = {1, 2};
  EXPECT_EQ(App("", false, terms(source / "NONE.TXT")).RunInteractive(wizard), 1);
  EXPECT_EQ(wizard.calls, "Startup,Directory,");
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[0].text,
            FormatSetupString(SetupProgram::kSetup, SetupString::kFileNotFound, CString((source / "NONE.TXT").string())).str());

  Write(source / "EMPTY.TXT", "");
  wizard = ScriptedWizard();
  wizard.answers = {1, 2};
  App("", false, terms(source / "EMPTY.TXT")).RunInteractive(wizard);
  EXPECT_EQ(wizard.calls, "Startup,Directory,");

  const std::string longTerms(20001, 'x');
  Write(source / "LONG.TXT", longTerms);
  wizard = ScriptedWizard();
  wizard.answers = {1, 2, 2};
  App("", false, terms(source / "LONG.TXT")).RunInteractive(wizard);
  EXPECT_EQ(wizard.calls, "Startup,Terms,");
  EXPECT_EQ(wizard.terms, longTerms);
}

TEST_F(SetupSequenceTest, AnInteractiveRunEndsWith417OrTheRestartQuestionAndNothingRestarts) {
  const std::string restart = "restartwindows = \"true\"\n";
  wizard.answers = {1, 1};
  boxes.answers = {IDOK};
  EXPECT_EQ(App("", false, restart).RunInteractive(wizard), 0);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text.substr(0, 20), "Setup needs to Resta");
  EXPECT_EQ(boxes.shown[0].type, static_cast<UINT>(MB_OKCANCEL | MB_ICONHAND));
  EXPECT_EQ(wizard.calls.find("Timed"), std::string::npos);

  // Cancel: the final message after all; Continue took the edited folder, with a separator.
  wizard = ScriptedWizard();
  wizard.edits = {(locations.driveRoot / "Chosen").string()};
  boxes.answers = {IDCANCEL};
  CSetupApp& setup = App("", false, restart);
  EXPECT_EQ(setup.RunInteractive(wizard), 0);
  EXPECT_EQ(wizard.calls, "Startup,Directory,Copying,Closed,Timed Application installation complete. 3,");
  EXPECT_EQ(setup.InstallDirectoryText().str(), (locations.driveRoot / "Chosen").string() + "/");
  EXPECT_EQ(Read(locations.driveRoot / "Chosen/A.TXT"), "alpha");

  // A boot command line means no question; silent: logged, taken as OK, and the run's end logged after it.
  boxes.shown.clear();
  EXPECT_FALSE(App("[bootup]\nCmdLine = \"x\"\n", false, restart).CheckRestart());
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(App("", true, restart).RunSilent(), 0);
  EXPECT_EQ(SetupLog(),
            "Setup needs to Restart Windows before this application will run.\n\nPress OK to Restart Windows or Cancel to "
            "return to Windows.\nApplication installation complete.\n");
}

TEST_F(SetupSequenceTest, SkippedFilesGiveStatusTwoAndAFailedCopyStillListsItsFolders) {
  // A folder in place of a target file: the copy error is logged and ignored.
  Write(source / "B.TXT", "beta");
  fs::create_directories(Product() / "B.TXT");
  EXPECT_EQ(App("1:B.TXT, <defdir>\n", true).RunSilent(), 2);
  const std::string logText = SetupLog();
  EXPECT_NE(logText.find("B.TXT"), std::string::npos);
  EXPECT_TRUE(logText.ends_with("Files skipped after copy errors: 1\n")) << logText;
  EXPECT_EQ(Read(Product() / "A.TXT"), "alpha");

  // A missing file fails the copy: UNINSTAL.INF still names itself and the folders.
  fs::remove_all(locations.driveRoot);
  EXPECT_EQ(App("1:MISSING.TXT, <defdir>sub\\\n", true).RunSilent(), 1);
  const std::string uninstall = Read(Product() / "UNINSTAL.INF");
  EXPECT_NE(uninstall.find("UNINSTAL.INF\""), std::string::npos);
  EXPECT_NE(uninstall.find("[created.directories]"), std::string::npos);
  EXPECT_NE(uninstall.find("/PRODUCT/sub\""), std::string::npos) << uninstall;
  EXPECT_TRUE(SetupLog().ends_with(kIncomplete + "\n"));
}

}  // namespace
