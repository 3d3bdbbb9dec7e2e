// One turn of the message loop for busy loops, and timed waits.
#include "model/message_pump.h"

namespace {
constexpr UINT kPaint = 0x000F;
constexpr UINT kKeyDown = 0x0100;
constexpr UINT kKeyFirst = 0x0100, kKeyLast = 0x0108;
constexpr UINT kMouseFirst = 0x0200, kMouseLast = 0x0209;
constexpr WPARAM kEscapeKey = 0x1B;
}  // namespace

BOOL PumpMessages(IEventLoop& loop, BOOL checkStop, BOOL filterInput) {
  if (checkStop && loop.StopRequested()) return TRUE;
  QueuedMessage msg;
  if (!loop.TakeMessage(msg)) return FALSE;
  if (msg.message == kKeyDown && msg.wParam == kEscapeKey) return TRUE;
  if (filterInput && msg.window && msg.window == loop.PresentationWindow()) {
    bool input = (msg.message >= kMouseFirst && msg.message <= kMouseLast) ||
                 (msg.message >= kKeyFirst && msg.message <= kKeyLast) || msg.message == kPaint;
    if (input) return FALSE;
  }
  loop.Dispatch(msg);
  return FALSE;
}

DWORD WaitMilliseconds(IEventLoop& loop, DWORD ms, BOOL pump) {
  const DWORD start = loop.TimeGetTime();
  DWORD now = start;
  // Unsigned differences survive the timer wrapping around.
  while ((now - start) < ms) {
    if (pump) PumpMessages(loop, TRUE, FALSE);
    // Sleep rather than spin until the next message or the end of the wait.
    loop.WaitForMessage(ms - (now - start));
    now = loop.TimeGetTime();
  }
  return now;
}
