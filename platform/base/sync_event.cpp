// Manual-reset events: each wait registers a small waker with every event it waits on.
#include "platform/base/sync_event.h"

#include <algorithm>
#include <chrono>

CSyncEvent::~CSyncEvent() = default;

void CSyncEvent::Set() {
  std::lock_guard lock(m_mutex);
  m_set = true;
  // Waking under the event's lock keeps a waiter from unregistering and going
  // away before it is notified.
  for (Waiter* w : m_waiters) {
    std::lock_guard wl(w->mutex);
    w->woken = true;
    w->cv.notify_all();
  }
}

void CSyncEvent::Reset() {
  std::lock_guard lock(m_mutex);
  m_set = false;
}

bool CSyncEvent::IsSet() const {
  std::lock_guard lock(m_mutex);
  return m_set;
}

bool CSyncEvent::Wait(std::optional<DWORD> timeoutMs) {
  CSyncEvent* self = this;
  return WaitForAny(std::span<CSyncEvent* const>(&self, 1), timeoutMs) == 0;
}

void CSyncEvent::AddWaiter(Waiter* waiter) {
  std::lock_guard lock(m_mutex);
  m_waiters.push_back(waiter);
  if (m_set) {
    std::lock_guard wl(waiter->mutex);  // another event may be waking it at the same time
    waiter->woken = true;
  }
}

void CSyncEvent::RemoveWaiter(Waiter* waiter) {
  std::lock_guard lock(m_mutex);
  m_waiters.erase(std::remove(m_waiters.begin(), m_waiters.end(), waiter), m_waiters.end());
}

int CSyncEvent::WaitForAny(std::span<CSyncEvent* const> events, std::optional<DWORD> timeoutMs) {
  auto firstSet = [&]() -> int {
    for (std::size_t i = 0; i < events.size(); ++i)
      if (events[i]->IsSet()) return static_cast<int>(i);
    return kTimeout;
  };
  if (int i = firstSet(); i != kTimeout) return i;
  if (timeoutMs && *timeoutMs == 0) return kTimeout;

  Waiter waiter;
  for (CSyncEvent* e : events) e->AddWaiter(&waiter);
  {
    std::unique_lock lock(waiter.mutex);
    if (timeoutMs) {
      waiter.cv.wait_for(lock, std::chrono::milliseconds(*timeoutMs), [&] { return waiter.woken; });
    } else {
      waiter.cv.wait(lock, [&] { return waiter.woken; });
    }
  }
  for (CSyncEvent* e : events) e->RemoveWaiter(&waiter);
  return firstSet();
}
