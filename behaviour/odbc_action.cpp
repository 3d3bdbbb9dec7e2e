// The ODBC action's stored form and copying.
#include "behaviour/odbc_action.h"

#include "model/archive.h"

IMPLEMENT_SERIAL(CODBCAction, CAction, VERSIONABLE_SCHEMA | 2)

void CODBCAction::Serialize(CArchive& ar) {
  m_valueB = ar.ReadLong();
  m_valueA = ar.ReadLong();
  m_option = ar.ReadByte();
  for (CString& text : m_texts) text = ar.ReadString();
  CAction::Serialize(ar);
}

void CODBCAction::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (auto* other = dynamic_cast<const CODBCAction*>(source)) {
    m_valueA = other->m_valueA;
    if (!keepIdentity) {
      m_valueB = other->m_valueB;
      m_option = other->m_option;
      for (int i = 0; i < 3; ++i) m_texts[i] = other->m_texts[i];
    }
  }
  CAction::CopyFrom(source, keepIdentity);
}
