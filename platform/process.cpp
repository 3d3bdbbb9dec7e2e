// Outside programs started with posix_spawn and waited for with waitpid.
#include "platform/process.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <thread>

extern char** environ;

namespace tvn::sys {

namespace {

// posix_spawn of the program with argv[0] its own path; 0 or the error number.
int Spawn(const std::filesystem::path& program, const std::vector<std::string>& arguments, pid_t& pid) {
  std::string self = program.string();
  std::vector<std::string> owned;
  owned.reserve(arguments.size() + 1);
  owned.push_back(self);
  owned.insert(owned.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  argv.reserve(owned.size() + 1);
  for (std::string& a : owned) argv.push_back(a.data());
  argv.push_back(nullptr);

  return ::posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv.data(), environ);
}

}  // namespace

ProcessResult RunAndWait(const std::filesystem::path& program, const std::vector<std::string>& arguments) {
  ProcessResult result;
  pid_t pid = 0;
  int error = Spawn(program, arguments, pid);
  if (error != 0) {
    result.error = error;
    return result;
  }
  result.started = true;
  int status = 0;
  pid_t waited;
  do {
    waited = ::waitpid(pid, &status, 0);
  } while (waited < 0 && errno == EINTR);
  if (waited < 0) {
    result.error = errno;
    return result;
  }
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  return result;
}

ProcessResult StartProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments) {
  ProcessResult result;
  pid_t pid = 0;
  result.error = Spawn(program, arguments, pid);
  if (result.error != 0) return result;
  result.started = true;
  // The child outlives this call; the thread only collects its exit status.
  std::thread([pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return result;
}

}  // namespace tvn::sys
