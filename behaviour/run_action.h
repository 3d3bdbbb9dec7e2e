// CRunAction: starts another program, a document with its associated program, or brings a running copy forward.
#pragma once

#include "behaviour/action.h"

namespace RunFlag {
constexpr LONG kUseRunningCopy = 0x01;
constexpr LONG kWait = 0x02;      // wins over kWatch
constexpr LONG kWatch = 0x04;     // the view's watch list follows the program
constexpr LONG kMaximised = 0x08;
constexpr LONG kDefault = 0x10;   // set by default, never tested
constexpr LONG kMinimised = 0x20;
constexpr LONG kHidden = 0x40;
}  // namespace RunFlag

// On disk: program, parameters, flags, then the common part.
class CRunAction : public CAction {
  DECLARE_SERIAL(CRunAction)

 public:
  CRunAction() : CAction(ActionKind::kRun) {}
  CRunAction(const CRunAction& other) = default;

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 64; }
  // Always TRUE. A document without an associated program does nothing; a
  // program that does not start is shown with the system's text.
  BOOL Execute() override;
  BOOL CollectFiles(CStringArray*, int) override { return FALSE; }

  LONG GetFlags() const { return m_flags; }
  const CString& GetProgram() const { return m_strProgram; }
  const CString& GetParameters() const { return m_strParameters; }

 private:
  LONG m_flags = RunFlag::kDefault;
  CString m_strProgram;
  CString m_strParameters;
};
