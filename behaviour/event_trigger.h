// CEventTrigger: the base of every event, with the rule that says when it may fire.
#pragma once

#include "behaviour/event_kinds.h"
#include "model/icon_object.h"

// Event flags: bit 0x1 enabled always, bit 0x2 enabled while the condition
// holds; other bits are stored and copied. On disk an event kind's own
// fields come first, then the event flags and condition, then the common part.
class CEventTrigger : public CIconObject {
  DECLARE_SERIAL(CEventTrigger)

 public:
  static constexpr int kEnabledAlways = 0x1;
  static constexpr int kEnabledByCondition = 0x2;

  CEventTrigger() : CEventTrigger(EventKind::kTrigger) {}
  explicit CEventTrigger(int kind) : CIconObject(kind, EventKind::kTrigger) {}
  CEventTrigger(const CEventTrigger& other);

  void Serialize(CArchive& ar) override;
  // Copies the event flags and condition always, then the common part.
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 0; }
  int GetEventFlags() override { return m_nEventFlags; }
  void SetEventFlags(int flags) override { m_nEventFlags = flags; }
  CString GetCondition() override { return m_strCondition; }
  void SetCondition(const CString& condition) override { m_strCondition = condition; }

  // The event's own rule, tested each time input is offered: flag 0x1, or
  // flag 0x2 with a condition that holds now. It stands apart from the
  // object's disabled bit, which decides whether the event is armed at all
  // (CIconObject::IsEnabled).
  BOOL IsEnabled();

 protected:
  // The condition of the course through the task's services; FALSE without them.
  BOOL Holds(const CString& condition);

 private:
  int m_nEventFlags = kEnabledAlways;
  CString m_strCondition;
};
