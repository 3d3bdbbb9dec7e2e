// One turn of the message loop for busy loops, and timed waits.
#include "model/message_pump.h"

BOOL PumpMessages(IEventLoop& loop, BOOL checkStop, BOOL filterInput) {
  if (checkStop && loop.StopRequested()) return TRUE;
  QueuedMessage msg;
  if (!loop.TakeMessage(msg)) return FALSE;
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) return TRUE;
  if (filterInput && msg.window && msg.window == loop.PresentationWindow()) {
    bool input = (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) ||
                 (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) || msg.message == WM_PAINT;
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
