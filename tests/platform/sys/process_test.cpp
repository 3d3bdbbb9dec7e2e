// Starting outside programs and taking their exit codes; the command-line rules, program lookup, polling and reaping, the running-copy scan and the desktop's associations.
#include "platform/sys/process.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>

#include "platform/sys/child_reaper.h"
#include "platform/sys/desktop_apps.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(Process, ExitCodesArgumentsAndFailuresToStart) {
  auto run = tvn::sys::RunAndWait("/bin/sh", {"-c", "exit 40"});
  EXPECT_TRUE(run.started);
  EXPECT_EQ(run.exitCode, 40);

  // Arguments arrive whole, blanks included.
  run = tvn::sys::RunAndWait("/bin/sh", {"-c", "test \"$1\" = 'a b'", "sh", "a b"});
  EXPECT_EQ(run.exitCode, 0);

  // Only the low 8 bits of an exit code survive.
  run = tvn::sys::RunAndWait("/bin/sh", {"-c", "exit 9000"});
  EXPECT_EQ(run.exitCode, 9000 & 0xFF);

  run = tvn::sys::RunAndWait("/bin/sh", {"-c", "kill -9 $$"});
  EXPECT_TRUE(run.started);
  EXPECT_EQ(run.exitCode, -1);

  run = tvn::sys::RunAndWait("/nonexistent/program", {});
  EXPECT_FALSE(run.started);
  EXPECT_EQ(run.error, ENOENT);
}

}  // namespace

