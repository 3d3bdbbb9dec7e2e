#include "platform/clock.h"

#include <chrono>

#include "platform/message_loop.h"

DWORD CSteadyClock::Now() const {
  using namespace std::chrono;
  auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  return static_cast<DWORD>(static_cast<unsigned long long>(ms));
}

const IClock& SteadyClock() {
  static const CSteadyClock clock;
  return clock;
}

DWORD timeGetTime() {
  if (const CMessageLoop* loop = CMessageLoop::Current()) return loop->Clock().Now();
  return SteadyClock().Now();
}

DWORD GetTickCount() { return timeGetTime(); }
