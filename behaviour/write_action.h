// CWriteAction: writes a text, its variables expanded, to a plain file, replacing or appending.
#pragma once

#include "behaviour/action.h"

namespace WriteFlag {
constexpr LONG kReplace = 0x01;
constexpr LONG kAppend = 0x02;
// A pair of choices the authoring side keeps; one is always set.
constexpr LONG kChoiceA = 0x04;
constexpr LONG kChoiceB = 0x08;
}  // namespace WriteFlag

// On disk: flags, file name, text, then the common part.
class CWriteAction : public CAction {
  DECLARE_SERIAL(CWriteAction)

 public:
  CWriteAction() : CAction(ActionKind::kWrite) {}
  CWriteAction(const CWriteAction& other) = default;

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 69; }
  // Always TRUE; a file that cannot be opened is shown, write errors are not.
  BOOL Execute() override;

  LONG GetFlags() const { return m_flags; }
  const CString& GetText() const { return m_strText; }
  const CString& GetFileName() const { return m_strFileName; }

 private:
  CString m_strText;
  CString m_strFileName;
  LONG m_flags = WriteFlag::kReplace | WriteFlag::kChoiceA;
};
