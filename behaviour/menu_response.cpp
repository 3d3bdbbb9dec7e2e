// The menu response: matching commands, copying and stored form.
#include "behaviour/menu_response.h"

#include "model/archive.h"

IMPLEMENT_SERIAL(CMenuResponse, CResponse, VERSIONABLE_SCHEMA | 2)

void CMenuResponse::Serialize(CArchive& ar) {
  m_strItemText = ar.ReadString();
  m_nCommandId = ar.ReadWord();
  CResponse::Serialize(ar);
}

void CMenuResponse::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (const auto* other = DynamicDowncast<CMenuResponse>(source)) {
    m_nCommandId = other->m_nCommandId;
    m_strItemText = other->m_strItemText;
  }
  CResponse::CopyFrom(source, keepIdentity);
}

BOOL CMenuResponse::OnCommand(int id, LPARAM) {
  if (!CIconObject::IsEnabled()) return FALSE;  // disabled objects never take input
  return id != 0 && static_cast<DWORD>(id) == static_cast<DWORD>(m_nCommandId);
}
