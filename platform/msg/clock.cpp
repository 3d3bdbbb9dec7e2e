#include "platform/msg/clock.h"

#include <chrono>

DWORD CSteadyClock::Now() const {
  using namespace std::chrono;
  auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  return static_cast<DWORD>(static_cast<unsigned long long>(ms));
}

const IClock& SteadyClock() {
  static const CSteadyClock clock;
  return clock;
}

namespace {
std::atomic<const IClock*> g_currentClock{nullptr};
}

void InstallCurrentClock(const IClock& clock) { g_currentClock.store(&clock); }

void RemoveCurrentClock(const IClock& clock) {
  const IClock* installed = &clock;
  g_currentClock.compare_exchange_strong(installed, nullptr);
}

DWORD timeGetTime() {
  if (const IClock* clock = g_currentClock.load()) return clock->Now();
  return SteadyClock().Now();
}

DWORD GetTickCount() { return timeGetTime(); }
