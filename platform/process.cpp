// Outside programs started with posix_spawn and waited for with waitpid.
#include "platform/process.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>

extern char** environ;

namespace tvn::sys {

ProcessResult RunAndWait(const std::filesystem::path& program, const std::vector<std::string>& arguments) {
  ProcessResult result;
  std::string self = program.string();
  std::vector<std::string> owned;
  owned.reserve(arguments.size() + 1);
  owned.push_back(self);
  owned.insert(owned.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  argv.reserve(owned.size() + 1);
  for (std::string& a : owned) argv.push_back(a.data());
  argv.push_back(nullptr);

  pid_t pid = 0;
  int error = ::posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv.data(), environ);
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

}  // namespace tvn::sys
