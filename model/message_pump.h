// Message pumping for loops that wait on the user-interface thread.
#pragma once

#include "platform/base/win_types.h"

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
  // Removes the next waiting message; false when none waits.
  virtual bool TakeMessage(QueuedMessage& out) = 0;
  // Translates and dispatches a message to its window.
  virtual void Dispatch(const QueuedMessage& msg) = 0;
  // The presentation view has been asked to stop.
  virtual bool StopRequested() const = 0;
  // The presentation view's window, or null.
  virtual CWnd* PresentationWindow() const = 0;
  // The multimedia timer, in milliseconds.
  virtual DWORD TimeGetTime() const = 0;
  // Blocks until a message arrives or the time has passed.
  virtual void WaitForMessage(DWORD maxMilliseconds) = 0;
};

// Handles at most one message. TRUE when checkStop is set and the view has
// been asked to stop, or when the message was a key-down of Escape (dropped).
// With filterInput, mouse, key and paint messages for the presentation view
// are dropped. Every other message is dispatched.
BOOL PumpMessages(IEventLoop& loop, BOOL checkStop, BOOL filterInput);

// Waits until the multimedia timer has advanced by ms, pumping messages
// (stop checked, no filter) on each turn when pump is set; gives the last time read.
DWORD WaitMilliseconds(IEventLoop& loop, DWORD ms, BOOL pump);
