// The watch list of started programs and the run action: what starts, what is waited for, what is followed.
#include "behaviour/process_watch_list.h"
#include "behaviour/run_action.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <fstream>
#include <map>
#include <set>
#include <thread>

#include "model/course_doc.h"
#include "platform/sys/system_info.h"
#include "tests/behaviour/display_test_support.h"
#include "tests/support/fake_course_host.h"
#include "tests/support/temp_dir.h"

using namespace tvn::testing;

namespace {

struct Notice {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  bool operator==(const Notice&) const = default;
};

// A watch list over made-up processes whose ends the test decides.
struct WatchFixture {
  RecordingTimers timers;
  std::vector<Notice> notices;
  std::set<int> ended;
  CProcessWatchList list{timers, [this](UINT m, WPARAM w, LPARAM l) { notices.push_back({m, w, l}); },
                         [this](tvn::sys::ProcessId p) { return ended.count(p) > 0; }};
};

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

void WriteScript(const std::filesystem::path& path, const std::string& body) {
  std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
  ::chmod(path.c_str(), 0755);
}

// A course host whose view has a real watch list, recording its notices.
class RunHost : public FakeCourseHost {
 public:
  IProgramWatch* GetProgramWatch() override { return &watch; }
  std::vector<Notice> notices;
  CProcessWatchList watch{timers, [this](UINT m, WPARAM w, LPARAM l) { notices.push_back({m, w, l}); }};
};

class RunActionTest : public ::testing::Test {
 protected:
  RunActionTest() : course(host) {
    WriteScript(dir / "tool", "echo \"$*\" > \"" + (dir / "args.txt").string() + "\"");
  }
  bool Run(const std::string& program, const std::string& parameters, std::uint32_t flags) {
    auto task = TaskWithActions(course, {[&](CourseBuilder& b) { b.RunAction(IconFields{}, program, parameters, flags); }});
    EXPECT_TRUE(task);
    return ActionOf<CRunAction>(*task)->Execute();
  }
  std::string Tool() const { return (dir / "tool").string(); }

  TempDir dir;
  RunHost host;
  CCourseDoc course;
};

}  // namespace

TEST(ProcessWatchList, TimerNoticesAndOneEndedProgramPerTick) {
  WatchFixture f;
  f.list.RemoveAll();
  EXPECT_TRUE(f.timers.killed.empty());
  EXPECT_FALSE(f.list.OnTimer());

  EXPECT_EQ(f.list.Add(101, 0x4), 79);
  EXPECT_EQ(f.timers.running, (std::map<UINT, UINT>{{79, 500}}));
  EXPECT_EQ(f.list.Add(102, 0x6), 2);
  EXPECT_EQ(f.list.Add(103, 0x0), 3);
  EXPECT_FALSE(f.list.OnTimer());

  // Two ended together: one per tick, each with its notice; the silent one without.
  f.ended = {101, 102, 103};
  EXPECT_TRUE(f.list.OnTimer());
  EXPECT_EQ(f.list.GetCount(), 2);
  EXPECT_TRUE(f.list.OnTimer());
  EXPECT_EQ(f.notices, (std::vector<Notice>{{953, 1036, 0}, {953, 1036, 0}}));
  EXPECT_TRUE(f.timers.running.count(79));
  EXPECT_TRUE(f.list.OnTimer());
  EXPECT_EQ(f.notices.size(), 2u);
  EXPECT_FALSE(f.timers.running.count(79));
  EXPECT_EQ(f.list.GetCount(), 0);

  // An entry without a process is never dropped by polling, only by RemoveAll.
  f.list.Add(0, 0x4);
  EXPECT_FALSE(f.list.OnTimer());
  f.list.RemoveAll();
  EXPECT_EQ(f.list.GetCount(), 0);
  EXPECT_FALSE(f.timers.running.count(79));
}

TEST_F(RunActionTest, StoredFormDefaultsAndNothingToRun) {
  CRunAction fresh;
  EXPECT_EQ(fresh.GetFlags(), 0x10);
  EXPECT_EQ(fresh.GetTypeFlags(), 64);
  EXPECT_TRUE(Run("", "", 0x06));
  EXPECT_TRUE(host.sink.boxes.empty());
  EXPECT_EQ(host.watch.GetCount(), 0);

  auto task = TaskWithActions(course, {[](CourseBuilder& b) { b.RunAction(IconFields{}, "p.exe", "{x}", 0x25); }});
  auto* run = ActionOf<CRunAction>(*task);
  EXPECT_EQ(run->GetProgram(), "p.exe");
  EXPECT_EQ(run->GetParameters(), "{x}");
  EXPECT_EQ(run->GetFlags(), 0x25);
  CRunAction copy;
  copy.CopyFrom(run, TRUE);
  EXPECT_EQ(copy.GetProgram(), "p.exe");
}

