// Message pumping for loops that wait on the user-interface thread.
#pragma once

#include "platform/base/win_types.h"
#include "platform/user/wait_rule.h"

class CWnd;

// One message of the thread's queue.
struct QueuedMessage {
  CWnd* window = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

// What the pump needs of the application's message loop (the window layer
// provides it; tests give a scripted one).
class IEventLoop {
 public:
  virtual ~IEventLoop() = default;
  // Takes at most one message by the program's wait rule and does what the
  // rule says: with filterInput the presentation view's mouse and key
  // messages and its paint are taken out (WaitInput::kDropPage), otherwise
  // every message is handled (WaitInput::kDispatch).
  virtual PumpResult PumpOne(BOOL filterInput) = 0;
  // The presentation view has been asked to stop.
  virtual bool StopRequested() const = 0;
  // The multimedia timer, in milliseconds.
  virtual DWORD TimeGetTime() const = 0;
  // Blocks until a message arrives or the time has passed.
  virtual void WaitForMessage(DWORD maxMilliseconds) = 0;
};

// Handles at most one message. TRUE when checkStop is set and the view has
// been asked to stop, when the message was a key-down of Escape (dropped),
// and when the program or the course that waits is closing. With
// filterInput, mouse, key and paint messages for the presentation view are
// dropped. Every other message is dispatched.
BOOL PumpMessages(IEventLoop& loop, BOOL checkStop, BOOL filterInput);

// Waits until the multimedia timer has advanced by ms, pumping messages
// (stop checked, no filter) on each turn when pump is set; gives the last
// time read. A close of the program or of the course ends it early.
DWORD WaitMilliseconds(IEventLoop& loop, DWORD ms, BOOL pump);
