// CTimeEvent: an event that fires every interval while its course is open.
#pragma once

#include "behaviour/event_trigger.h"
#include "model/var_or_value.h"

class ITimerOwner;

// A repeating timer of the presentation view. Its id comes from a counter,
// above 200 so that the view offers it to the armed events, and is never
// shared between two running events. The timer runs from Start to Stop, and
// dies with the event. On disk: the interval (a bindable integer), then the
// trigger part.
class CTimeEvent : public CEventTrigger {
  DECLARE_SERIAL(CTimeEvent)

 public:
  static constexpr UINT kFirstTimerId = 201;
  static constexpr UINT kLastTimerId = 0x7FFFFFFF;
  // Seconds. Shorter intervals would fire on every idle turn; longer ones
  // would overflow the timer's milliseconds.
  static constexpr LONG kMinSeconds = 1;
  static constexpr LONG kMaxSeconds = 0x7FFFFFFF / 1000;

  CTimeEvent() : CEventTrigger(EventKind::kTrigger) {}
  // The copy has no timer.
  CTimeEvent(const CTimeEvent& other) : CEventTrigger(other), m_interval(other.m_interval) {}
  ~CTimeEvent() override;

  CVarOrValue& GetInterval() { return m_interval; }
  UINT GetTimerId() const { return m_nTimerId; }
  // The interval the next Start sets, in whole seconds within the limits: a
  // bound variable's value truncated, else the literal.
  LONG IntervalSeconds();

  void Serialize(CArchive& ar) override;
  // Stops a running timer, then copies the interval and the trigger part.
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 65; }
  // Sets the repeating timer under a fresh id (a running one is stopped
  // first). 0 when the task's services give no timers.
  int Start() override;
  void Stop() override;
  BOOL OnTimer(int id) override;

 private:
  CVarOrValue m_interval{600};
  UINT m_nTimerId = 0;
  // The owner of the running timer; not owned. The view stops its armed
  // events before it goes.
  ITimerOwner* m_pTimers = nullptr;
};
