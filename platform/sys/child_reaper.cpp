// The reaper thread of children that nobody waits for.
#include "platform/sys/child_reaper.h"

#include <algorithm>
#include <chrono>

namespace tvn::sys {

ChildReaper::~ChildReaper() {
  {
    std::lock_guard<std::mutex> hold(m_lock);
    m_stop = true;
  }
  m_wake.notify_all();
  if (m_thread.joinable()) m_thread.join();
  std::lock_guard<std::mutex> hold(m_lock);
  Sweep();
}

void ChildReaper::Adopt(ProcessId process) {
  if (process <= 0) return;
  std::unique_lock<std::mutex> hold(m_lock);
  m_children.push_back(process);
  if (m_running) {
    m_wake.notify_all();
    return;
  }
  // The thread of an earlier round has ended its loop; it is joined before the next starts.
  if (m_thread.joinable()) {
    hold.unlock();
    m_thread.join();
    hold.lock();
  }
  m_running = true;
  m_thread = std::thread([this] { Run(); });
}

std::size_t ChildReaper::Pending() {
  std::lock_guard<std::mutex> hold(m_lock);
  return m_children.size();
}

void ChildReaper::Sweep() {
  std::erase_if(m_children, [](ProcessId p) { return HasProcessEnded(p); });
}

void ChildReaper::Run() {
  std::unique_lock<std::mutex> hold(m_lock);
  while (!m_stop) {
    Sweep();
    if (m_children.empty()) break;
    m_wake.wait_for(hold, std::chrono::milliseconds(200));
  }
  m_running = false;
}

}  // namespace tvn::sys
