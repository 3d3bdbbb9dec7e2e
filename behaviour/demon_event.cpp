// The demon event: its watch expression, copying and stored form.
#include "behaviour/demon_event.h"

#include "model/archive.h"

IMPLEMENT_SERIAL(CDemonEvent, CEventTrigger, VERSIONABLE_SCHEMA | 2)

void CDemonEvent::Serialize(CArchive& ar) {
  ar.ReadString(m_strWatch);
  CEventTrigger::Serialize(ar);
}

void CDemonEvent::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (const auto* demon = DynamicDowncast<CDemonEvent>(source)) m_strWatch = demon->m_strWatch;
  CEventTrigger::CopyFrom(source, keepIdentity);
}

BOOL CDemonEvent::OnCommand(int id, LPARAM) { return id == 0 && Holds(m_strWatch); }
