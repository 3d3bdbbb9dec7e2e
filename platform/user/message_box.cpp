#include "platform/user/message_box.h"

#include "platform/user/message_loop.h"
#include "platform/user/wnd.h"

namespace {
IDialogs* LoopDialogs() {
  CMessageLoop* loop = CMessageLoop::Current();
  return loop ? &loop->Dialogs() : nullptr;
}
}  // namespace

int MessageBox(CWnd* owner, const CString& text, const CString& caption, UINT type) {
  IDialogs* dialogs = LoopDialogs();
  if (!dialogs) return ButtonsOfStyle(type).escapeResult;
  return dialogs->MessageBox({owner, text, caption, type});
}

int AfxMessageBox(const CString& text, UINT type, UINT) {
  CMessageLoop* loop = CMessageLoop::Current();
  CWnd* owner = loop ? loop->FromHandle(loop->GetActiveWindow()) : nullptr;
  return MessageBox(owner, text, loop ? loop->AppName() : CString(), type);
}

BOOL MessageBeep(UINT type) {
  if (IDialogs* dialogs = LoopDialogs()) dialogs->Beep(type);
  return TRUE;
}
