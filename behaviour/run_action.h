// CRunAction: starts another program, a document with its associated program, or brings a running copy forward.
#pragma once

#include <memory>
#include <vector>

#include "behaviour/action.h"
#include "platform/user/program_windows.h"

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
  // The windows of started programs still waited for, to be shown as the
  // flags ask; a copy of the action starts without any. Destroying the
  // action ends the waits.
  struct PendingWindows {
    PendingWindows() = default;
    PendingWindows(const PendingWindows&) {}
    PendingWindows& operator=(const PendingWindows&) { return *this; }
    std::vector<std::unique_ptr<tvn::sys::ProgramWindowShow>> list;
  };
  PendingWindows m_pendingWindows;
};
