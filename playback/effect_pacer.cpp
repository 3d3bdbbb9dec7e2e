// The real clock's pacing of transition steps.
#include <algorithm>
#include <chrono>

#include "platform/manual_reset_event.h"
#include "playback/effect_host.h"

namespace {
// Two events cannot be waited on at once; the kill event is looked at this often.
constexpr DWORD kSliceMs = 10;
}  // namespace

bool CSystemEffectPacer::WaitForStop(const CManualResetEvent& kill, const CManualResetEvent& done, DWORD ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    if (kill.IsSet() || done.IsSet()) return true;
    const auto now = std::chrono::steady_clock::now();
    if (now >= end) return false;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now);
    if (done.Wait(std::min(left, std::chrono::milliseconds(kSliceMs)))) return true;
  }
}

DWORD CSystemEffectPacer::Milliseconds() {
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}
