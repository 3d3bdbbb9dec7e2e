#include "media/keyboard_queue.h"

#include "platform/user/message_loop.h"
#include "platform/user/wait_rule.h"
#include "platform/user/wnd.h"

bool CLoopKeyboardQueue::TakeKeyMessage(QueuedMessage& out) {
  CMessageLoop* loop = CMessageLoop::Current();
  if (!loop || !loop->IsLoopThread()) return false;
  if (CWait(WaitPolicy(WaitInput::kToCaller)).Ending()) {
    // The program or the course is closing: the work is broken off as by Escape.
    out = {nullptr, WM_CHAR, VK_ESCAPE, 0};
    return true;
  }
  MSG msg;
  if (!loop->PeekMessage(msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) return false;
  out = {loop->FromHandle(msg.hwnd), msg.message, msg.wParam, msg.lParam};
  return true;
}

void CLoopKeyboardQueue::Dispatch(const QueuedMessage& queued) {
  CMessageLoop* loop = CMessageLoop::Current();
  if (!loop || !loop->IsLoopThread()) return;
  MSG msg;
  msg.hwnd = queued.window ? queued.window->GetSafeHwnd() : nullptr;
  msg.message = queued.message;
  msg.wParam = queued.wParam;
  msg.lParam = queued.lParam;
  if (!loop->PreTranslateMessage(msg)) loop->DispatchMessage(msg);
}
