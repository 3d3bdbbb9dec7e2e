#include "behaviour/transition_action.h"

#include "model/archive.h"
#include "page/off_screen_view.h"

IMPLEMENT_SERIAL(CTransitionAction, CDisplayAction, VERSIONABLE_SCHEMA | 1)

void CTransitionAction::Serialize(CArchive& ar) {
  m_area.Serialize(ar);
  CDisplayAction::Serialize(ar);
}

void CTransitionAction::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (auto* other = dynamic_cast<const CTransitionAction*>(source)) m_area.CopyFrom(other->m_area, keepIdentity);
  CDisplayAction::CopyFrom(source, keepIdentity);
}

BOOL CTransitionAction::Execute() {
  COffScreenView* view = PageViewOf(this);
  if (!view || !Effect().HasEffect()) return TRUE;
  if (m_area.flags & AreaFlag::kWholePage) {
    view->FinishEffect(this, view->GetPageArea());
    return TRUE;
  }
  CRect area = GetBounds();
  if (area.IsRectEmpty()) area = CRect(0, 0, 0, 0);
  m_area.Collect(*view, this, TRUE, area);
  if (!area.IsRectEmpty()) view->FinishEffect(this, area);
  return TRUE;
}
