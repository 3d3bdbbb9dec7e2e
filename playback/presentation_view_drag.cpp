// The presentation view dragging objects linked to a drag-and-drop partner,
// and scrolling the page while the cursor stays near an edge.
#include "model/course_doc.h"
#include "model/icon_object.h"
#include "platform/user/message_loop.h"
#include "platform/user/wait_rule.h"
#include "playback/app_resources.h"
#include "playback/presentation_view.h"

IDragPartner* CPresentationView::PartnerOf(CDrawObj* obj) const {
  return obj ? dynamic_cast<IDragPartner*>(obj->GetLink()) : nullptr;
}

void CPresentationView::SetCentreVariables(const char* xName, const char* yName, const CRect& rect) {
  SetLongVariable(xName, rect.left + (rect.right - rect.left) / 2);
  SetLongVariable(yName, rect.top + (rect.bottom - rect.top) / 2);
}

BOOL CPresentationView::StartDrag(CPoint logical, COLORREF colour) {
  CDrawObj* hit = ObjectAt(logical, static_cast<int>(colour));
  if (!hit || !hit->IsLinked()) return FALSE;
  m_pDraggedObject = hit;
  m_bDragging = TRUE;
  SetCapture();
  const CRect rect = *hit->GetRect();
  m_dragOffset = CPoint(logical.x - rect.left, logical.y - rect.top);
  SetCentreVariables("ObjectFromX", "ObjectFromY", rect);
  SetStringVariable("DraggedObjectName", hit->GetOwner() ? hit->GetOwner()->GetName() : CString());
  return TRUE;
}

void CPresentationView::DragTo(CPoint logical) {
  // The object may have left the page meanwhile (a script, an action).
  if (!IsDisplayItem(m_pDraggedObject)) {
    m_pDraggedObject = nullptr;
    return;
  }
  const CRect old = *m_pDraggedObject->GetRect();
  CRect rect(logical.x - m_dragOffset.x, logical.y - m_dragOffset.y, 0, 0);
  rect.right = rect.left + old.Width();
  rect.bottom = rect.top + old.Height();
  if (IDragPartner* partner = PartnerOf(m_pDraggedObject)) {
    if (partner->GetDragMode() == IDragPartner::kOnPath) partner->ConstrainToPath(logical, rect);
    else if (partner->GetDragMode() == IDragPartner::kInArea) partner->ConstrainToArea(logical, rect);
  }
  m_pDraggedObject->MoveToRect(rect, FALSE);
  FlushInvalidRects();
}

CIconObject* CPresentationView::GetDropPartner() {
  if (!m_pDraggedObject || !IsDisplayItem(m_pDraggedObject)) return nullptr;
  return dynamic_cast<CIconObject*>(PartnerOf(m_pDraggedObject));
}

BOOL CPresentationView::Drop(UINT flags) {
  ReleaseCapture();
  m_bDragging = FALSE;
  // The drag record stays until the drop has been offered: target-mode
  // responses compare the name of the object being dropped with their own.
  struct ForgetDrag {
    CDrawObj*& dragged;
    ~ForgetDrag() { dragged = nullptr; }
  } forget{m_pDraggedObject};
  CDrawObj* obj = m_pDraggedObject;
  if (!IsDisplayItem(obj)) return FALSE;
  const CRect rect = *obj->GetRect();
  SetCentreVariables("ObjectToX", "ObjectToY", rect);
  IDragPartner* partner = PartnerOf(obj);
  if (!partner) return FALSE;
  if (partner->GetDragMode() == IDragPartner::kFree) {
    const CPoint hot = partner->GetHotSpot();
    const CPoint drop(rect.left + hot.x, rect.top + hot.y);
    if (OnButtonObjects(WM_LBUTTONUP, flags, drop)) {
      m_pDraggedObject = nullptr;
      SendMessage(ViewMessage::kTaskFinished);
      return TRUE;
    }
  } else if (partner->GetDragMode() == IDragPartner::kOnPath) {
    const CPoint centre(rect.left + rect.Width() / 2, rect.top + rect.Height() / 2);
    if (partner->AcceptDrop(flags, centre)) {
      m_pDraggedObject = nullptr;
      if (CCourseDoc* course = CurrentCourse())
        course->SetCurrentResponse(dynamic_cast<CIconObject*>(partner));
      SendMessage(ViewMessage::kTaskFinished);
      return TRUE;
    }
  }
  return FALSE;
}

BOOL CPresentationView::AutoScroll(CPoint screenPoint, BOOL dragging) {
  if (m_bAutoScrollBusy) return FALSE;
  m_bAutoScrollBusy = TRUE;
  const CSize margin = GetPageSettings().GetScrollMargins();
  CPoint cursor = screenPoint;
  // The edges the cursor is near and the page can still scroll toward; the
  // window is asked each time, as it may be moved or resized meanwhile.
  auto codes = [&]() -> UINT {
    CRect window;
    GetWindowRect(&window);
    const CPoint at = GetScrollPosition();
    UINT h = 0xFF, v = 0xFF;
    if (cursor.x < window.left + margin.cx && at.x > 0) h = SB_LINELEFT;
    else if (cursor.x >= window.right - margin.cx && at.x < GetScrollLimit(SB_HORZ)) h = SB_LINERIGHT;
    if (cursor.y < window.top + margin.cy && at.y > 0) v = SB_LINEUP;
    else if (cursor.y >= window.bottom - margin.cy && at.y < GetScrollLimit(SB_VERT)) v = SB_LINEDOWN;
    return h | (v << 8);
  };
  BOOL scrolled = FALSE;
  if (codes() != 0xFFFFu) {
    SetCapture();
    CMessageLoop* loop = CMessageLoop::Current();
    // The page's input comes here; Escape ends the scrolling.
    CWait wait({WaitInput::kToCaller, GetSafeHwnd()});
    for (;;) {
      MSG msg;
      const PumpResult pumped = wait.PumpOne(&msg);
      if (!IsRunning() || EndsWait(pumped)) break;
      const bool have = pumped == PumpResult::ToCaller && msg.hwnd == GetSafeHwnd();
      if (have && msg.message == WM_MOUSEMOVE) {
        cursor = PointFromLParam(msg.lParam);
        ClientToScreen(&cursor);
      }
      const UINT step = codes();
      if (step == 0xFFFFu || !OnScroll(step, 0)) break;
      scrolled = TRUE;
      if (pumped == PumpResult::ToCaller && (!have || msg.message != WM_MOUSEMOVE || dragging))
        loop->DispatchMessage(msg);
      AnimateObjects();
    }
    ReleaseCapture();
  }
  m_bAutoScrollBusy = FALSE;
  return scrolled;
}
