// The MCI response: the table of notice codes and the flags that accept them.
#include "behaviour/mci_response.h"

#include <array>

#include "model/archive.h"

IMPLEMENT_SERIAL(CMCIResponse, CResponse, VERSIONABLE_SCHEMA | 2)

namespace {

struct CodeFlag {
  WPARAM code;
  DWORD flag;
};

// Code 1 is media completion; the others come from the move action (1035),
// the watch list of started programs (1036), the HTML action (1046) and
// whatever else posts them.
constexpr std::array<CodeFlag, 7> kCodes{{
    {1, 0x1}, {1034, 0x2}, {1035, 0x4}, {1036, 0x8}, {1045, 0x10}, {1046, 0x20}, {1050, 0x40},
}};

}  // namespace

void CMCIResponse::Serialize(CArchive& ar) {
  m_dwNotifyFlags = ar.ReadDword();
  CResponse::Serialize(ar);
}

void CMCIResponse::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (auto* other = dynamic_cast<const CMCIResponse*>(source)) m_dwNotifyFlags = other->m_dwNotifyFlags;
  CResponse::CopyFrom(source, keepIdentity);
}

BOOL CMCIResponse::OnNotify(WPARAM code, LPARAM data) {
  if (!CIconObject::IsEnabled()) return FALSE;  // disabled objects never take input
  for (const CodeFlag& row : kCodes) {
    if (row.code != code) continue;
    if (!(m_dwNotifyFlags & row.flag)) return FALSE;
    return code == 1 ? data != 0 : TRUE;
  }
  return FALSE;
}
