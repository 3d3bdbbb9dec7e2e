// CDDEAction: opens or ends the runtime's DDE conversation with another program, sends it a command and requests an item.
#pragma once

#include "behaviour/action.h"

// The flags of a DDE action.
namespace DdeFlag {
constexpr DWORD kConnect = 0x1;
constexpr DWORD kDisconnect = 0x2;
constexpr DWORD kUseOpen = 0x4;
constexpr DWORD kExecute = 0x8;
constexpr DWORD kRequest = 0x10;
}  // namespace DdeFlag

// On disk: application, topic, command, item, flags, format (16 bits),
// result variable, then the common part.
class CDDEAction : public CAction {
  DECLARE_SERIAL(CDDEAction)

 public:
  CDDEAction() : CAction(ActionKind::kDDE) {}
  CDDEAction(const CDDEAction& other) = default;

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 65; }
  // Always TRUE. Connects, executes, requests into the result variable or
  // disconnects through the view's DDE link, as the flags say.
  BOOL Execute() override;

  const CString& GetApplication() const { return m_strApplication; }
  const CString& GetTopic() const { return m_strTopic; }
  const CString& GetItem() const { return m_strItem; }
  const CString& GetCommand() const { return m_strCommand; }
  DWORD GetFlags() const { return m_dwFlags; }
  WORD GetFormat() const { return m_wFormat; }
  LONG GetResultVariable() const { return m_resultVariable; }

 private:
  CString m_strApplication;  // the other program's service name
  CString m_strTopic;
  CString m_strItem;
  CString m_strCommand;  // may hold "{Name}" references
  DWORD m_dwFlags = 0;
  WORD m_wFormat = 1;  // CF_TEXT
  LONG m_resultVariable = 0;
};
