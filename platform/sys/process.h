// Starting outside programs, waiting for them and polling them, and the command lines they are started with.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tvn::sys {

struct ProcessResult {
  bool started = false;  // false: the program could not be started (error holds errno)
  int error = 0;
  // The exit status the program ended with (0 to 255: the host keeps the
  // low 8 bits of what the program passed to exit); -1 when a signal ended it.
  int exitCode = -1;
  bool timedOut = false;  // ended by RunWithInput's time limit
};

// Starts the program with the given arguments (argv[0] is the program's own
// path), inheriting the caller's open handles and environment, and waits
// without a time limit for it to end.
ProcessResult RunAndWait(const std::filesystem::path& program, const std::vector<std::string>& arguments);

// Starts the program as RunAndWait does with the bytes on its standard
// input (then closed), and waits at most timeLimitMs for it to end; a
// program still running then is killed, reaped and reported as timed out.
ProcessResult RunWithInput(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                           std::string_view input, int timeLimitMs);

// A started child process; 0 stands for none.
using ProcessId = int;

// Splits a command line by the Windows rules: blanks and tabs separate;
// double quotes group; 2n backslashes before a quote give n backslashes and
// the quote groups, 2n+1 give n backslashes and a literal quote; other
// backslashes are literal; inside quotes a doubled quote is one literal
// quote. The program name (first word) ends at the closing quote or the
// first blank, and takes no backslash rules (a doubled quote inside its
// quotes is one literal quote too: a host path may hold one).
std::vector<std::string> SplitCommandLine(std::string_view commandLine);
// The command line SplitCommandLine splits back into the words: each in
// double quotes, a quote inside doubled and, in the arguments, backslashes
// before a quote doubled. Quotes stay paired, so the text also passes whole
// through a Program Manager command argument.
std::string QuoteCommandLine(const std::vector<std::string>& words);

// The host program of a Windows-style program name: the name mapped as a
// path; a name ending in ".exe" or ".com" that is no file is tried without
// the extension; a name without a separator is then looked for on PATH.
// Only files that may be executed count.
std::optional<std::filesystem::path> ResolveProgram(const std::string& name);

struct StartResult {
  ProcessId process = 0;  // 0 when it did not start
  int error = 0;          // errno of the failure
};

// Starts the command line (split as above, argv[0] resolved) with
// posix_spawn; never through a shell. The child must be waited for, polled
// until it ends, or handed to a reaper.
StartResult StartCommandLine(std::string_view commandLine);

class ChildReaper;

// Starts the program as RunAndWait does without waiting: started and error
// say whether it runs; the reaper collects its exit.
ProcessResult StartProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                           ChildReaper& reaper);

// Starts the program as RunAndWait does without waiting; the child must be
// waited for, polled until it ends, or handed to a reaper.
StartResult StartProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments);

// Waits without a time limit for the child to end and reaps it; its exit code, -1 after a signal.
int WaitForProcess(ProcessId process);

// One look at a child without waiting: once it has ended (and is reaped
// now) its exit code, -1 after a signal or when its state cannot be had;
// nothing while it runs.
std::optional<int> PollProcess(ProcessId process);

// One look at a child without waiting: true when it has ended (and is
// reaped now), or when its state cannot be had (it counts as ended).
bool HasProcessEnded(ProcessId process);

// A running program found among the system's processes.
struct RunningProgram {
  int pid = 0;
  std::string name;  // the executable's file name, else argv[0]'s
};

// Every process of the system readable under /proc, with its program's file name.
std::vector<RunningProgram> ListRunningPrograms(const std::filesystem::path& procRoot = "/proc");
// The first process whose program file name equals the key without regard
// to case, with or without ".exe" on either side; 0 when none runs.
int FindRunningProgram(std::string_view key, const std::filesystem::path& procRoot = "/proc");

}  // namespace tvn::sys
