#include "behaviour/display_part.h"

#include "model/archive.h"
#include "model/course_host.h"
#include "model/page_access.h"
#include "model/task.h"
#include "model/task_services.h"
#include "page/off_screen_view.h"

namespace {

LONG SideValue(const CVarOrValue& side, ITaskServices* services) {
  return services ? side.GetLong(services->Variables()) : side.GetLiteral();
}

}  // namespace

COffScreenView* PageViewOf(CIconObject* obj) {
  ITaskServices* services = obj ? TaskServicesOf(obj) : nullptr;
  return services ? dynamic_cast<COffScreenView*>(services->GetPage()) : nullptr;
}

void CDisplayPart::Serialize(CArchive& ar, const CRuntimeClass* displayClass) {
  UINT schema = 1;
  if (ar.GetCourseVersion() > 3) ar.ReadClass(displayClass, &schema);
  m_position.Serialize(ar);
  m_displayFlags = ar.ReadDword();
  m_layer = ar.ReadByte();
  if (schema == 1) {
    m_effect.LoadOldForm(ar, m_displayFlags);
  } else {
    m_effect.Serialize(ar);
  }
}

CRect CDisplayPart::Evaluate(CIconObject* self) const {
  ITaskServices* services = TaskServicesOf(self);
  return CRect(SideValue(m_position.left, services), SideValue(m_position.top, services),
               SideValue(m_position.right, services), SideValue(m_position.bottom, services));
}

void CDisplayPart::CopyFrom(const CDisplayPart& source, CIconObject* sourceObj, BOOL keepIdentity) {
  const CRect sides = source.Evaluate(sourceObj);
  const bool allZero = sides.left == 0 && sides.top == 0 && sides.right == 0 && sides.bottom == 0;
  if (!(keepIdentity && allZero)) m_position = source.m_position;
  if (!keepIdentity) {
    m_displayFlags = source.m_displayFlags;
    m_layer = source.m_layer;
  }
  m_effect = source.m_effect;
}

void CDisplayPart::NoteShownOn(CIconObject* self) {
  ITaskServices* services = TaskServicesOf(self);
  if (!services) return;
  m_pShownOn = services->GetPage();
  if (ICourseHost* host = services->Host()) m_pHost = host;
}

void CDisplayPart::LeavePage(CIconObject* self) {
  IPageAccess* page = m_pShownOn;
  m_pShownOn = nullptr;
  if (!page || (m_pHost && m_pHost->IsClosing())) return;
  page->RemoveObjectOf(self);
}
