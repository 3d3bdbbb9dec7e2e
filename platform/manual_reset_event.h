// CManualResetEvent: a signal that stays set until reset, for stopping helper threads.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/win_types.h"

// Set and Reset may come from any thread; waiters wake when it is set.
class CManualResetEvent {
 public:
  explicit CManualResetEvent(bool initiallySet = false) : m_set(initiallySet) {}
  CManualResetEvent(const CManualResetEvent&) = delete;
  CManualResetEvent& operator=(const CManualResetEvent&) = delete;

  void Set() {
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_set = true;
    }
    m_changed.notify_all();
  }
  void Reset() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_set = false;
  }
  bool IsSet() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_set;
  }
  // True when the event is set within the time.
  bool Wait(std::chrono::milliseconds timeout) const {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [this] { return m_set; });
  }

 private:
  mutable std::mutex m_mutex;
  mutable std::condition_variable m_changed;
  bool m_set;
};
