#include "platform/msg/timer_list.h"

#include <algorithm>

void CTimerList::Set(HWND hwnd, UINT id, DWORD intervalMs, DWORD now) {
  for (Timer& t : m_timers) {
    if (t.hwnd == hwnd && t.id == id) {
      t.interval = intervalMs;
      t.due = now + intervalMs;
      return;
    }
  }
  m_timers.push_back({hwnd, id, intervalMs, now + intervalMs});
}

bool CTimerList::Kill(HWND hwnd, UINT id) {
  auto it = std::find_if(m_timers.begin(), m_timers.end(), [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
  if (it == m_timers.end()) return false;
  m_timers.erase(it);
  return true;
}

void CTimerList::KillAll(HWND hwnd) {
  std::erase_if(m_timers, [&](const Timer& t) { return t.hwnd == hwnd; });
}

bool CTimerList::Has(HWND hwnd, UINT id) const {
  return std::any_of(m_timers.begin(), m_timers.end(), [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
}

std::optional<MSG> CTimerList::TakeDue(DWORD now, HWND filter, bool take) {
  return TakeDue(now, [filter](const MSG& msg) { return !filter || msg.hwnd == filter; }, take);
}

MSG CTimerList::MessageOf(const Timer& t, DWORD now) {
  MSG msg;
  msg.hwnd = t.hwnd;
  msg.message = WM_TIMER;
  msg.wParam = t.id;
  msg.time = now;
  return msg;
}

std::optional<MSG> CTimerList::TakeDue(DWORD now, const std::function<bool(const MSG&)>& takes, bool take) {
  Timer* due = nullptr;
  for (Timer& t : m_timers) {
    if (Remaining(t, now) > 0 || (due && Remaining(t, now) >= Remaining(*due, now))) continue;
    if (!takes(MessageOf(t, now))) continue;
    due = &t;
  }
  if (!due) return std::nullopt;
  if (take) due->due = now + due->interval;
  return MessageOf(*due, now);
}

std::optional<DWORD> CTimerList::TimeToNext(DWORD now) const {
  return TimeToNext(now, [](const MSG&) { return true; });
}

std::optional<DWORD> CTimerList::TimeToNext(DWORD now, const std::function<bool(const MSG&)>& takes) const {
  std::optional<DWORD> best;
  for (const Timer& t : m_timers) {
    const long long left = std::max(0LL, Remaining(t, now));
    if ((!best || left < *best) && takes(MessageOf(t, now))) best = static_cast<DWORD>(left);
  }
  return best;
}
