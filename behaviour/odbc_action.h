// CODBCAction: a database action the runtime keeps with the course and never runs.
#pragma once

#include "behaviour/action.h"

// On disk: value B, value A, the byte option, three texts, then the common part.
class CODBCAction : public CAction {
  DECLARE_SERIAL(CODBCAction)

 public:
  CODBCAction() : CAction(ActionKind::kODBC) {}
  CODBCAction(const CODBCAction& other) = default;

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 5; }

  LONG GetValueA() const { return m_valueA; }
  LONG GetValueB() const { return m_valueB; }
  BYTE GetOption() const { return m_option; }
  const CString& GetText(int n) const { return m_texts[n]; }

 private:
  // Options of the authoring side; their meaning is not the runtime's.
  LONG m_valueA = 9;
  BYTE m_option = 0;
  CString m_texts[3];
  LONG m_valueB = 0;
};
