#include "behaviour/clear_action.h"

#include "model/archive.h"
#include "page/off_screen_view.h"

IMPLEMENT_SERIAL(CClearAction, CDisplayAction, VERSIONABLE_SCHEMA | 2)

void CClearAction::Serialize(CArchive& ar) {
  m_area.Serialize(ar);
  CDisplayAction::Serialize(ar);
}

void CClearAction::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (auto* other = dynamic_cast<const CClearAction*>(source)) m_area.CopyFrom(other->m_area, keepIdentity);
  CDisplayAction::CopyFrom(source, keepIdentity);
}

BOOL CClearAction::Execute() {
  COffScreenView* view = PageViewOf(this);
  if (!view) return TRUE;
  const BOOL keepOnly = (m_area.flags & AreaFlag::kKeepObjects) ? TRUE : FALSE;
  const bool effect = Effect().HasEffect();

  if (m_area.flags & AreaFlag::kWholePage) {
    if (!keepOnly) view->FreeAllObjects(nullptr, FALSE);
    if (effect) view->FinishEffect(this, view->GetPageArea());
    else if (!keepOnly) view->InvalidateRect(nullptr);
    else view->DiscardInvalidRects();
    return TRUE;
  }

  CRect area(0, 0, 0, 0);
  const CRect bounds = GetBounds();
  if (!bounds.IsRectEmpty()) {
    if (!keepOnly) view->RemoveObjectsInRect(bounds, this);
    if (effect) area = bounds;
  }
  m_area.Collect(*view, this, keepOnly, area);
  if (effect && !area.IsRectEmpty()) view->FinishEffect(this, area);
  if (!effect && keepOnly) view->DiscardInvalidRects();
  return TRUE;
}
