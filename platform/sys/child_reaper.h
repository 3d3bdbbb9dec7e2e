// ChildReaper: collects the exit of child processes nobody waits for, so none is left behind.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/sys/process.h"

namespace tvn::sys {

// A helper thread looks at the adopted children a few times a second and
// reaps those that ended; it only runs while there are children to look at.
// No signal handler is involved, so waits elsewhere keep their children's
// exits. The destructor stops the thread, joins it and makes a last sweep.
class ChildReaper {
 public:
  ChildReaper() = default;
  ~ChildReaper();
  ChildReaper(const ChildReaper&) = delete;
  ChildReaper& operator=(const ChildReaper&) = delete;

  void Adopt(ProcessId process);
  // The children not reaped yet.
  std::size_t Pending();

 private:
  void Run();
  void Sweep();  // with the lock held

  std::mutex m_lock;
  std::condition_variable m_wake;
  std::vector<ProcessId> m_children;
  bool m_stop = false;
  bool m_running = false;
  std::thread m_thread;
};

}  // namespace tvn::sys
