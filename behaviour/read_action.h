// CReadAction: reads a plain file, or one marked section of it, into a variable.
#pragma once

#include "behaviour/action.h"

namespace ReadFlag {
constexpr LONG kSection = 0x01;      // one section, not the whole file
constexpr LONG kNotCollected = 0x02;  // the file stays out of the course's file list
constexpr LONG kCollected = 0x04;
}  // namespace ReadFlag

// On disk: flags, variable id, file name, from schema 3 the marker and the
// section name, then the common part.
class CReadAction : public CAction {
  DECLARE_SERIAL(CReadAction)

 public:
  // Files above this size are not held in memory: the out-of-memory message.
  static constexpr ULONGLONG kLargestFile = 1ull << 30;

  CReadAction() : CAction(ActionKind::kRead) {}
  CReadAction(const CReadAction& other) = default;

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 69; }
  // Always TRUE. An unopenable file changes nothing and shows nothing; a
  // read error goes to the error variables; a missing section changes nothing.
  BOOL Execute() override;
  BOOL CollectFiles(CStringArray* files, int flags) override;

  LONG GetFlags() const { return m_flags; }
  LONG GetVariableId() const { return m_variableId; }
  const CString& GetMarker() const { return m_strMarker; }
  const CString& GetSectionName() const { return m_strSection; }
  const CString& GetFileName() const { return m_strFileName; }

 private:
  CString m_strMarker = "#";
  CString m_strSection;
  CString m_strFileName;
  LONG m_flags = ReadFlag::kNotCollected;
  LONG m_variableId = 0;
};
