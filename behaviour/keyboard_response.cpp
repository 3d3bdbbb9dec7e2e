// The keyboard response: matching keys, copying and stored form.
#include "behaviour/keyboard_response.h"

#include "model/archive.h"

IMPLEMENT_SERIAL(CKeyBoardResponse, CResponse, VERSIONABLE_SCHEMA | 2)

void CKeyBoardResponse::Serialize(CArchive& ar) {
  m_keys.Serialize(ar);
  CResponse::Serialize(ar);
}

void CKeyBoardResponse::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (const auto* other = DynamicDowncast<CKeyBoardResponse>(source)) m_keys.CopyFrom(other->m_keys);
  CResponse::CopyFrom(source, keepIdentity);
}

BOOL CKeyBoardResponse::OnKey(int key, int state) {
  if (!CIconObject::IsEnabled()) return FALSE;  // disabled objects never take input
  return m_keys.Match(KeypadDigitToCharacter(static_cast<UINT>(key)), static_cast<UINT>(state),
                      HeldModifiers(Services()));
}
