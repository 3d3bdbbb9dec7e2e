// The presentation view's mouse buttons, keys and cursors.
#include "model/course_doc.h"
#include "model/variable.h"
#include "platform/user/message_loop.h"
#include "playback/app_resources.h"
#include "playback/player_app.h"
#include "playback/presentation_frame.h"
#include "playback/presentation_view.h"

CPoint CPresentationView::LogicalPoint(CPoint client) const {
  ClientToLogical(&client);
  return client;
}

void CPresentationView::SetLongVariable(const char* name, LONG value) {
  CCourseDoc* course = CurrentCourse();
  if (!course) return;
  // Variables the course does not define are skipped.
  if (CVariable* variable = FindVariable(course->Variables(), name)) variable->SetLong(value);
}

void CPresentationView::SetStringVariable(const char* name, const CString& value) {
  CCourseDoc* course = CurrentCourse();
  if (!course) return;
  if (CVariable* variable = FindVariable(course->Variables(), name)) variable->SetString(value);
}

void CPresentationView::RouteButton(UINT message, UINT flags, CPoint logical) {
  if (m_armedEvents.DispatchMouse(message, flags, &logical, kSourceView)) {
    SendMessage(ViewMessage::kRunTask);
    return;
  }
  if (OnButtonObjects(message, flags, logical)) SendMessage(ViewMessage::kTaskFinished);
}

BOOL CPresentationView::OfferButtonToTask(UINT message, UINT flags, CPoint point) {
  CCourseDoc* course = CurrentCourse();
  return course ? course->CurrentTaskFind2(message, flags, point) : FALSE;
}

BOOL CPresentationView::OfferMouseMoveToTask(UINT flags, CPoint point) {
  CCourseDoc* course = CurrentCourse();
  return course ? course->CurrentTaskFind1(flags, point) : FALSE;
}

void CPresentationView::OnLButtonDown(UINT flags, CPoint point) {
  const CPoint logical = LogicalPoint(point);
  // Image objects test the colour under the point as well.
  const COLORREF colour = GetBufferPixel(logical.x, logical.y);
  if (!Runs()) return;
  SetLongVariable("ClickX", logical.x);
  SetLongVariable("ClickY", logical.y);
  if (!m_bDragging && StartDrag(logical, colour)) return;
  m_pDraggedObject = nullptr;
  RouteButton(WM_LBUTTONDOWN, flags, logical);
}

void CPresentationView::OnLButtonUp(UINT flags, CPoint point) {
  if (!Runs()) return;
  flags |= MK_LBUTTON;
  const CPoint logical = LogicalPoint(point);
  SetLongVariable("ReleaseX", logical.x);
  SetLongVariable("ReleaseY", logical.y);
  if (m_bDragging && Drop(flags)) return;
  RouteButton(WM_LBUTTONUP, flags, logical);
}

void CPresentationView::OnLButtonDblClk(UINT flags, CPoint point) {
  if (!Runs()) {
    COffScreenView::OnLButtonDblClk(flags, point);
    return;
  }
  const CPoint logical = LogicalPoint(point);
  if (CDrawObj* hit = ObjectAt(logical, 0); hit && hit->GetOwner() && hit->GetOwner()->TestOleFlags(4)) {
    hit->Open();
    FlushInvalidRects();
  }
  m_pDraggedObject = nullptr;
  RouteButton(WM_LBUTTONDBLCLK, flags, logical);
}

void CPresentationView::RouteRightButton(UINT message, UINT flags, CPoint point) {
  RouteButton(message, flags, LogicalPoint(point));
}

void CPresentationView::OnRButtonDown(UINT flags, CPoint point) {
  if (!Runs()) return COffScreenView::OnRButtonDown(flags, point);
  if (m_bDragging) return;  // the left button's drag goes on
  RouteRightButton(WM_RBUTTONDOWN, flags, point);
}

void CPresentationView::OnRButtonUp(UINT flags, CPoint point) {
  if (!Runs()) return COffScreenView::OnRButtonUp(flags, point);
  RouteRightButton(WM_RBUTTONUP, flags | MK_RBUTTON, point);
}

