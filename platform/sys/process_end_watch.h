// A watch on a started child that tells when it ends, so that a wait for it can sleep until then.
#pragma once

#include <functional>
#include <thread>

#include "platform/sys/process.h"

namespace tvn::sys {

// Calls onEnd once, on a thread of its own, when the child ends (it is not
// reaped: that stays with its waiter); never after the watch is gone. The
// system's process handles (Linux 5.3 and later) make it possible: without
// them, or for a child that is no more, nothing is watched.
class ProcessEndWatch {
 public:
  ProcessEndWatch(ProcessId process, std::function<void()> onEnd);
  ~ProcessEndWatch();
  ProcessEndWatch(const ProcessEndWatch&) = delete;
  ProcessEndWatch& operator=(const ProcessEndWatch&) = delete;

  // The end will be told.
  bool Watching() const { return m_thread.joinable(); }

 private:
  int m_process = -1;  // the child's process handle
  int m_cancel = -1;   // written to end the watch early
  std::thread m_thread;
};

}  // namespace tvn::sys
