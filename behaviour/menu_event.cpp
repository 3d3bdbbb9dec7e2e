// The menu event: matching commands, copying and stored form.
#include "behaviour/menu_event.h"

#include "model/archive.h"

IMPLEMENT_SERIAL(CMenuEvent, CEventTrigger, VERSIONABLE_SCHEMA | 2)

void CMenuEvent::Serialize(CArchive& ar) {
  m_strItemText = ar.ReadString();
  m_nCommandId = ar.ReadDword();
  CEventTrigger::Serialize(ar);
}

void CMenuEvent::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (const auto* other = DynamicDowncast<CMenuEvent>(source)) {
    m_nCommandId = other->m_nCommandId;
    m_strItemText = other->m_strItemText;
  }
  CEventTrigger::CopyFrom(source, keepIdentity);
}

BOOL CMenuEvent::OnCommand(int id, LPARAM) {
  if (!CIconObject::IsEnabled()) return FALSE;  // disabled objects never take input
  return id != 0 && static_cast<DWORD>(id) == m_nCommandId;
}
