// Reading the packaging record in all its schemas.
#include "model/packager_info.h"

#include "model/archive.h"

IMPLEMENT_SERIAL(CPackagerInfo, CObject, VERSIONABLE_SCHEMA | 7)

namespace {

// Schemas before 3 kept five yes/no options where later ones keep a flags word.
constexpr DWORD kOldOptionsBase = 0x400000;
// Schemas before 7 kept a second word, merged into the packager word and marked with this bit.
constexpr DWORD kMergedWordMark = 0x8000;
// Records of schema 5 and before get this flag on reading.
constexpr DWORD kOldRecordFlag = 0x20000000;

struct YesNoOption {
  DWORD yes;
  DWORD no;
};
constexpr YesNoOption kOldOptions[5] = {{0x200, 0x400}, {0x80, 0x100}, {0x02, 0x02}, {0x08, 0x10}, {0x20, 0x40}};

}  // namespace

void CPackagerInfo::Serialize(CArchive& ar) {
  UINT schema = 0;
  ar.ReadClass(RUNTIME_CLASS(CPackagerInfo), &schema);
  m_dwPackagerWord = ar.ReadDword();
  if (schema < 7) {
    m_dwPackagerWord |= ar.ReadDword();
    m_dwPackagerWord |= kMergedWordMark;
  }
  for (int i = 0; i < 7; ++i) m_strText[i] = ar.ReadString();
  if (schema > 2) {
    m_dwFlags = ar.ReadDword();
  } else {
    m_dwFlags = kOldOptionsBase;
    for (const YesNoOption& option : kOldOptions) m_dwFlags |= ar.ReadLong() != 0 ? option.yes : option.no;
  }
  ar.ReadStringArray(m_fileList);
  m_strText[7] = ar.ReadString();
  if (schema > 3) m_strText[8] = ar.ReadString();
  if (schema > 4) {
    m_strText[9] = ar.ReadString();
    m_lValue1 = ar.ReadLong();
    m_lValue2 = ar.ReadLong();
  }
  if (schema <= 5) m_dwFlags |= kOldRecordFlag;
}
