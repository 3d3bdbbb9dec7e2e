// One turn of a wait loop inside a message handler: code that waits on the
// user-interface thread keeps the program alive without handing new input to
// the window whose handler is waiting.
#pragma once

#include <functional>

#include "platform/msg/window_messages.h"

enum class PumpResult {
  Empty,       // no message was waiting
  Dispatched,  // one message was handled
  Dropped,     // input or a paint for the filtered window was taken out
  Escape,      // an Escape key-down was taken out (not handled)
  Quit,        // the quit message was seen and left for the run loop
};

// Takes at most one message. An Escape key-down (for any window) ends waits
// and is never dispatched. With a window given, its mouse and key messages are
// dropped, and its paint is put off until the run loop goes on.
PumpResult PumpOneMessage(HWND dropInputFor);

// Lets the program go on while long work runs inside a handler (a print
// job): hands out the messages waiting now, one by one as above, at most a
// fixed number per call so that a timer due again at once cannot hold the
// work. FALSE when an Escape or the quit message asks the work to stop.
BOOL PumpWaitingMessages(HWND dropInputFor);

// A wait inside a handler that keeps the program going while going() holds
// (asked before each message): messages are handed out one by one as above,
// and when none waits the loop's own source is waited on for a short slice,
// so the loop's timers (and a test's clock) run on. FALSE when an Escape or
// the quit message ended the wait first: only the wait ends, not what it
// waited for.
BOOL PumpWhile(HWND dropInputFor, const std::function<bool()>& going);
