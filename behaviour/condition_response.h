// CConditionResponse: takes over its task's outcome when its condition holds.
#pragma once

#include "behaviour/response.h"

// Asked when the task is done, before the matched response (the response
// manager's pass); its outcome follows the base rule only while the
// condition holds. On disk: the condition, then the response base.
class CConditionResponse : public CResponse {
  DECLARE_SERIAL(CConditionResponse)

 public:
  CConditionResponse() : CResponse(ResponseKind::kCondition) {}
  CConditionResponse(const CConditionResponse& other) : CResponse(other), m_strCondition(other.m_strCondition) {}

  const CString& GetConditionText() const { return m_strCondition; }
  void SetConditionText(const CString& condition) { m_strCondition = condition; }

  void Serialize(CArchive& ar) override;
  // With keepIdentity an empty source condition leaves this one alone.
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 69; }
  // 0: the task is done at once, and the manager goes on activating.
  BOOL Activate() override { return FALSE; }
  // 0 (no decision) when the condition is empty or does not hold; else the base rule.
  int ExecuteResponse(int* target) override;

 private:
  CString m_strCondition;
};
