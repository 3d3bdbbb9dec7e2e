// The hypertext response: judging link clicks, copying and stored form.
#include "behaviour/hypertext_response.h"

#include "model/archive.h"

IMPLEMENT_SERIAL(CHyperTextResponse, CResponse, VERSIONABLE_SCHEMA | 2)

void CHyperTextResponse::Serialize(CArchive& ar) {
  m_strLink = ar.ReadString();
  CResponse::Serialize(ar);
}

void CHyperTextResponse::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (const auto* other = DynamicDowncast<CHyperTextResponse>(source); other && !keepIdentity) {
    m_strLink = other->m_strLink;
  }
  CResponse::CopyFrom(source, keepIdentity);
}

BOOL CHyperTextResponse::OnNotify(WPARAM code, LPARAM data) {
  if (!CIconObject::IsEnabled()) return FALSE;  // disabled objects never take input
  if (code != HyperTextNotify::kCode || data == 0) return FALSE;
  return AcceptsClick(*reinterpret_cast<const HyperTextNotify*>(data));
}

BOOL CHyperTextResponse::AcceptsClick(const HyperTextNotify& note) const {
  return note.id == HyperTextNotify::kCode && note.link == m_strLink;
}
