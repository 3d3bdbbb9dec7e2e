// The event base: its enable rule, copying and stored form.
#include "behaviour/event_trigger.h"

#include "model/archive.h"
#include "model/task.h"

IMPLEMENT_SERIAL(CEventTrigger, CIconObject, VERSIONABLE_SCHEMA | 2)

CEventTrigger::CEventTrigger(const CEventTrigger& other)
    : CIconObject(other), m_nEventFlags(other.m_nEventFlags), m_strCondition(other.m_strCondition) {}

void CEventTrigger::Serialize(CArchive& ar) {
  m_nEventFlags = ar.ReadLong();
  ar.ReadString(m_strCondition);
  CIconObject::Serialize(ar);
}

void CEventTrigger::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  // What the base's accessors would give for a source that is no event.
  const auto* event = DynamicDowncast<CEventTrigger>(source);
  if (event != this) {
    m_nEventFlags = event ? event->m_nEventFlags : 0;
    m_strCondition = event ? event->m_strCondition : CString();
  }
  CIconObject::CopyFrom(source, keepIdentity);
}

BOOL CEventTrigger::IsEnabled() {
  if (m_nEventFlags & kEnabledAlways) return TRUE;
  return (m_nEventFlags & kEnabledByCondition) && !m_strCondition.IsEmpty() && Holds(m_strCondition);
}

BOOL CEventTrigger::Holds(const CString& condition) {
  ITaskServices* services = TaskServicesOf(this);
  return services && services->CheckCondition(condition) != 0;
}
