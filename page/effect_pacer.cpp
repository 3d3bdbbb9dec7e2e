// The real clock's pacing of transition steps.
#include <chrono>

#include "platform/base/sync_event.h"
#include "page/effect_host.h"

bool CSystemEffectPacer::WaitForStop(CSyncEvent& kill, CSyncEvent& done, DWORD ms) {
  CSyncEvent* const events[] = {&kill, &done};
  return CSyncEvent::WaitForAny(events, ms) != CSyncEvent::kTimeout;
}

DWORD CSystemEffectPacer::Milliseconds() {
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}
