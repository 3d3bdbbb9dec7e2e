// The time response: its timer, copying and stored form.
#include "behaviour/time_response.h"

#include <algorithm>

#include "model/archive.h"
#include "model/task_services.h"
#include "model/value_conversion.h"

IMPLEMENT_SERIAL(CTimeResponse, CResponse, VERSIONABLE_SCHEMA | 1)

LONG CTimeResponse::IntervalMs() {
  LONG tenths = m_interval.GetLiteral();
  if (m_interval.IsVariable()) {
    ITaskServices* services = Services();
    tenths = services ? tvn::values::TruncateToLong(m_interval.GetDouble(services->Variables()) * 10.0) : 0;
  }
  const long long ms = static_cast<long long>(tenths) * 100;
  return static_cast<LONG>(std::clamp<long long>(ms, kMinMs, kMaxMs));
}

void CTimeResponse::Serialize(CArchive& ar) {
  m_interval.Serialize(ar);
  CResponse::Serialize(ar);
}

void CTimeResponse::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (const auto* other = DynamicDowncast<CTimeResponse>(source)) m_interval = other->m_interval;
  CResponse::CopyFrom(source, keepIdentity);
}

BOOL CTimeResponse::Activate() {
  ITaskServices* services = Services();
  if (ITimerOwner* timers = services ? services->GetTimers() : nullptr) {
    timers->KillTimer(kTimerId);
    timers->SetTimer(kTimerId, static_cast<UINT>(IntervalMs()));
  }
  return TRUE;
}

BOOL CTimeResponse::OnTimer(int id) {
  if (!CIconObject::IsEnabled()) return FALSE;  // disabled objects never take input
  return static_cast<UINT>(id) == kTimerId;
}
