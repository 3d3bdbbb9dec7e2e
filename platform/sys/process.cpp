// Outside programs started with posix_spawn, waited for and polled with waitpid, and the command-line rules.
#include "platform/sys/process.h"

#include <dirent.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iterator>

#include "platform/sys/child_reaper.h"
#include "platform/base/codepage.h"
#include "platform/base/host_path.h"

extern char** environ;

namespace tvn::sys {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

int Spawn(const std::string& program, std::vector<std::string> arguments, ProcessId& pid) {
  std::vector<char*> argv;
  argv.reserve(arguments.size() + 1);
  for (std::string& a : arguments) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t child = 0;
  int error = ::posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ);
  pid = error == 0 ? child : 0;
  return error;
}

bool IsExecutableFile(const std::filesystem::path& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::string_view WithoutExe(std::string_view name) {
  return tvn::codepage::EndsWithNoCase(name, ".exe") ? name.substr(0, name.size() - 4) : name;
}

std::string FileNamePart(std::string_view path) {
  std::size_t cut = path.find_last_of("/\\");
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

}  // namespace

namespace {

// The program started with argv[0] its own path; 0 or the error number.
int SpawnProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments, ProcessId& pid) {
  std::vector<std::string> owned;
  owned.reserve(arguments.size() + 1);
  owned.push_back(program.string());
  owned.insert(owned.end(), arguments.begin(), arguments.end());
  return Spawn(program.string(), std::move(owned), pid);
}

}  // namespace

ProcessResult RunAndWait(const std::filesystem::path& program, const std::vector<std::string>& arguments) {
  ProcessResult result;
  const StartResult started = StartProgram(program, arguments);
  if (!started.process) {
    result.error = started.error;
    return result;
  }
  result.started = true;
  result.exitCode = WaitForProcess(started.process);
  return result;
}

StartResult StartProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments) {
  StartResult result;
  ProcessId pid = 0;
  result.error = SpawnProgram(program, arguments, pid);
  if (!result.error) result.process = pid;
  return result;
}

ProcessResult StartProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                           ChildReaper& reaper) {
  ProcessResult result;
  ProcessId pid = 0;
  result.error = SpawnProgram(program, arguments, pid);
  if (result.error != 0) return result;
  result.started = true;
  reaper.Adopt(pid);
  return result;
}

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> out;
  std::size_t i = 0;
  while (i < line.size() && IsBlank(line[i])) ++i;
  if (i >= line.size()) return out;
  // The program name: quoted to the next quote, else to the first blank.
  std::string program;
  if (line[i] == '"') {
    ++i;
    while (i < line.size()) {
      if (line[i] != '"') {
        program += line[i++];
      } else if (i + 1 < line.size() && line[i + 1] == '"') {
        program += '"';
        i += 2;
      } else {
        ++i;
        break;
      }
    }
  } else {
    while (i < line.size() && !IsBlank(line[i])) program += line[i++];
  }
  out.push_back(std::move(program));

  while (true) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i >= line.size()) break;
    std::string word;
    bool quoted = false;
    while (i < line.size() && (quoted || !IsBlank(line[i]))) {
      if (line[i] == '\\') {
        std::size_t count = 0;
        while (i < line.size() && line[i] == '\\') ++count, ++i;
        if (i < line.size() && line[i] == '"') {
          word.append(count / 2, '\\');
          if (count % 2) {
            word += '"';
            ++i;
          }
        } else {
          word.append(count, '\\');
        }
      } else if (line[i] == '"') {
        // Inside quotes a doubled quote is one literal quote.
        if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
          word += '"';
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
      } else {
        word += line[i++];
      }
    }
    out.push_back(std::move(word));
  }
  return out;
}

std::string QuoteCommandLine(const std::vector<std::string>& words) {
  std::string line;
  for (std::size_t w = 0; w < words.size(); ++w) {
    if (w > 0) line += ' ';
    line += '"';
    std::size_t backslashes = 0;
    for (char c : words[w]) {
      if (c == '"') {
        // The program name takes no backslash rules; in an argument the
        // backslashes before a quote are doubled to stay literal.
        if (w > 0) line.append(backslashes, '\\');
        line += "\"\"";
      } else {
        line += c;
      }
      backslashes = c == '\\' ? backslashes + 1 : 0;
    }
    if (w > 0) line.append(backslashes, '\\');
    line += '"';
  }
  return line;
}

