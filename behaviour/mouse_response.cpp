// The mouse response: judging clicks, copying and stored form.
#include "behaviour/mouse_response.h"

#include "model/archive.h"
#include "platform/msg/window_messages.h"

IMPLEMENT_SERIAL(CMouseResponse, CResponse, VERSIONABLE_SCHEMA | 2)

BOOL ClickKindMatches(UINT message, DWORD mouseFlags) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: return (mouseFlags & MouseFlag::kPressed) != 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: return (mouseFlags & MouseFlag::kReleased) != 0;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK: return (mouseFlags & MouseFlag::kDoubleClick) != 0;
    default: return FALSE;
  }
}

void CMouseResponse::Serialize(CArchive& ar) {
  m_dwMouseFlags = ar.ReadDword();
  CResponse::Serialize(ar);
}

void CMouseResponse::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (const auto* other = DynamicDowncast<CMouseResponse>(source)) m_dwMouseFlags = other->m_dwMouseFlags;
  CResponse::CopyFrom(source, keepIdentity);
}

BOOL CMouseResponse::OnMouseButton(UINT message, UINT keyFlags, CPoint, int source, const CRect*) {
  if (!CIconObject::IsEnabled()) return FALSE;  // disabled objects never take input
  if (source != kInputFromTaskResponses || !ClickKindMatches(message, m_dwMouseFlags)) return FALSE;
  return ((keyFlags & MK_LBUTTON) && (m_dwMouseFlags & MouseFlag::kLeft)) ||
         ((keyFlags & MK_MBUTTON) && (m_dwMouseFlags & MouseFlag::kMiddle)) ||
         ((keyFlags & MK_RBUTTON) && (m_dwMouseFlags & MouseFlag::kRight));
}
