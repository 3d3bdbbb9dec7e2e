#include "platform/msg/message_queue.h"

#include <algorithm>
#include <utility>

void CMessageQueue::Post(const MSG& msg) {
  std::lock_guard lock(m_mutex);
  m_messages.push_back(msg);
}

void CMessageQueue::PostCall(std::function<void()> call) {
  std::lock_guard lock(m_mutex);
  m_calls.push_back(std::move(call));
}

bool CMessageQueue::Matches(const MSG& msg, HWND hwnd, UINT minMsg, UINT maxMsg) {
  if (hwnd && msg.hwnd != hwnd) return false;
  if (minMsg == 0 && maxMsg == 0) return true;
  return msg.message >= minMsg && msg.message <= maxMsg;
}

std::optional<MSG> CMessageQueue::Peek(HWND hwnd, UINT minMsg, UINT maxMsg, bool remove) {
  return Peek([&](const MSG& m) { return Matches(m, hwnd, minMsg, maxMsg); }, remove);
}

std::optional<MSG> CMessageQueue::Peek(const std::function<bool(const MSG&)>& takes, bool remove) {
  std::lock_guard lock(m_mutex);
  auto it = std::find_if(m_messages.begin(), m_messages.end(), takes);
  if (it == m_messages.end()) return std::nullopt;
  MSG msg = *it;
  if (remove) m_messages.erase(it);
  return msg;
}

std::deque<std::function<void()>> CMessageQueue::TakeCalls() {
  std::lock_guard lock(m_mutex);
  return std::exchange(m_calls, {});
}

bool CMessageQueue::Empty() const {
  std::lock_guard lock(m_mutex);
  return m_messages.empty() && m_calls.empty();
}

std::size_t CMessageQueue::Size() const {
  std::lock_guard lock(m_mutex);
  return m_messages.size();
}

void CMessageQueue::RemoveWindow(HWND hwnd) {
  std::lock_guard lock(m_mutex);
  std::erase_if(m_messages, [&](const MSG& m) { return m.hwnd == hwnd; });
}
