// The watch on a child's end: its process handle and a cancel handle polled on a thread of its own.
#include "platform/sys/process_end_watch.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

namespace tvn::sys {

ProcessEndWatch::ProcessEndWatch(ProcessId process, std::function<void()> onEnd) {
#ifdef SYS_pidfd_open
  if (process > 0) m_process = static_cast<int>(::syscall(SYS_pidfd_open, process, 0));
#endif
  if (m_process < 0) return;
  m_cancel = ::eventfd(0, EFD_CLOEXEC);
  if (m_cancel < 0) return;
  try {
    m_thread = std::thread([this, onEnd = std::move(onEnd)] {
      pollfd handles[2] = {{m_process, POLLIN, 0}, {m_cancel, POLLIN, 0}};
      int ready;
      do {
        ready = ::poll(handles, 2, -1);
      } while (ready < 0 && errno == EINTR);
      if (ready > 0 && (handles[0].revents & POLLIN) && !(handles[1].revents & POLLIN)) onEnd();
    });
  } catch (const std::system_error&) {
    // No thread: nothing is watched.
  }
}

ProcessEndWatch::~ProcessEndWatch() {
  if (m_thread.joinable()) {
    const std::uint64_t one = 1;
    while (::write(m_cancel, &one, sizeof one) < 0 && errno == EINTR) {
    }
    m_thread.join();
  }
  if (m_cancel >= 0) ::close(m_cancel);
  if (m_process >= 0) ::close(m_process);
}

}  // namespace tvn::sys
