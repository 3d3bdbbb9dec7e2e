// CMCIAction and CControlAction: an MCI command script sent line by line, and the stored settings of a tape-control step.
#pragma once

#include "behaviour/action.h"
#include "model/var_or_value.h"

// On disk: the script, a 16-bit value (kept, never used), then the common part.
class CMCIAction : public CAction {
  DECLARE_SERIAL(CMCIAction)

 public:
  CMCIAction() : CAction(ActionKind::kMCI) {}
  CMCIAction(const CMCIAction& other) = default;

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 69; }
  // Always TRUE. Each non-empty line of the expanded script goes to MCI with
  // the view as notify window; "MciReturnData" takes each reply and
  // "ErrorNumber"/"ErrorMessage" each result; a failing line does not stop the next.
  BOOL Execute() override;

  const CString& GetScript() const { return m_strScript; }
  void SetScript(const CString& script) { m_strScript = script; }
  WORD GetValue() const { return m_nValue; }

 private:
  WORD m_nValue = 0;
  CString m_strScript;
};

// On disk: command byte, amount, a 32-bit value, a text, then the common part.
// Running it changes nothing: the settings are stored and copied only.
class CControlAction : public CAction {
  DECLARE_SERIAL(CControlAction)

 public:
  CControlAction() : CAction(ActionKind::kControl) {}
  CControlAction(const CControlAction& other) = default;

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 65; }
  BOOL Execute() override { return TRUE; }

  BYTE GetCommand() const { return m_nCommand; }
  const CVarOrValue& GetAmount() const { return m_amount; }
  DWORD GetValue() const { return m_dwValue; }
  const CString& GetText() const { return m_strText; }

 private:
  BYTE m_nCommand = 0;
  CVarOrValue m_amount;
  DWORD m_dwValue = 1;
  CString m_strText;
};
