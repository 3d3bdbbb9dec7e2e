#include "platform/msg/event_source.h"

#include <chrono>

void CPlainEventSource::Wait(std::optional<DWORD> maxMs) {
  std::unique_lock lock(m_mutex);
  auto woken = [this] { return m_woken; };
  if (maxMs)
    m_cv.wait_for(lock, std::chrono::milliseconds(*maxMs), woken);
  else
    m_cv.wait(lock, woken);
  m_woken = false;
}

void CPlainEventSource::Wake() {
  {
    std::lock_guard lock(m_mutex);
    m_woken = true;
  }
  m_cv.notify_all();
}
