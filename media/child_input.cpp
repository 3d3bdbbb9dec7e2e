// Passing a media child window's mouse, keys and cursor questions on to its parent view.
#include "media/child_input.h"

#include "platform/user/wnd.h"

void PostMouseToParent(CWnd& child, UINT message, WPARAM flags, CPoint point) {
  CWnd* parent = child.GetParent();
  if (!parent) return;
  CPoint onParent = point;
  child.ClientToScreen(&onParent);
  parent->ScreenToClient(&onParent);
  parent->PostMessage(message, flags, MAKELPARAM(onParent.x, onParent.y));
}

void PostKeyToParent(CWnd& child, UINT message, WPARAM key, LPARAM data) {
  if (CWnd* parent = child.GetParent()) parent->PostMessage(message, key, data);
}

BOOL AskParentForCursor(CWnd& child, CWnd* holder, UINT hitTest, UINT message) {
  CWnd* parent = child.GetParent();
  if (!parent) return FALSE;
  const WPARAM wnd = reinterpret_cast<WPARAM>(holder ? holder->GetSafeHwnd() : child.GetSafeHwnd());
  return parent->SendMessage(WM_SETCURSOR, wnd, MAKELPARAM(static_cast<int>(hitTest), static_cast<int>(message))) != 0;
}
