// A scripted message loop for the pump and its users: a queue the test fills,
// taken by the program's own wait rule, with a clock that moves when it waits.
#pragma once

#include <algorithm>
#include <deque>
#include <vector>

#include "model/message_pump.h"

namespace tvn::testing {

class ScriptedEventLoop : public IEventLoop {
 public:
  explicit ScriptedEventLoop(CWnd* view) : m_view(view) {}

  PumpResult PumpOne(BOOL filterInput) override {
    if (closing) return PumpResult::Closing;
    if (queue.empty()) return PumpResult::Empty;
    const QueuedMessage msg = queue.front();
    queue.pop_front();
    const MessageTarget target = msg.window && msg.window == m_view ? MessageTarget::kPage : MessageTarget::kOther;
    switch (DecideFate(WaitPolicy(filterInput ? WaitInput::kDropPage : WaitInput::kDispatch), msg.message, msg.wParam,
                       target)) {
      case MessageFate::kEscape: return PumpResult::Escape;
      case MessageFate::kQuit: return PumpResult::Quit;
      case MessageFate::kDrop:
      case MessageFate::kDeferPaint: return PumpResult::Dropped;
      default: dispatched.push_back(msg); return PumpResult::Dispatched;
    }
  }
  bool StopRequested() const override { return stop; }
  DWORD TimeGetTime() const override { return now; }
  void WaitForMessage(DWORD maxMilliseconds) override {
    ++waits;
    now += std::min<DWORD>(maxMilliseconds, step);
  }

  std::deque<QueuedMessage> queue;
  std::vector<QueuedMessage> dispatched;
  bool stop = false;
  bool closing = false;  // the program or the course is closing
  DWORD now = 0;
  DWORD step = 10;
  int waits = 0;

 private:
  CWnd* m_view;
};

}  // namespace tvn::testing
