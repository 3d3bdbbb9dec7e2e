// CSyncEvent: a manual-reset event that helper threads wait on, alone or with others.
#pragma once

#include <condition_variable>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "platform/base/win_types.h"

// Set stays set until Reset; every waiter sees it. A wait over several events
// ends when any of them is set.
class CSyncEvent {
 public:
  static constexpr int kTimeout = -1;

  explicit CSyncEvent(bool initiallySet = false) : m_set(initiallySet) {}
  CSyncEvent(const CSyncEvent&) = delete;
  CSyncEvent& operator=(const CSyncEvent&) = delete;
  ~CSyncEvent();

  void Set();
  void Reset();
  bool IsSet() const;
  // TRUE when the event was set within the time (no limit when empty).
  bool Wait(std::optional<DWORD> timeoutMs = std::nullopt);

  // The index of the first event found set, or kTimeout.
  static int WaitForAny(std::span<CSyncEvent* const> events, std::optional<DWORD> timeoutMs);

 private:
  struct Waiter {
    std::mutex mutex;
    std::condition_variable cv;
    bool woken = false;
  };
  void AddWaiter(Waiter* waiter);
  void RemoveWaiter(Waiter* waiter);

  mutable std::mutex m_mutex;
  bool m_set;
  std::vector<Waiter*> m_waiters;  // waits in progress over this event
};
