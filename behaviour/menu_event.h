// CMenuEvent: an event that makes its task current when its menu command arrives.
#pragma once

#include "behaviour/event_trigger.h"

// On disk: the item text, the command id (32-bit), then the trigger part.
// The text is kept for the authoring side; matching uses the id alone.
class CMenuEvent : public CEventTrigger {
  DECLARE_SERIAL(CMenuEvent)

 public:
  CMenuEvent() : CEventTrigger(EventKind::kMenu) {}
  CMenuEvent(const CMenuEvent& other)
      : CEventTrigger(other), m_nCommandId(other.m_nCommandId), m_strItemText(other.m_strItemText) {}

  DWORD GetCommandId() const { return m_nCommandId; }
  void SetCommandId(DWORD id) { m_nCommandId = id; }
  const CString& GetItemText() const { return m_strItemText; }
  void SetItemText(const CString& text) { m_strItemText = text; }

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 65; }
  // All 32 bits of the id must match. Id 0 never does: the view offers
  // command 0 at every task entry, and an event without a command must not
  // fire then.
  BOOL OnCommand(int id, LPARAM lParam) override;

 private:
  DWORD m_nCommandId = 0;
  CString m_strItemText;
};
