// Taking the messages that wait, through the one wait rule.
#include "setuptools/common/pending_messages.h"

#include "platform/user/message_loop.h"
#include "platform/user/wait_rule.h"

bool DispatchPendingMessages() {
  CWait wait({WaitInput::kDispatch, nullptr, false});
  return wait.PumpWaiting() != FALSE;
}

bool ProgramClosing() {
  const CMessageLoop* loop = CMessageLoop::Current();
  return loop && loop->ProgramClosing();
}
