// CTimeResponse: the response that fires when its task has waited for the interval.
#pragma once

#include "behaviour/response.h"
#include "model/var_or_value.h"

// Works on the view's timer 18, shared by every time response: each
// activation restarts it, and the first time response of the task takes the
// tick. The view kills it when it leaves the task. On disk: the interval (a
// bindable integer), then the response base.
class CTimeResponse : public CResponse {
  DECLARE_SERIAL(CTimeResponse)

 public:
  static constexpr UINT kTimerId = 18;
  // The shortest period the timer keeps (a shorter one would fire on every
  // idle turn while the task stays), and the longest that fits.
  static constexpr LONG kMinMs = 10;
  static constexpr LONG kMaxMs = 0x7FFFFFFF;

  CTimeResponse() : CResponse(ResponseKind::kTime) {}
  CTimeResponse(const CTimeResponse& other) : CResponse(other), m_interval(other.m_interval) {}

  CVarOrValue& GetInterval() { return m_interval; }
  // The wait in milliseconds: a literal counts tenths of a second, a bound
  // variable's value seconds; within the limits above.
  LONG IntervalMs();

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 68; }
  CIconManager* GetSubManager() override { return OwnActionList(); }
  // Restarts timer 18 with the interval; the task waits.
  BOOL Activate() override;
  BOOL OnTimer(int id) override;

 private:
  CVarOrValue m_interval{10};
};
