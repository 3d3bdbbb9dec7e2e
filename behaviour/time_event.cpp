// The time event: its repeating timer, copying and stored form.
#include "behaviour/time_event.h"

#include <algorithm>
#include <atomic>

#include "model/archive.h"
#include "model/task.h"
#include "model/task_services.h"

IMPLEMENT_SERIAL(CTimeEvent, CEventTrigger, VERSIONABLE_SCHEMA | 2)

namespace {

// The next timer id, counting up from the first and starting over before
// it would leave the positive range.
UINT NextTimerId() {
  static std::atomic<UINT> last{CTimeEvent::kFirstTimerId - 1};
  UINT id = last.load();
  UINT next = 0;
  do {
    next = id >= CTimeEvent::kLastTimerId || id < CTimeEvent::kFirstTimerId ? CTimeEvent::kFirstTimerId : id + 1;
  } while (!last.compare_exchange_weak(id, next));
  return next;
}

}  // namespace

CTimeEvent::~CTimeEvent() { Stop(); }

LONG CTimeEvent::IntervalSeconds() {
  LONG seconds = m_interval.GetLiteral();
  if (m_interval.IsVariable()) {
    ITaskServices* services = TaskServicesOf(this);
    seconds = services ? m_interval.GetLong(services->Variables()) : 0;
  }
  return std::clamp(seconds, kMinSeconds, kMaxSeconds);
}

void CTimeEvent::Serialize(CArchive& ar) {
  m_interval.Serialize(ar);
  CEventTrigger::Serialize(ar);
}

void CTimeEvent::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (const auto* other = DynamicDowncast<CTimeEvent>(source); other && other != this) {
    Stop();
    m_interval = other->m_interval;
  }
  CEventTrigger::CopyFrom(source, keepIdentity);
}

int CTimeEvent::Start() {
  Stop();
  ITaskServices* services = TaskServicesOf(this);
  ITimerOwner* timers = services ? services->GetTimers() : nullptr;
  if (!timers) return 0;
  m_nTimerId = NextTimerId();
  m_pTimers = timers;
  m_pTimers->SetTimer(m_nTimerId, static_cast<UINT>(IntervalSeconds()) * 1000u);
  return 1;
}

void CTimeEvent::Stop() {
  if (m_nTimerId != 0 && m_pTimers) m_pTimers->KillTimer(m_nTimerId);
  m_nTimerId = 0;
  m_pTimers = nullptr;
}

BOOL CTimeEvent::OnTimer(int id) {
  if (!CIconObject::IsEnabled()) return FALSE;  // disabled objects never take input
  return m_nTimerId != 0 && static_cast<UINT>(id) == m_nTimerId;
}
