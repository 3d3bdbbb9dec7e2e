// The copy step through CSetupApp: a two-disk product and its UNINSTAL.INF, entry paths, questions, errors and disks.
#include "setuptools/setup/setup_app.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <iterator>

#include "platform/sys/staged_file.h"
#include "tests/setuptools/setup_test_env.h"
#include "tests/support/pe_writer.h"
#include "tests/support/szdd_writer.h"
#include "tests/support/zip_tool.h"
#include "tests/support/zip_writer.h"

namespace {

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
std::string Szdd(const std::string& data, char missing) {
  tvn::testing::SzddOptions options;
  options.missingChar = missing;
  return tvn::testing::BuildSzdd(data, options);
}
std::string Pe(const std::string& version, std::uint32_t fileType = 0) {
  tvn::testing::PeImageOptions options;
  options.fileVersion = version;
  options.fileType = fileType;
  return tvn::testing::BuildPeImage(options);
}

// Scripted windows: answers from lists, everything shown recorded.
struct ScriptedCopyUi : ICopyUi {
  void SetGaugeRange(long long files) override { range = files; }
  void StepGauge() override { ++steps; }
  void ShowNames(const CString& source, const CString&) override {
    if (!source.IsEmpty()) names.push_back(source.str());
  }
  bool IsCopyCancelled() override { return cancelled; }
  int FileCopyErrorDialog(const CString& text) override {
    errors.push_back(text.str());
    if (onError) onError();
    return Next(errorAnswers, 5);
  }
  int DiskDialog(const CString& text, CString& folder) override {
    disks.push_back(text.str());
    if (!diskFolder.empty()) folder = CString(diskFolder);
    return Next(diskAnswers, 2);
  }
  bool DispatchPending() override {
    if (onPump) onPump();
    return true;
  }
  bool IsF3Pressed() override { return false; }
  bool AskExit() override { return false; }
  static int Next(std::vector<int>& answers, int otherwise) {
    if (answers.empty()) return otherwise;
    int answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  }
  long long range = 0;
  int steps = 0;
  bool cancelled = false;
  std::vector<std::string> names, errors, disks;
  std::vector<int> errorAnswers, diskAnswers;
  std::string diskFolder;  // the folder the disk dialog is answered with, when given
  std::function<void()> onError;  // what the user does while the box is up
  std::function<void()> onPump;   // what the user does while messages are taken
};

class SetupCopyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    locations = home.Locations();
    install = locations.driveRoot / "Product";
    fs::create_directories(install);
    fs::create_directories(locations.systemDir);
    services.AddRoot(install);
  }
  std::unique_ptr<CSetupApp> App(const std::string& scriptText, std::vector<CString> components = {}) {
    EXPECT_EQ(script.LoadBytes(scriptText, CInfReader::Encoding::kAnsi, false), 0u);
    CSetupApp::Setup setup{source.path(), install, locations, std::move(components)};
    return std::make_unique<CSetupApp>(services, script, log, ui, setup);
  }
  std::string SetupLog() { return Read(module / "setup.log"); }

  tvn::testing::SetupHome home;
  tvn::sys::WindowsLocations locations;
  TempDir module, source;
  tvn::testing::ScriptedBoxes boxes;
  CSetupServices services{SetupProgram::kSetup, boxes, module.path()};
  CUninstallLog log{services};
  CInfReader script;
  ScriptedCopyUi ui;
  fs::path install;
};

