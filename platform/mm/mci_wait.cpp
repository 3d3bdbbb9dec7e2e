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
    CWait wait(policy);
    wait.While(going);
    return;
  }
  while (going()) std::this_thread::sleep_for(kSlice);
}
