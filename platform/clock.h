// Millisecond clocks: the steady one the program runs on and a hand-driven one
// that tests advance themselves, so nothing depends on the wall clock.
#pragma once

#include <atomic>

#include "platform/win_types.h"

class IClock {
 public:
  virtual ~IClock() = default;
  // Milliseconds since an arbitrary start; wraps after about 49 days like the
  // multimedia timer, so callers compare by difference.
  virtual DWORD Now() const = 0;
};

class CSteadyClock final : public IClock {
 public:
  DWORD Now() const override;
};

// A clock that only moves when told to. Safe to read from any thread.
class CManualClock final : public IClock {
 public:
  explicit CManualClock(DWORD start = 0) : m_now(start) {}
  DWORD Now() const override { return m_now.load(); }
  void Advance(DWORD ms) { m_now.fetch_add(ms); }
  void Set(DWORD ms) { m_now.store(ms); }

 private:
  std::atomic<DWORD> m_now;
};

// The steady clock every loop uses unless it is given another.
const IClock& SteadyClock();

// The multimedia timer: the clock of the user-interface thread's message loop
// when one exists, the steady clock otherwise.
DWORD timeGetTime();
DWORD GetTickCount();
