// The OLE object action: its stored form and its place on the page.
#include "behaviour/ole_action.h"

#include "model/archive.h"
#include "page/draw_obj.h"
#include "page/off_screen_view.h"

IMPLEMENT_SERIAL(COleAction, CDisplayAction, VERSIONABLE_SCHEMA | 2)

void COleAction::Serialize(CArchive& ar) {
  m_dwOleFlags = ar.ReadDword();
  if (ar.ReadWord() != 0) ar.Fail(CArchiveException::badClass);
  CDisplayAction::Serialize(ar);
}

void COleAction::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (auto* other = dynamic_cast<const COleAction*>(source)) m_dwOleFlags = other->m_dwOleFlags;
  CDisplayAction::CopyFrom(source, keepIdentity);
}

BOOL COleAction::Execute() {
  Display().NoteShownOn(this);
  if (COffScreenView* view = PageViewOf(this))
    view->AddObject(this, DrawFlag::kOle | (Effect().HasEffect() ? DrawFlag::kTransition : 0));
  return TRUE;
}
