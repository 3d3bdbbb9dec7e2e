// Millisecond clocks: the steady one the program runs on and a hand-driven one
// that tests advance themselves, so nothing depends on the wall clock.
#pragma once

#include <atomic>

#include "platform/base/win_types.h"

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

// The clock the multimedia timer reads: the user-interface thread's message
// loop installs its own while it lives; the steady clock otherwise. Only the
// clock installed is removed, so a second loop never takes the first one's.
void InstallCurrentClock(const IClock& clock);
void RemoveCurrentClock(const IClock& clock);

// The multimedia timer: the current clock's time.
DWORD timeGetTime();
DWORD GetTickCount();
