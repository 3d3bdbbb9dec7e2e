// CDemonEvent: an event that fires when its watched condition holds as a task is entered.
#pragma once

#include "behaviour/event_trigger.h"

// The view offers command id 0 at every task entry; that is when the watch
// expression is tested. Other command ids are refused unevaluated.
class CDemonEvent : public CEventTrigger {
  DECLARE_SERIAL(CDemonEvent)

 public:
  CDemonEvent() : CEventTrigger(EventKind::kDemon) {}
  CDemonEvent(const CDemonEvent& other) : CEventTrigger(other), m_strWatch(other.m_strWatch) {}

  const CString& GetWatchExpression() const { return m_strWatch; }
  void SetWatchExpression(const CString& expression) { m_strWatch = expression; }

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 65; }
  BOOL OnCommand(int id, LPARAM lParam) override;

 private:
  CString m_strWatch;
};