namespace {

TEST(Process, StartedProgramsRunWithoutBeingWaitedForAndAreReaped) {
  auto folder = std::filesystem::temp_directory_path() / ("tvn-start-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  std::filesystem::create_directories(folder);
  auto marker = folder / "done";
  tvn::sys::ChildReaper reaper;
  auto run = tvn::sys::StartProcess("/bin/sh", {"-c", "echo ok > \"$1\"", "sh", marker.string()}, reaper);
  EXPECT_TRUE(run.started);
  // Generous bound: the child only has to start on a busy machine.
  for (int i = 0; i < 1000 && !std::filesystem::exists(marker); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_TRUE(std::filesystem::exists(marker));
  for (int i = 0; i < 1000 && reaper.Pending() > 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(reaper.Pending(), 0u);
  std::filesystem::remove_all(folder);

  run = tvn::sys::StartProcess("/nonexistent/program", {}, reaper);
  EXPECT_FALSE(run.started);
  EXPECT_EQ(run.error, ENOENT);
}

using tvn::testing::TempDir;

void WriteScript(const std::filesystem::path& path, const std::string& body) {
  std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
  ::chmod(path.c_str(), 0755);
}

// Sets an environment variable for the scope and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : m_name(name) {
    if (const char* old = ::getenv(name)) m_old = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (m_old) ::setenv(m_name, m_old->c_str(), 1);
    else ::unsetenv(m_name);
  }

 private:
  const char* m_name;
  std::optional<std::string> m_old;
};

TEST(CommandLine, SplitByTheWindowsRules) {
  using V = std::vector<std::string>;
  struct Row {
    const char* line;
    V words;
  };
  const Row rows[] = {
      {"", {}},
      {"   ", {}},
      {"prog a b", {"prog", "a", "b"}},
      {"\"C:\\Program Files\\x.exe\" report.txt", {"C:\\Program Files\\x.exe", "report.txt"}},
      {"C:\\dir\\p.exe \"a b\"\tc", {"C:\\dir\\p.exe", "a b", "c"}},
      {"p a\\\\\\\"b", {"p", "a\\\"b"}},
      {"p a\\\\\"b c\"", {"p", "a\\b c"}},
      {"p a\\b\\", {"p", "a\\b\\"}},
      {"p \"a \"\"q\"\" b\"", {"p", "a \"q\" b"}},
      {"p \"unterminated arg", {"p", "unterminated arg"}},
      {"\"unterminated", {"unterminated"}},
      {"p \"\"", {"p", ""}},
      {"\"/a \"\"q\"\" b/p\" x", {"/a \"q\" b/p", "x"}},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i)
    EXPECT_EQ(tvn::sys::SplitCommandLine(rows[i].line), rows[i].words) << "row " << i;

  // Quoting gives back every word, the program's backslashes untouched.
  const V lists[] = {
      {"/My Courses/Démo Über/p\\", "a \"q\" b", "x\\", "x\\\"y", "", "$`%,()"},
      {"\"", "\\\""},
      {"C:\\p.exe"},
  };
  for (std::size_t i = 0; i < std::size(lists); ++i)
    EXPECT_EQ(tvn::sys::SplitCommandLine(tvn::sys::QuoteCommandLine(lists[i])), lists[i]) << "list " << i;
}

TEST(ProcessStart, ProgramsResolvedStartedPolledAndReaped) {
  TempDir dir;
  WriteScript(dir / "tool", "echo \"$1|$2\" > \"$0.out\"\nexit 3");
  // A Windows name with ".EXE" finds the file without it.
  auto resolved = tvn::sys::ResolveProgram((dir / "tool.EXE").string());
  ASSERT_TRUE(resolved);
  EXPECT_EQ(resolved->filename(), "tool");
  EXPECT_FALSE(tvn::sys::ResolveProgram((dir / "none.exe").string()));
  {
    ScopedEnv path("PATH", dir.path().string());
    EXPECT_TRUE(tvn::sys::ResolveProgram("tool.exe"));
  }

  auto started = tvn::sys::StartCommandLine((dir / "tool").string() + " \"a b\" c");
  ASSERT_NE(started.process, 0);
  EXPECT_EQ(tvn::sys::WaitForProcess(started.process), 3);
  std::ifstream out(dir / "tool.out");
  std::string line;
  std::getline(out, line);
  EXPECT_EQ(line, "a b|c");

  auto failed = tvn::sys::StartCommandLine((dir / "missing").string());
  EXPECT_EQ(failed.process, 0);
  EXPECT_EQ(failed.error, ENOENT);

  // Polled until it ends: it is reaped by the look that sees the end; a
  // process that is no child of ours counts as ended.
  WriteScript(dir / "quick", "exit 0");
  auto quick = tvn::sys::StartCommandLine((dir / "quick").string());
  ASSERT_NE(quick.process, 0);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!tvn::sys::HasProcessEnded(quick.process) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(::waitpid(quick.process, nullptr, WNOHANG), -1);
  EXPECT_TRUE(tvn::sys::HasProcessEnded(1));
}

TEST(ProcessStart, TheReaperCollectsChildrenNobodyWaitsFor) {
  TempDir dir;
  WriteScript(dir / "quick", "exit 0");
  std::vector<tvn::sys::ProcessId> children;
  {
    tvn::sys::ChildReaper reaper;
    for (int i = 0; i < 3; ++i) {
      auto started = tvn::sys::StartCommandLine((dir / "quick").string());
      ASSERT_NE(started.process, 0);
      children.push_back(started.process);
      reaper.Adopt(started.process);
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (reaper.Pending() > 0 && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(reaper.Pending(), 0u);
  }
  for (auto pid : children) EXPECT_EQ(::waitpid(pid, nullptr, WNOHANG), -1) << pid;
}

TEST(RunningPrograms, FoundByExecutableOrFirstArgumentWithoutCaseOrExe) {
  TempDir proc;
  auto process = [&](const char* pid, const char* exe, const std::string& cmdline) {
    std::filesystem::create_directories(proc / pid);
    if (exe) std::filesystem::create_symlink(exe, proc / pid / "exe");
    std::ofstream(proc / pid / "cmdline", std::ios::binary) << cmdline;
  };
  process("12", "/usr/bin/Viewer", std::string("viewer\0-x\0", 10));
  process("40", nullptr, std::string("C:\\Tools\\EDITOR.EXE\0", 20));
  process("self", "/bin/sh", "");
  EXPECT_EQ(tvn::sys::FindRunningProgram("VIEWER.EXE", proc.path()), 12);
  EXPECT_EQ(tvn::sys::FindRunningProgram("viewer", proc.path()), 12);
  EXPECT_EQ(tvn::sys::FindRunningProgram("editor", proc.path()), 40);
  EXPECT_EQ(tvn::sys::FindRunningProgram("sh", proc.path()), 0);
  EXPECT_EQ(tvn::sys::FindRunningProgram("", proc.path()), 0);
}

TEST(DesktopApps, ListsEntriesAndTheProgramOfADocument) {
  const char* list =
      "[Added Associations]\ntext/plain=b.desktop;a.desktop;\n"
      "[Default Applications]\ntext/plain = a.desktop\ntext/html=h.desktop\n"
      "[Removed Associations]\ntext/plain=b.desktop\n";
  EXPECT_EQ(tvn::sys::AssociationsOf(list, "text/plain"), (std::vector<std::string>{"a.desktop", "a.desktop"}));
  EXPECT_TRUE(tvn::sys::AssociationsOf(list, "image/png").empty());
  EXPECT_EQ(tvn::sys::DesktopExecLine("[Other]\nExec=no\n[Desktop Entry]\nName=V\nExec=viewer %f\n"), "viewer %f");
  EXPECT_FALSE(tvn::sys::DesktopExecLine("Exec=outside a group"));
  EXPECT_EQ(tvn::sys::ProgramOfExec("\"/opt/my app/run\" --x %U"), "/opt/my app/run");
  EXPECT_EQ(tvn::sys::ProgramOfExec("  gedit %F"), "gedit");
  EXPECT_FALSE(tvn::sys::ProgramOfExec("%f"));
  EXPECT_FALSE(tvn::sys::ProgramOfExec(""));

  TempDir dir;
  std::filesystem::create_directories(dir / "config");
  std::filesystem::create_directories(dir / "data/applications");
  std::ofstream(dir / "config/mimeapps.list") << "[Default Applications]\ntext/plain=viewer.desktop\n";
  std::ofstream(dir / "data/applications/viewer.desktop") << "[Desktop Entry]\nType=Application\nExec=/opt/viewer %f\n";
  std::ofstream(dir / "report.txt") << "hello";
  ScopedEnv config("XDG_CONFIG_HOME", (dir / "config").string());
  ScopedEnv configDirs("XDG_CONFIG_DIRS", (dir / "none").string());
  ScopedEnv data("XDG_DATA_HOME", (dir / "data").string());
  // The MIME database stays the system's; the applications are only the test's.
  if (!std::filesystem::exists("/usr/share/mime/mime.cache")) GTEST_SKIP() << "no shared MIME database";
  std::filesystem::create_directories(dir / "share");
  std::filesystem::create_directory_symlink("/usr/share/mime", dir / "share/mime");
  ScopedEnv dataDirs("XDG_DATA_DIRS", (dir / "share").string());
  EXPECT_EQ(tvn::sys::FindExecutableFor(dir / "report.txt"), "/opt/viewer");
  EXPECT_FALSE(tvn::sys::FindExecutableFor(dir / "missing.txt"));
  std::ofstream(dir / "picture.xyzunknown") << "\x01\x02";
  EXPECT_FALSE(tvn::sys::FindExecutableFor(dir / "picture.xyzunknown"));
}

}  // namespace
