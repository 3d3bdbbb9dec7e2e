// Per-window timers by id, each with its interval and the time it is next due.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "platform/msg/window_messages.h"

class CTimerList {
 public:
  // Starts a timer, or restarts it with the new interval when the window
  // already has one of that id. An interval of 0 fires on every idle turn.
  void Set(HWND hwnd, UINT id, DWORD intervalMs, DWORD now);
  bool Kill(HWND hwnd, UINT id);
  void KillAll(HWND hwnd);
  bool Has(HWND hwnd, UINT id) const;
  bool Empty() const { return m_timers.empty(); }

  // The timer that is due now (the one overdue longest; only the filter
  // window's when one is given). With take set it is rescheduled one interval
  // from now: a late timer fires once, not once per missed interval.
  std::optional<MSG> TakeDue(DWORD now, HWND filter = nullptr, bool take = true);
  // The same among the timers whose message takes(msg) accepts.
  std::optional<MSG> TakeDue(DWORD now, const std::function<bool(const MSG&)>& takes, bool take);
  // Milliseconds until the next timer is due (0 when one is due), or nothing
  // when no timer runs; the second counts only the timers whose message
  // takes(msg) accepts.
  std::optional<DWORD> TimeToNext(DWORD now) const;
  std::optional<DWORD> TimeToNext(DWORD now, const std::function<bool(const MSG&)>& takes) const;

 private:
  struct Timer {
    HWND hwnd;
    UINT id;
    DWORD interval;
    DWORD due;
  };
  static MSG MessageOf(const Timer& t, DWORD now);
  static long long Remaining(const Timer& t, DWORD now) {
    return static_cast<long long>(static_cast<std::int32_t>(t.due - now));
  }
  std::vector<Timer> m_timers;
};
