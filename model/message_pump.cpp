// One turn of the message loop for busy loops, and timed waits.
#include "model/message_pump.h"

BOOL PumpMessages(IEventLoop& loop, BOOL checkStop, BOOL filterInput) {
  if (checkStop && loop.StopRequested()) return TRUE;
  return EndsWait(loop.PumpOne(filterInput)) ? TRUE : FALSE;
}

DWORD WaitMilliseconds(IEventLoop& loop, DWORD ms, BOOL pump) {
  const DWORD start = loop.TimeGetTime();
  DWORD now = start;
  // Unsigned differences survive the timer wrapping around.
  while ((now - start) < ms) {
    if (pump && !loop.StopRequested()) {
      const PumpResult result = loop.PumpOne(FALSE);
      if (result == PumpResult::Closing || result == PumpResult::Quit) return loop.TimeGetTime();
    }
    // Sleep rather than spin until the next message or the end of the wait.
    loop.WaitForMessage(ms - (now - start));
    now = loop.TimeGetTime();
  }
  return now;
}
