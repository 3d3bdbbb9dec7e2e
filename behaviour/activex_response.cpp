// The ActiveX response: its stored form, finding its control and taking the control's event.
#include "behaviour/activex_response.h"

#include "behaviour/activex_action.h"
#include "behaviour/display_part.h"
#include "controls/variant_variables.h"
#include "model/archive.h"
#include "model/task.h"
#include "model/task_list.h"
#include "model/task_services.h"
#include "model/variable_context.h"
#include "page/off_screen_view.h"

IMPLEMENT_SERIAL(CActiveXResponse, CResponse, VERSIONABLE_SCHEMA | 2)

CActiveXResponse::CActiveXResponse(const CActiveXResponse& other)
    : CResponse(other),
      m_dwEventRef(other.m_dwEventRef),
      m_strControlName(other.m_strControlName),
      m_dwStoredWnd(other.m_dwStoredWnd),
      m_event(other.m_event),
      m_strEventName(other.m_strEventName),
      m_parameterVariables(other.m_parameterVariables) {}

void CActiveXResponse::Serialize(CArchive& ar) {
  m_strControlName = ar.ReadString();
  m_dwEventRef = ar.ReadDword();
  m_strEventName = ar.ReadString();
  const DWORD count = ar.ReadDword();
  ar.CheckAvailable(static_cast<ULONGLONG>(count) * 4);
  m_parameterVariables.assign(count, 0);
  for (UINT& id : m_parameterVariables) id = ar.ReadDword();
  m_dwStoredWnd = ar.ReadDword();
  m_event.Serialize(ar);
  CResponse::Serialize(ar);
}

void CActiveXResponse::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (auto* other = dynamic_cast<const CActiveXResponse*>(source); other && other != this) {
    if (!keepIdentity) m_strControlName = other->m_strControlName;
    m_dwEventRef = other->m_dwEventRef;
    m_parameterVariables = other->m_parameterVariables;
    m_event.Copy(other->m_event);
    m_dwStoredWnd = other->m_dwStoredWnd;
    m_strEventName = other->m_strEventName;
  }
  CResponse::CopyFrom(source, keepIdentity);
}

BOOL CActiveXResponse::Activate() {
  m_pControlWnd = nullptr;
  m_pControlAction = nullptr;
  if (m_strControlName.IsEmpty()) return TRUE;
  ITaskServices* services = Services();
  // The page first, then every task of the course.
  if (COffScreenView* view = PageViewOf(this))
    if (CDrawObj* obj = view->FindObjectByName(m_strControlName))
      m_pControlAction = dynamic_cast<CActiveXAction*>(obj->GetOwner());
  if (!m_pControlAction && services)
    m_pControlAction =
        FindActiveXAction(services->Tasks(), [&](CActiveXAction& a) { return a.GetName() == m_strControlName; });
  if (m_pControlAction) m_pControlWnd = m_pControlAction->GetActiveXWnd();
  return TRUE;
}

BOOL CActiveXResponse::OnControlEvent(LONG, void* eventRecord) {
  const auto* record = static_cast<const CControlEventRecord*>(eventRecord);
  if (!record || !m_pControlWnd || record->sender != m_pControlWnd || record->dispid != m_event.m_dispid) return FALSE;
  ITaskServices* services = Services();
  const std::vector<COleVariant>& args = record->params.rgvarg;
  for (std::size_t i = 0; i < m_parameterVariables.size() && i < args.size(); ++i) {
    const UINT id = m_parameterVariables[i];
    CVariable* variable = id != 0 && services ? FindVariableById(services->Variables(), static_cast<LONG>(id)) : nullptr;
    if (!variable) continue;
    try {
      // COM order: the first declared argument is the last one.
      StoreVariantInVariable(*variable, args[args.size() - 1 - i]);
    } catch (const COleException&) {
      // An argument that does not convert leaves the variable as it was.
    }
  }
  return TRUE;
}
