// One turn of a wait loop inside a message handler: code that waits on the
// user-interface thread keeps the program alive without handing new input to
// the window whose handler is waiting.
#pragma once

#include "platform/window_messages.h"

enum class PumpResult {
  Empty,       // no message was waiting
  Dispatched,  // one message was handled
  Dropped,     // input or a paint for the filtered window was taken out
  Escape,      // an Escape key-down was taken out (not handled)
};

// Takes at most one message. An Escape key-down (for any window) ends waits
// and is never dispatched. With a window given, its mouse and key messages are
// dropped, and its paint is put off until the run loop goes on.
PumpResult PumpOneMessage(HWND dropInputFor);
