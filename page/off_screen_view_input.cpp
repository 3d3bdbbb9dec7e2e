// The off-screen view offering input to the owners on the page, and the animation step.
#include "model/icon_object.h"
#include "model/input_source.h"
#include "page/off_screen_view.h"

namespace {
constexpr BOOL kNotifyStop2 = 2;
constexpr BOOL kNotifyStop4 = 4;
}  // namespace

// Owners are called without any lock held; an object that left the page
// during the walk is passed over.

void COffScreenView::OnMouseMoveObjects(UINT flags, CPoint point) {
  for (CDrawObj* obj : GetObjects()) {
    if (!IsDisplayItem(obj) || !obj->GetOwner()) continue;
    const CRect rect = *obj->GetRect();
    if (obj->GetOwner()->OnMouseMove(flags, point, kSourcePage, &rect)) break;
  }
  OfferMouseMoveToTask(flags, point);
}

BOOL COffScreenView::OnButtonObjects(UINT message, UINT flags, CPoint point) {
  for (CDrawObj* obj : GetObjects()) {
    if (!IsDisplayItem(obj) || !obj->GetOwner()) continue;
    const CRect rect = *obj->GetRect();
    obj->GetOwner()->OnMouseButton(message, flags, point, kSourcePage, &rect);
  }
  return OfferButtonToTask(message, flags, point);
}

BOOL COffScreenView::OnNotifyObjects(WPARAM wParam, LPARAM lParam) {
  for (CDrawObj* obj : GetObjects()) {
    if (!IsDisplayItem(obj) || !obj->GetOwner()) continue;
    const BOOL answer = obj->GetOwner()->OnNotify(wParam, lParam);
    if (answer == kNotifyStop2 || answer == kNotifyStop4) return FALSE;
  }
  return OfferNotifyToTask(wParam, lParam);
}

BOOL COffScreenView::OnControlEventObjects(LONG id, void* event) {
  for (CDrawObj* obj : GetObjects()) {
    if (!IsDisplayItem(obj) || !obj->GetOwner()) continue;
    obj->GetOwner()->OnControlEvent(id, event);
  }
  return OfferControlEventToTask(id, event);
}

CDrawObj* COffScreenView::ObjectAt(CPoint logical, int arg) {
  std::lock_guard lock(m_listLock);
  return m_list.HitTest(logical.x, logical.y, arg);
}

BOOL COffScreenView::AnimateObjects() {
  bool repaint = false, more = false;
  m_dwAnimationStart = m_pClock->Now();
  for (CDrawObj* obj : GetObjects()) {
    if (!IsDisplayItem(obj) || !obj->GetOwner()) continue;
    const CRect rect = *obj->GetRect();
    if (obj->GetOwner()->Animate(rect, FALSE)) repaint = true;
    if (obj->GetOwner()->GetAnimState()) more = true;
  }
  if (repaint) FlushInvalidRects();
  m_dwAnimationDuration = m_pClock->Now() - m_dwAnimationStart;
  return more ? TRUE : FALSE;
}