std::optional<std::filesystem::path> ResolveProgram(const std::string& name) {
  if (name.empty()) return std::nullopt;
  std::vector<std::string> candidates{name};
  if (tvn::codepage::EndsWithNoCase(name, ".exe") || tvn::codepage::EndsWithNoCase(name, ".com"))
    candidates.push_back(name.substr(0, name.size() - 4));
  for (const std::string& candidate : candidates) {
    if (auto mapped = tvn::path::MapWindowsPath(CString(candidate)); mapped && IsExecutableFile(*mapped)) {
      std::error_code ec;
      auto absolute = std::filesystem::absolute(*mapped, ec);
      return ec ? *mapped : absolute;
    }
  }
  if (name.find_first_of("/\\:") != std::string::npos) return std::nullopt;
  const char* path = ::getenv("PATH");
  if (!path) return std::nullopt;
  std::string list(path);
  for (const std::string& candidate : candidates) {
    std::size_t start = 0;
    while (start <= list.size()) {
      std::size_t colon = list.find(':', start);
      if (colon == std::string::npos) colon = list.size();
      if (colon > start) {
        std::filesystem::path found = std::filesystem::path(list.substr(start, colon - start)) / candidate;
        if (IsExecutableFile(found)) return found;
      }
      start = colon + 1;
    }
  }
  return std::nullopt;
}

StartResult StartCommandLine(std::string_view commandLine) {
  StartResult result;
  std::vector<std::string> argv = SplitCommandLine(commandLine);
  if (argv.empty()) {
    result.error = ENOENT;
    return result;
  }
  auto program = ResolveProgram(argv[0]);
  if (!program) {
    result.error = ENOENT;
    return result;
  }
  argv[0] = program->string();
  result.error = Spawn(program->string(), std::move(argv), result.process);
  return result;
}

int WaitForProcess(ProcessId process) {
  if (process <= 0) return -1;
  int status = 0;
  pid_t waited;
  do {
    waited = ::waitpid(process, &status, 0);
  } while (waited < 0 && errno == EINTR);
  if (waited < 0 || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

bool HasProcessEnded(ProcessId process) { return PollProcess(process).has_value(); }

std::optional<int> PollProcess(ProcessId process) {
  if (process <= 0) return -1;
  int status = 0;
  pid_t waited;
  do {
    waited = ::waitpid(process, &status, WNOHANG);
  } while (waited < 0 && errno == EINTR);
  // 0: still running; the process itself: ended and reaped now; -1: its
  // state cannot be had, so it counts as ended.
  if (waited == 0) return std::nullopt;
  if (waited < 0 || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

std::vector<RunningProgram> ListRunningPrograms(const std::filesystem::path& procRoot) {
  std::vector<RunningProgram> out;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(procRoot, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string entry = it->path().filename().string();
    if (entry.empty() || !std::all_of(entry.begin(), entry.end(), [](char c) { return c >= '0' && c <= '9'; }))
      continue;
    if (entry.size() > 9) continue;
    RunningProgram program;
    program.pid = std::stoi(entry);
    std::error_code linkError;
    auto exe = std::filesystem::read_symlink(it->path() / "exe", linkError);
    if (!linkError) {
      program.name = exe.filename().string();
    } else {
      // Another user's process: its command line's first word still says what runs.
      std::ifstream cmdline(it->path() / "cmdline", std::ios::binary);
      std::string first;
      std::getline(cmdline, first, '\0');
      program.name = FileNamePart(first);
    }
    if (!program.name.empty()) out.push_back(std::move(program));
  }
  return out;
}

int FindRunningProgram(std::string_view key, const std::filesystem::path& procRoot) {
  const std::string_view wanted = WithoutExe(key);
  if (wanted.empty()) return 0;
  for (const RunningProgram& program : ListRunningPrograms(procRoot)) {
    if (tvn::codepage::EqualsNoCase(WithoutExe(program.name), wanted)) return program.pid;
  }
  return 0;
}

}  // namespace tvn::sys