TEST_F(SetupCopyTest, ATwoDiskProductInstallsAndItsUninstallLogIsExact) {
  Write(source / "PLAIN.TXT", "plain");
  Write(source / "README.TX_", Szdd("read me", 'T'));
  Write(source / "KEEP.TX_", Szdd("kept compressed", 'T'));
  std::string head = std::string("\x07\x00", 2) + "BIG.AVI" + std::string("\x03\x00", 2);
  Write(source / "BIG.D00", head + "one,");
  Write(source / "BIG.D01", "two,");
  Write(source / "BIG.D02", "three");
  Write(source / "PACK.ZIP", tvn::testing::BuildZip({{"sub/", ""}, {"sub/a.txt", "alpha"}}));
  std::string xhead = std::string("\x05\x00", 2) + "X.EX_" + std::string("\x01\x00", 2);
  Write(source / "X.D00", xhead + Szdd("program", 'E'));
  Write(source / "DEMO.INI", "[demo]");
  Write(source / "SHARED.DL_", Szdd("shared", 'L'));
  Write(source / "TVN_DEIN.EXE", "uninstaller");
  Write(source / "EXTRA.DAT", "extra");
  auto app = App(
      "[disks]\n1 = \"Disk one\"\n2 = \"Disk two\"\n"
      "[default.files]\n"
      "1:PLAIN.TXT, <defdir>\n"
      "1:README.TX_, <defdir>docs\\\n"
      "1:KEEP.TX_, <defdir>, DONT_EXPAND\n"
      "2:BIG.D00, <defdir>\n2:BIG.D01, <defdir>\n2:BIG.D02, <defdir>\n"
      "2:X.D00, <defdir>\n"
      "1:PACK.ZIP, <defdir>, , , 2\n"
      "2:TVN_DEIN.EXE, <defdir>\n"
      "0:PLAIN.TXT, <defdir>never\\\n"
      "[windows.files]\n1:DEMO.INI, <defdir>\n"
      "[system.files]\n1:SHARED.DL_, <defdir>, SHARE SYSTEM\n"
      "[extra.files]\n2:EXTRA.DAT, <defdir>extra\\\n",
      {"extra.files"});
  ASSERT_TRUE(log.Open("TRUE", CString(install.string() + "/"), "Product"));
  ASSERT_TRUE(app->CopyAllDisks());
  log.Close();

  EXPECT_EQ(Read(install / "PLAIN.TXT"), "plain");
  EXPECT_EQ(Read(install / "docs" / "README.TXT"), "read me");
  EXPECT_EQ(Read(install / "KEEP.TX_"), Szdd("kept compressed", 'T'));
  EXPECT_EQ(Read(install / "BIG.AVI"), "one,two,three");
  EXPECT_EQ(Read(install / "X.EXE"), "program");
  EXPECT_EQ(Read(install / "sub" / "a.txt"), "alpha");
  EXPECT_EQ(Read(locations.windowsDir / "DEMO.INI"), "[demo]");
  EXPECT_EQ(Read(locations.systemDir / "SHARED.DLL"), "shared");
  EXPECT_EQ(Read(install / "extra" / "EXTRA.DAT"), "extra");
  for (const char* gone : {"BIG.D00", "BIG.D01", "BIG.D02", "X.D00", "X.EX_"}) EXPECT_FALSE(fs::exists(install / gone)) << gone;
  EXPECT_FALSE(fs::exists(install / "never"));
  EXPECT_EQ(ui.range, 14);  // 10 lines of [default.files], the archive counting 2, and one line each of the rest

  const std::string p = install.string() + "/";
  std::string expected;
  for (const char* file : {"PLAIN.TXT", "docs/README.TXT", "KEEP.TX_", "sub/a.txt", "BIG.D00", "BIG.D01",
                                  "BIG.D02", "X.D00", "extra/EXTRA.DAT", "BIG.AVI", "X.EXE", "UNINSTAL.INF"}) {
    expected += "\"" + p + file + "\"\r\n";
  }
  const std::string text = Read(install / "UNINSTAL.INF");
  ASSERT_NE(text.find("[default.files]\r\n"), std::string::npos);
  EXPECT_EQ(text.substr(text.find("[default.files]\r\n") + 17), expected);
  const auto& created = services.CreatedDirectories();
  EXPECT_NE(std::find(created.begin(), created.end(), CString(p + "sub")), created.end());
}

TEST_F(SetupCopyTest, EntryPathsDependOnTheDiskNumber) {
  auto app = App("[default.files]\n");
  const std::string src = source.path().string() + "/";
  EXPECT_EQ(app->ResolveEntryPath("2:A.TXT")->str(), src + "A.TXT");
  EXPECT_EQ(app->ResolveEntryPath("0:A.TXT")->str(), install.string() + "/A.TXT");
  EXPECT_FALSE(app->ResolveEntryPath("99:A"));
  EXPECT_FALSE(app->ResolveEntryPath("1A.TXT"));
  EXPECT_EQ(app->ResolveEntryPath("/opt/x")->str(), "/opt/x");
  EXPECT_EQ(app->ResolveEntryPath("D:\\DATA\\X")->str(), locations.driveRoot.string() + "/DATA\\X");
}

