#include "platform/mm/mci_wait.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/msg/clock.h"
#include "platform/user/message_loop.h"

namespace {
constexpr double kSlackMs = 2000.0;
constexpr double kLongestMs = 0x7FFFFFFF;
constexpr auto kSlice = std::chrono::milliseconds(5);
}  // namespace

DWORD MciWaitLimitMs(double remainingMs) {
  return static_cast<DWORD>(std::clamp(remainingMs, 0.0, kLongestMs - kSlackMs) + kSlackMs);
}

void MciWaitUntil(const WaitPolicy& policy, const IClock& clock, DWORD limitMs, const std::function<bool()>& ended) {
  const IClock& steady = SteadyClock();
  const DWORD start = clock.Now(), steadyStart = steady.Now();
  const auto going = [&] {
    return !ended() && clock.Now() - start < limitMs && steady.Now() - steadyStart < limitMs;
  };
  const CMessageLoop* loop = CMessageLoop::Current();
  if (loop && loop->IsLoopThread()) {
    // Between messages the wait sleeps until the device's end wakes it
    // (MciWakeWait) or the limit comes, by whichever clock comes to it first.
    const auto untilLimit = [&]() -> std::optional<DWORD> {
      const DWORD passed = std::max(clock.Now() - start, steady.Now() - steadyStart);
      return passed < limitMs ? limitMs - passed : 0;
    };
    CWait wait(policy);
    wait.While(going, untilLimit);
    return;
  }
  while (going()) std::this_thread::sleep_for(kSlice);
}

void MciWakeWait() {
  if (CMessageLoop* loop = CMessageLoop::Current()) loop->Wake();
}
