#include "behaviour/variable_action.h"

#include "model/archive.h"
#include "model/task.h"
#include "model/task_services.h"

IMPLEMENT_SERIAL(CVariableAction, CAction, VERSIONABLE_SCHEMA | 2)

void CVariableAction::Serialize(CArchive& ar) {
  m_strScript = ar.ReadString();
  CAction::Serialize(ar);
}

void CVariableAction::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (auto* other = dynamic_cast<const CVariableAction*>(source)) {
    if (!(keepIdentity && other->m_strScript.IsEmpty())) m_strScript = other->m_strScript;
  }
  CAction::CopyFrom(source, keepIdentity);
}

BOOL CVariableAction::Execute() {
  if (m_strScript.IsEmpty()) return TRUE;
  if (ITaskServices* services = TaskServicesOf(this)) services->ExecuteScript(m_strScript);
  return TRUE;
}