TEST_F(SetupCopyTest, CopyErrorTextsAndTheSilentLog) {
  auto app = App("[disks]\n1 = \"Disk one\"\n");
  ui.errorAnswers = {4, 3};
  EXPECT_EQ(app->ReportCopyError(7, "A.TXT"), 4);
  EXPECT_EQ(app->ReportCopyError(40, "B.TXT"), 3);
  EXPECT_EQ(ui.errors, (std::vector<std::string>{"DOS Error #7\nA.TXT", "The file to be replaced is in use by Windows\nB.TXT"}));
  EXPECT_EQ(app->PromptForDisk(1), 2);
  EXPECT_EQ(ui.disks, std::vector<std::string>{"Disk one"});
  services.SetSilent(true);
  EXPECT_EQ(app->ReportCopyError(2, "C.TXT"), 5);
  EXPECT_EQ(app->PromptForDisk(1), 2);
  EXPECT_EQ(SetupLog(), "File not found; unable to copy file\nC.TXT\nInstall needs the following disk: Disk one\n");
}

TEST_F(SetupCopyTest, AMissingSourcePromptsForTheDiskAndRetries) {
  auto app = App("[disks]\n1 = \"Disk one\"\n[default.files]\n1:LATE.TXT, <defdir>\n");
  ASSERT_TRUE(log.Open("TRUE", CString(install.string() + "/"), "P"));
  ui.diskAnswers = {2};
  EXPECT_FALSE(app->CopyAllDisks());
  Write(source / "LATE.TXT", "late");  // the user puts the disk in
  ui.diskAnswers = {1};
  // The first prompt sees no file yet only when the disk is missing: here it is there at once.
  EXPECT_TRUE(app->CopyAllDisks());
  EXPECT_EQ(Read(install / "LATE.TXT"), "late");
  services.SetSilent(true);
  fs::remove(source / "LATE.TXT");
  EXPECT_FALSE(app->CopyAllDisks());
}

TEST_F(SetupCopyTest, CheckAsksBeforeReplacingANewerFile) {
  Write(source / "LIB.DLL", Pe("1.0.0.0"));
  Write(install / "LIB.DLL", Pe("2.0.0.0"));
  auto app = App("[default.files]\n1:LIB.DLL, <defdir>, NOCHECK, LIB.DLL\n");
  ASSERT_TRUE(log.Open("TRUE", CString(install.string() + "/"), "P"));
  boxes.answers = {IDNO};
  EXPECT_TRUE(app->CopyAllDisks());
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "A newer version of 'LIB.DLL' has been detected.\n\nDo you wish to replace it?");
  EXPECT_EQ(boxes.shown[0].type, MB_YESNO | MB_ICONHAND | MB_DEFBUTTON2);
  EXPECT_EQ(Read(install / "LIB.DLL"), Pe("2.0.0.0"));
  boxes.answers = {IDYES};
  EXPECT_TRUE(app->CopyAllDisks());
  EXPECT_EQ(Read(install / "LIB.DLL"), Pe("1.0.0.0"));
  log.Close();
  const std::string text = Read(install / "UNINSTAL.INF");
  EXPECT_NE(text.find("LIB.DLL"), std::string::npos);  // logged only after the Yes
  EXPECT_EQ(fs::directory_iterator(install)->path().filename().string().find(".~"), std::string::npos);
}

TEST_F(SetupCopyTest, AnotherFileTypeAsksTheMismatchQuestionOnlyWithCheck) {
  const std::string application = Pe("1.0.0.0", 1), library = Pe("1.0.0.0", 2);
  Write(source / "LIB.DLL", application);
  Write(install / "LIB.DLL", library);
  Write(install / "KEEP.DLL", library);
  auto app = App("[default.files]\n1:LIB.DLL, <defdir>, CHECK, LIB.DLL\n1:LIB.DLL, <defdir>, , KEEP.DLL\n");
  ASSERT_TRUE(log.Open("TRUE", CString(install.string() + "/"), "P"));
  boxes.answers = {IDNO};
  EXPECT_TRUE(app->CopyAllDisks());
  ASSERT_EQ(boxes.shown.size(), 1u);  // without CHECK nobody is asked
  EXPECT_EQ(boxes.shown[0].text, "A mismatch has occured for file 'LIB.DLL'.\n\nDo you wish to replace the old file?");
  EXPECT_EQ(Read(install / "LIB.DLL"), library);
  EXPECT_EQ(Read(install / "KEEP.DLL"), library);  // the installed file stays
  boxes.answers = {IDYES};
  EXPECT_TRUE(app->CopyAllDisks());
  EXPECT_EQ(Read(install / "LIB.DLL"), application);
  EXPECT_EQ(Read(install / "KEEP.DLL"), library);
  log.Close();
  EXPECT_EQ(Read(install / "UNINSTAL.INF").find("KEEP.DLL"), std::string::npos);
  EXPECT_EQ(std::distance(fs::directory_iterator(install), fs::directory_iterator()), 3);  // no staged copy left
}

