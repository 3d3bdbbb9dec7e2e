// The list-box response's two windows: keys and clicks passed on to the view, the owner's colours.
#include "behaviour/response_list_windows.h"

#include "behaviour/list_box_response.h"

namespace {
// Bit of a system key's flags (the high word of lParam) that marks it for the view.
constexpr UINT kPassSystemKey = 0x1000;
}  // namespace

template <class Control>
void TResponseListWindow<Control>::OnKeyDown(UINT vk, UINT, UINT) {
  const LPARAM lParam = this->GetCurrentMessage().lParam;
  CWnd* view = this->GetParent();
  this->Default();  // Tab moves the focus to the view's next tab stop here
  // The view may end the task and destroy this window: nothing follows the send.
  if (view) view->SendMessage(WM_KEYDOWN, vk, lParam);
}

template <class Control>
void TResponseListWindow<Control>::OnSysKeyDown(UINT vk, UINT, UINT flags) {
  const LPARAM lParam = this->GetCurrentMessage().lParam;
  CWnd* view = this->GetParent();
  if (vk == VK_F10) {
    if (view) view->SendMessage(WM_KEYDOWN, vk, lParam);
    return;
  }
  const HWND self = this->GetSafeHwnd();
  if ((flags & kPassSystemKey) && view) view->SendMessage(WM_KEYDOWN, vk, lParam);
  if (CWnd::FromHandle(self) == this) this->Default();
}

template <class Control>
void TResponseListWindow<Control>::PassClick(UINT message, UINT flags, CPoint point) {
  CWnd* view = this->GetParent();
  if (!view) return;
  // The view takes the point in its own coordinates, or it could answer a hot spot elsewhere.
  this->ClientToScreen(&point);
  view->ScreenToClient(&point);
  view->SendMessage(message, flags, MAKELPARAM(point.x, point.y));
}

template <class Control>
void TResponseListWindow<Control>::OnLButtonDown(UINT flags, CPoint point) {
  this->Default();
  PassClick(WM_LBUTTONDOWN, flags, point);
}

template <class Control>
void TResponseListWindow<Control>::OnLButtonDblClk(UINT flags, CPoint point) {
  this->Default();
  PassClick(WM_LBUTTONDBLCLK, flags, point);
}

template <class Control>
BOOL TResponseListWindow<Control>::CtlColor(ControlColours& colours) {
  int size = 0;
  COLORREF text = 0;
  m_owner.GetFont(&size, &text);
  colours.text = text;
  colours.background = m_owner.GetBackColour();
  return TRUE;
}

template class TResponseListWindow<CListBox>;
template class TResponseListWindow<CComboBox>;
