// The view's hosted controls: destroyed when a course stops, refreshed by control id.
#include "playback/activex_sites.h"

#include "behaviour/activex_action.h"
#include "model/course_doc.h"
#include "page/off_screen_view.h"

void CActiveXSites::DestroyAll() {
  for (CDrawObj* obj : m_page.GetObjects())
    if (auto* action = dynamic_cast<CActiveXAction*>(obj->GetOwner())) action->Unload();
}

BOOL CActiveXSites::RefreshControl(CCourseDoc* course, LONG controlId) {
  if (!course) return FALSE;
  CActiveXAction* action =
      FindActiveXAction(course->Tasks(), [controlId](CActiveXAction& a) { return a.GetControlId() == controlId; });
  if (!action) return FALSE;
  action->Refresh();
  return TRUE;
}