TEST_F(SetupCopyTest, CancelEscapeAndTargetsOutsideTheRoots) {
  Write(source / "A.TXT", "a");
  auto app = App("[default.files]\n1:A.TXT, <defdir>\n");
  ui.cancelled = true;
  EXPECT_EQ(app->CopyFileEntry("1:A.TXT", CString(install.string() + "/")), 18);
  ui.cancelled = false;
  // "..": the copy-error path with code 5; Escape confirmed leaves.
  ui.errorAnswers = {2};
  EXPECT_EQ(app->CopyFileEntry("1:A.TXT", CString(install.string() + "/../../../../outside/")), 5);
  ASSERT_EQ(ui.errors.size(), 1u);
  EXPECT_EQ(ui.errors[0].rfind("The file to be replaced has returned an access violation\n", 0), 0u);
  EXPECT_FALSE(fs::exists(install.parent_path().parent_path() / "outside"));
}

TEST_F(SetupCopyTest, AZipEntryWhoseFolderCannotBeMadeAsksAndHonoursTheAnswer) {
  Write(source / "PACK.ZIP", tvn::testing::BuildZip({{"a.txt", "alpha"}}));
  Write(source / "NEXT.TXT", "next");
  Write(install / "blocker", "a file where the folder goes");
  auto app = App("[default.files]\n1:PACK.ZIP, <defdir>blocker\\\n1:NEXT.TXT, <defdir>\n");
  const std::string box = "The file to be replaced has returned an access violation\n" + install.string() + "/blocker\\";
  // Exit fails the copy; Retry asks again and Ignore skips the archive, the copy going on.
  struct Row {
    std::vector<int> answers;
    bool copied;
  } rows[] = {{{3}, false}, {{4, 5}, true}};
  for (const Row& row : rows) {
    ui.errors.clear();
    ui.errorAnswers = row.answers;
    ASSERT_TRUE(log.Open("TRUE", CString(install.string() + "/"), "P"));
    EXPECT_EQ(app->CopyAllDisks(), row.copied);
    log.Close();
    EXPECT_EQ(ui.errors, std::vector<std::string>(row.answers.size(), box));
    EXPECT_EQ(Read(install / "blocker"), "a file where the folder goes");
    EXPECT_EQ(fs::exists(install / "NEXT.TXT"), row.copied);
    EXPECT_EQ(Read(install / "UNINSTAL.INF").find("a.txt"), std::string::npos);
    fs::remove(install / "NEXT.TXT");
  }
  // Retry after the user has moved the file away extracts.
  ui.errors.clear();
  ui.errorAnswers = {4};
  ui.onError = [&] { fs::remove(install / "blocker"); };
  EXPECT_TRUE(app->CopyAllDisks());
  EXPECT_EQ(ui.errors.size(), 1u);
  EXPECT_EQ(Read(install / "blocker" / "a.txt"), "alpha");
}

// Info-ZIP's split archive with its first part on disk one and its last on disk two: the disk dialog asks for the
// second disk once; Exit there fails the entry with nothing more asked and nothing left behind.
TEST_F(SetupCopyTest, ASplitArchiveAsksForItsNextDiskOnce) {
  if (!tvn::testing::HaveZipTool()) GTEST_SKIP() << "zip is not installed";
  TempDir work, disk2;
  std::string data(100 * 1024, '\0');
  unsigned seed = 1;
  for (char& c : data) c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 16);
  Write(work / "data.bin", data);
  ASSERT_TRUE(tvn::testing::RunZipTool(work.path(), {"-s", "64k", "PACK.zip", "data.bin"}));
  fs::rename(work / "PACK.z01", source / "PACK.z01");
  fs::rename(work / "PACK.zip", disk2 / "PACK.zip");
  ASSERT_FALSE(fs::exists(work / "PACK.z02"));
  const std::string script = "[disks]\n1 = \"Disk one\"\n2 = \"Disk two\"\n[default.files]\n1:PACK.ZIP, <defdir>\n";

  ui.diskAnswers = {2};
  EXPECT_FALSE(App(script)->CopyAllDisks());
  EXPECT_EQ(ui.disks, std::vector<std::string>{"Disk two"});
  EXPECT_TRUE(fs::is_empty(install));

  ui.disks.clear();
  ui.diskAnswers = {1};
  ui.diskFolder = disk2.path().string();
  EXPECT_TRUE(App(script)->CopyAllDisks());
  EXPECT_EQ(ui.disks, std::vector<std::string>{"Disk two"});
  EXPECT_EQ(Read(install / "data.bin"), data);
}