void CPresentationView::OnRButtonDblClk(UINT flags, CPoint point) {
  if (!Runs()) return COffScreenView::OnRButtonDblClk(flags, point);
  RouteRightButton(WM_RBUTTONDBLCLK, flags, point);
}

void CPresentationView::OnMouseMove(UINT flags, CPoint point) {
  if (!Runs()) return;
  const CPoint logical = LogicalPoint(point);
  DWORD scrollFlag = PageFlag::kAutoScrollX;
  if (m_bDragging && m_pDraggedObject) {
    DragTo(logical);
    scrollFlag = PageFlag::kAutoScrollY;
  } else {
    OnMouseMoveObjects(flags, logical);
  }
  if (GetPageSettings().GetWindowFlags() & scrollFlag) {
    CPoint screen = point;
    ClientToScreen(&screen);
    AutoScroll(screen, m_bDragging);
  }
  AnimateObjects();
}

// Keys: the course sees every key while the view runs; before that only
// Escape (hides the frame) and F5 (repaints) mean anything.
BOOL CPresentationView::RouteKey(int key, UINT flags) {
  if (m_armedEvents.DispatchKey(key, static_cast<int>(flags))) {
    SendMessage(ViewMessage::kRunTask);
    return TRUE;
  }
  CCourseDoc* course = CurrentCourse();
  if (course && course->CurrentTaskFind3(key, static_cast<int>(flags))) {
    SendMessage(ViewMessage::kTaskFinished);
    return TRUE;
  }
  return FALSE;
}

void CPresentationView::OnKeyDown(UINT vk, UINT repeat, UINT flags) {
  if (Runs()) {
    int key = static_cast<int>(vk);
    // The keypad's digits arrive as the digits themselves.
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) key = '0' + static_cast<int>(vk - VK_NUMPAD0);
    // A key an event or a response took ends here.
    if (RouteKey(key, flags)) return;
  } else if (vk == VK_ESCAPE) {
    if (CPlayerApp* app = CPlayerApp::Get(); app && app->GetPresentationFrame())
      app->GetPresentationFrame()->Show(FALSE);
  }
  if (vk == VK_F5) OnRepaintAll();
  COffScreenView::OnKeyDown(vk, repeat, flags);
}

void CPresentationView::OnSysKeyDown(UINT vk, UINT repeat, UINT flags) {
  if (!Runs()) return COffScreenView::OnSysKeyDown(vk, repeat, flags);
  if (vk == VK_F10) {
    OnKeyDown(vk, repeat, flags);
    return;
  }
  if (::GetKeyState(VK_MENU) & 0x8000) OnKeyDown(vk, repeat, flags);
  COffScreenView::OnSysKeyDown(vk, repeat, flags);
}

void CPresentationView::OnRepaintAll() {
  InvalidateRect(nullptr);
  FlushInvalidRects();
}

void CPresentationView::SetCursor(HCURSOR cursor) {
  if (cursor) {
    m_nCursorState = ViewCursor::kCourse;
    m_hCourseCursor = cursor;
    ::SetCursor(cursor);
  } else {
    m_nCursorState = ViewCursor::kHand;
    ::SetCursor(m_hHandCursor);
  }
}

HCURSOR CPresentationView::GetCursor(const CString& fileName) {
  CPlayerApp* app = CPlayerApp::Get();
  return app ? app->GetCursor(fileName) : nullptr;
}

void CPresentationView::RestoreCursor(BOOL force) {
  if (m_nCursorState != ViewCursor::kSystem || force) ::SetCursor(LoadCursor(nullptr, m_nCursorId));
  m_nCursorState = ViewCursor::kSystem;
}

BOOL CPresentationView::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
  if (m_nCursorState == ViewCursor::kHand) {
    ::SetCursor(m_hHandCursor);
    return TRUE;
  }
  if (m_nCursorState == ViewCursor::kCourse) {
    if (m_hCourseCursor) ::SetCursor(m_hCourseCursor);
    return TRUE;
  }
  ::SetCursor(LoadCursor(nullptr, m_nCursorId));
  return COffScreenView::OnSetCursor(wnd, hitTest, message);
}
