// CPackagerInfo: the authoring tool's record of how a course was packed, kept so the course file reads to its end.
#pragma once

#include "platform/base/collections.h"
#include "platform/base/cstring.h"
#include "platform/base/object.h"

class CArchive;

// The runtime gives these fields no meaning beyond keeping them.
class CPackagerInfo : public CObject {
  DECLARE_SERIAL(CPackagerInfo)

 public:
  static constexpr DWORD kNewPackagerWord = 205900;

  // Reads any schema from 1 to 7; the record opens with its own class reference.
  void Serialize(CArchive& ar) override;

  DWORD m_dwPackagerWord = kNewPackagerWord;
  DWORD m_dwFlags = 0;  // packaging options
  CString m_strText[10];  // texts 1 to 10 of the record
  CStringArray m_fileList;  // files named by the packager
  LONG m_lValue1 = -1;
  LONG m_lValue2 = 0;
};
