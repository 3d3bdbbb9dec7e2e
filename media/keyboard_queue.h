// The keyboard messages of the user-interface thread's queue, for loops that look only at keys.
#pragma once

#include "media/optional_decoders.h"

// Takes keyboard messages (WM_KEYFIRST to WM_KEYLAST) from the current
// message loop and dispatches them through it. Off the loop's thread, or
// without a loop, no message waits; while the program or the course closes
// an Escape character is all that comes, so the work that asks stops.
class CLoopKeyboardQueue : public IKeyboardQueue {
 public:
  bool TakeKeyMessage(QueuedMessage& out) override;
  void Dispatch(const QueuedMessage& msg) override;
};
