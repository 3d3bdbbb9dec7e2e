// CVariableAction: runs a script of the expression language when its task runs.
#pragma once

#include "behaviour/action.h"

// On disk: the script, then the common part.
class CVariableAction : public CAction {
  DECLARE_SERIAL(CVariableAction)

 public:
  CVariableAction() : CAction(ActionKind::kVariable) {}
  CVariableAction(const CVariableAction& other) = default;

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 67; }
  // A script error ends the script where it stands; the list goes on all the same.
  BOOL Execute() override;

  const CString& GetScript() const { return m_strScript; }
  void SetScript(const CString& script) { m_strScript = script; }

 private:
  CString m_strScript;
};