TEST_F(SetupCopyTest, RunningProgramsAreNeverReplacedUnlessShared) {
  fs::copy_file("/bin/sleep", install / "RUN.EXE");
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::execl((install / "RUN.EXE").c_str(), "RUN.EXE", "30", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ASSERT_GT(pid, 0);
  for (int i = 0; i < 20000 && !tvn::sys::IsFileInUse(install / "RUN.EXE"); ++i) ::usleep(1000);
  Write(source / "RUN.EXE", "new");
  const std::string original = Read(install / "RUN.EXE");
  auto app = App("[default.files]\n1:RUN.EXE, <defdir>, , RUN.EXE\n1:RUN.EXE, <defdir>, SHARE, RUN.EXE\n");
  ASSERT_TRUE(log.Open("TRUE", CString(install.string() + "/"), "P"));
  ui.errorAnswers = {5};  // Ignore the in-use error
  EXPECT_TRUE(app->CopyAllDisks());
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
  ASSERT_EQ(ui.errors.size(), 1u);
  EXPECT_EQ(ui.errors[0], "The file to be replaced is in use by Windows\nRUN.EXE");
  EXPECT_EQ(Read(install / "RUN.EXE"), original);  // the shared line without field 6 leaves it too
  log.Close();
  EXPECT_EQ(Read(install / "UNINSTAL.INF").find("RUN.EXE"), std::string::npos);
}

// Cancel pressed while a large file is being written, however it is written: the copy stops within that file, which
// leaves no trace (no target, no staged copy, no log line), and what was installed before it stays listed.
TEST_F(SetupCopyTest, ACopyCancelledWithinAFileLeavesNothingOfIt) {
  std::string big(1 << 20, '\0');
  std::uint32_t seed = 7;
  for (char& c : big) c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 24);
  const std::string head = std::string("\x07\x00", 2) + "BIG.DAT" + std::string("\x02\x00", 2);
  Write(source / "SMALL.TXT", "small");
  Write(source / "BIG.DAT", big);
  Write(source / "BIG.DA_", Szdd(big, 'T'));
  Write(source / "PACK.ZIP", tvn::testing::BuildZip({{"BIG.DAT", big}}));
  Write(source / "BIG.D00", head + big.substr(0, big.size() / 2));
  Write(source / "BIG.D01", big.substr(big.size() / 2));
  struct Row {
    const char* how;
    const char* entries;
    const char* target;
  } rows[] = {
      {"plain", "1:BIG.DAT, <defdir>\n", "BIG.DAT"},
      {"version install", "1:BIG.DAT, <defdir>, , BIG.DLL\n", "BIG.DLL"},
      {"expanded", "1:BIG.DA_, <defdir>\n", "BIG.DAT"},
      {"archive", "1:PACK.ZIP, <defdir>, , , 1\n", "BIG.DAT"},
      {"joined", "1:BIG.D00, <defdir>\n1:BIG.D01, <defdir>\n", "BIG.DAT"},
  };
  auto staged = [&](const std::string& target) {
    for (const auto& entry : fs::directory_iterator(install)) {
      if (entry.path().filename().string().rfind(".~" + target + ".", 0) == 0) return true;
    }
    return false;
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.how);
    fs::remove_all(install);
    fs::create_directories(install);
    ui.cancelled = false;
    bool cancelledWhileWriting = false;
    ui.onPump = [&] {
      if (!ui.cancelled && staged(row.target)) cancelledWhileWriting = ui.cancelled = true;
    };
    auto app = App(std::string("[default.files]\n1:SMALL.TXT, <defdir>\n") + row.entries);
    ASSERT_TRUE(log.Open("TRUE", CString(install.string() + "/"), "P"));
    EXPECT_FALSE(app->CopyAllDisks());
    log.Close();
    EXPECT_TRUE(cancelledWhileWriting);
    EXPECT_EQ(Read(install / "SMALL.TXT"), "small");
    for (const auto& entry : fs::directory_iterator(install)) {
      const std::string name = entry.path().filename().string();
      EXPECT_TRUE(name != row.target && name.rfind(".~", 0) != 0) << name;
    }
    const std::string listed = Read(install / "UNINSTAL.INF");
    EXPECT_NE(listed.find("/SMALL.TXT\""), std::string::npos);
    EXPECT_EQ(listed.find(std::string("/") + row.target + "\""), std::string::npos) << listed;
  }
}

}  // namespace
