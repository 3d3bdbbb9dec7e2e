// Running a program with bytes on its standard input and a time limit (the mail program).
#include "platform/sys/process.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

namespace tvn::sys {
namespace {

using Clock = std::chrono::steady_clock;

// Closes the descriptor when it goes.
class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : m_fd(fd) {}
  ~Descriptor() { Close(); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return m_fd; }
  void Close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
  }

 private:
  int m_fd;
};

long long MsLeft(Clock::time_point deadline) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
}

// Writes the input while the child takes it; false when the time ran out.
// A child that stops reading early ends the writing, not the program: the
// input goes through a socket written with MSG_NOSIGNAL, so no SIGPIPE.
bool Feed(int fd, std::string_view input, Clock::time_point deadline) {
  while (!input.empty()) {
    const long long left = MsLeft(deadline);
    if (left <= 0) return false;
    pollfd p{fd, POLLOUT, 0};
    if (::poll(&p, 1, static_cast<int>(std::min<long long>(left, 100))) <= 0) continue;
    const ssize_t written = ::send(fd, input.data(), input.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (written < 0) {
      if (errno == EAGAIN || errno == EINTR) continue;
      return true;
    }
    input.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

ProcessResult RunWithInput(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                           std::string_view input, int timeLimitMs) {
  ProcessResult result;
  int fds[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) {
    result.error = errno;
    return result;
  }
  Descriptor ours(fds[0]);
  Descriptor theirs(fds[1]);

  std::vector<std::string> owned;
  owned.push_back(program.string());
  owned.insert(owned.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& a : owned) argv.push_back(a.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  ::posix_spawn_file_actions_init(&actions);
  ::posix_spawn_file_actions_adddup2(&actions, theirs.get(), STDIN_FILENO);
  pid_t child = 0;
  const int error = ::posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
  ::posix_spawn_file_actions_destroy(&actions);
  theirs.Close();
  if (error != 0) {
    result.error = error;
    return result;
  }
  result.started = true;

  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeLimitMs);
  bool inTime = Feed(ours.get(), input, deadline);
  ::shutdown(ours.get(), SHUT_WR);
  ours.Close();

  int status = 0;
  while (inTime) {
    const pid_t done = ::waitpid(child, &status, WNOHANG);
    if (done == child) {
      result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      return result;
    }
    if (done < 0 && errno != EINTR) return result;
    if (MsLeft(deadline) <= 0) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ::kill(child, SIGKILL);
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  result.timedOut = true;
  return result;
}

}  // namespace tvn::sys