TEST_F(RunActionTest, WaitsFollowsOrReleasesWhatItStarts) {
  host.vars.Declare("Arg", VarType::kString).SetString("two words");
  // The line is the program, a blank and the parameters, unquoted.
  EXPECT_TRUE(Run(Tool(), "{Arg} 3", 0x06));
  EXPECT_EQ(Slurp(dir / "args.txt"), "two words 3");
  EXPECT_EQ(host.watch.GetCount(), 0);

  WriteScript(dir / "quick", "exit 0");
  EXPECT_TRUE(Run((dir / "quick").string(), "", 0x14));
  EXPECT_EQ(host.watch.GetCount(), 1);
  EXPECT_TRUE(host.timers.running.count(79));
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!host.watch.OnTimer() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(host.notices, (std::vector<Notice>{{953, 1036, 0}}));
  EXPECT_EQ(host.watch.GetCount(), 0);

  // Neither waited for nor watched: started, and not followed.
  std::filesystem::remove(dir / "args.txt");
  EXPECT_TRUE(Run(Tool(), "free", 0x10));
  deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (Slurp(dir / "args.txt") != "free" && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(Slurp(dir / "args.txt"), "free");
  EXPECT_EQ(host.watch.GetCount(), 0);
  EXPECT_TRUE(host.sink.boxes.empty());
}

TEST_F(RunActionTest, AFailedStartBeepsWithTheSystemsText) {
  EXPECT_TRUE(Run((dir / "missing.exe").string(), "", 0x10));
  EXPECT_EQ(host.BoxTexts(), (std::vector<std::string>{tvn::sys::ErrorText(ENOENT).str()}));
  EXPECT_EQ(host.sink.beeps.size(), 1u);
}

TEST_F(RunActionTest, DocumentsOpenWithTheirAssociatedProgram) {
  if (!std::filesystem::exists("/usr/share/mime/mime.cache")) GTEST_SKIP() << "no shared MIME database";
  const char* names[] = {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME", "XDG_DATA_DIRS"};
  std::map<std::string, std::optional<std::string>> saved;
  for (const char* n : names) saved[n] = ::getenv(n) ? std::optional<std::string>(::getenv(n)) : std::nullopt;
  ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
  ::setenv("XDG_CONFIG_DIRS", (dir / "none").c_str(), 1);
  ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
  // The MIME database stays the system's; the applications are only the test's.
  std::filesystem::create_directories(dir / "share");
  std::filesystem::create_directory_symlink("/usr/share/mime", dir / "share/mime");
  ::setenv("XDG_DATA_DIRS", (dir / "share").c_str(), 1);
  std::ofstream(dir / "report.txt") << "r";
  const std::string report = (dir / "report.txt").string();

  // No association: nothing starts, nothing is shown.
  EXPECT_TRUE(Run("", report, 0x12));
  EXPECT_FALSE(std::filesystem::exists(dir / "args.txt"));

  std::filesystem::create_directories(dir / "config");
  std::filesystem::create_directories(dir / "data/applications");
  std::ofstream(dir / "config/mimeapps.list") << "[Default Applications]\ntext/plain=tool.desktop\n";
  std::ofstream(dir / "data/applications/tool.desktop") << "[Desktop Entry]\nExec=" << Tool() << " %f\n";
  EXPECT_TRUE(Run("", report, 0x12));
  EXPECT_EQ(Slurp(dir / "args.txt"), report);
  EXPECT_TRUE(host.sink.boxes.empty());

  for (const auto& [n, v] : saved) {
    if (v) ::setenv(n.c_str(), v->c_str(), 1);
    else ::unsetenv(n.c_str());
  }
}

TEST_F(RunActionTest, ARunningCopyIsUsedInsteadOfStartingAnother) {
  // A program named "viewer" that runs until it is ended.
  std::filesystem::copy_file("/bin/sleep", dir / "viewer");
  auto viewer = tvn::sys::StartCommandLine((dir / "viewer").string() + " 60");
  ASSERT_NE(viewer.process, 0);
  // Had it not been found, the missing C:\Tools\viewer.exe would fail to start and show a box.
  EXPECT_TRUE(Run("C:\\Tools\\viewer.exe", "", 0x03));
  EXPECT_TRUE(host.sink.boxes.empty());
  ::kill(viewer.process, SIGKILL);
  tvn::sys::WaitForProcess(viewer.process);
  EXPECT_TRUE(Run("C:\\Tools\\viewer.exe", "", 0x03));
  EXPECT_EQ(host.sink.boxes.size(), 1u);
}
