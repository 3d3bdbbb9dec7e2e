#include "platform/msg/message_queue.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace {
bool IsInput(const CMessageQueue::Entry& queued) { return queued.keys.has_value(); }
}  // namespace

void CMessageQueue::Post(const MSG& msg) {
  std::lock_guard lock(m_mutex);
  m_messages.push_back({msg, std::nullopt});
}

void CMessageQueue::PostInput(const MSG& msg, const KeyStates& keys) {
  std::lock_guard lock(m_mutex);
  if (msg.message == WM_MOUSEMOVE) {
    // Only the newest input can be a move this one overtakes; posted messages
    // between them keep their places, and the move comes after them.
    auto last = std::find_if(m_messages.rbegin(), m_messages.rend(), IsInput);
    if (last != m_messages.rend() && last->msg.message == WM_MOUSEMOVE && last->msg.hwnd == msg.hwnd)
      m_messages.erase(std::next(last).base());
  }
  m_messages.push_back({msg, keys});
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

std::optional<CMessageQueue::Entry> CMessageQueue::Peek(HWND hwnd, UINT minMsg, UINT maxMsg, bool remove) {
  return Peek([&](const MSG& m) { return Matches(m, hwnd, minMsg, maxMsg); }, remove);
}

std::optional<CMessageQueue::Entry> CMessageQueue::Peek(const std::function<bool(const MSG&)>& takes, bool remove) {
  std::lock_guard lock(m_mutex);
  auto it = std::find_if(m_messages.begin(), m_messages.end(), [&](const Entry& q) { return takes(q.msg); });
  if (it == m_messages.end()) return std::nullopt;
  Entry found = *it;
  if (remove) m_messages.erase(it);
  return found;
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

bool CMessageQueue::HasInput() const {
  std::lock_guard lock(m_mutex);
  return std::any_of(m_messages.begin(), m_messages.end(), IsInput);
}

void CMessageQueue::RemoveWindow(HWND hwnd) {
  std::lock_guard lock(m_mutex);
  std::erase_if(m_messages, [&](const Entry& q) { return q.msg.hwnd == hwnd; });
}
