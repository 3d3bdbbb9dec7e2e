// The condition response: testing its condition, copying and stored form.
#include "behaviour/condition_response.h"

#include "model/archive.h"
#include "model/task_services.h"

IMPLEMENT_SERIAL(CConditionResponse, CResponse, VERSIONABLE_SCHEMA | 2)

void CConditionResponse::Serialize(CArchive& ar) {
  ar.ReadString(m_strCondition);
  CResponse::Serialize(ar);
}

void CConditionResponse::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (const auto* other = DynamicDowncast<CConditionResponse>(source)) {
    if (!keepIdentity || !other->m_strCondition.IsEmpty()) m_strCondition = other->m_strCondition;
  }
  CResponse::CopyFrom(source, keepIdentity);
}

int CConditionResponse::ExecuteResponse(int* target) {
  if (m_strCondition.IsEmpty()) return 0;
  ITaskServices* services = Services();
  if (!services || services->CheckCondition(m_strCondition) == 0) return 0;
  return CResponse::ExecuteResponse(target);
}
