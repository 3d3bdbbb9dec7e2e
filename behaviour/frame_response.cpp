// The frame response: its stored form, copying, and polling the medium on timer 37.
#include "behaviour/frame_response.h"

#include "behaviour/display_part.h"
#include "model/archive.h"
#include "model/page_access.h"
#include "model/task_services.h"
#include "page/draw_obj.h"
#include "page/off_screen_view.h"

IMPLEMENT_SERIAL(CFrameResponse, CResponse, VERSIONABLE_SCHEMA | 2)

CFrameResponse::CFrameResponse(const CFrameResponse& other)
    : CResponse(other),
      m_threshold(other.m_threshold),
      m_dwFrameFlags(other.m_dwFrameFlags),
      m_strMediaName(other.m_strMediaName),
      m_dwInterval(other.m_dwInterval) {}

void CFrameResponse::Serialize(CArchive& ar) {
  m_strMediaName = ar.ReadString();
  m_dwFrameFlags = ar.ReadDword();
  m_dwInterval = ar.ReadDword();
  m_threshold.Serialize(ar);
  CResponse::Serialize(ar);
}

void CFrameResponse::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (const auto* other = DynamicDowncast<CFrameResponse>(source)) {
    if (!keepIdentity) {
      m_threshold = other->m_threshold;
      m_strMediaName = other->m_strMediaName;
    }
    m_dwFrameFlags = other->m_dwFrameFlags;
    m_dwInterval = other->m_dwInterval;
  }
  CResponse::CopyFrom(source, keepIdentity);
}

CIconObject* CFrameResponse::FindMedia() {
  if (COffScreenView* view = PageViewOf(this))
    if (CDrawObj* obj = view->FindObjectByName(m_strMediaName); obj && obj->GetOwner()) return obj->GetOwner();
  ITaskServices* services = Services();
  IPageAccess* page = services ? services->GetPage() : nullptr;
  return page ? page->FindPlayingSound(m_strMediaName) : nullptr;
}

double CFrameResponse::Threshold() {
  if (!m_threshold.IsVariable()) return m_threshold.GetLiteral() / 100.0;
  ITaskServices* services = Services();
  return services ? m_threshold.GetDouble(services->Variables()) : 0.0;
}

BOOL CFrameResponse::Activate() {
  ITaskServices* services = Services();
  ITimerOwner* timers = services ? services->GetTimers() : nullptr;
  if (!timers) return TRUE;
  timers->KillTimer(kTimerId);
  if (FindMedia()) {
    m_lastPosition = 0.0;
    m_bFired = false;
    timers->SetTimer(kTimerId, m_dwInterval);
  }
  return TRUE;
}

BOOL CFrameResponse::OnTimer(int id) {
  if (static_cast<UINT>(id) != kTimerId || !CIconObject::IsEnabled()) return FALSE;
  CIconObject* media = FindMedia();
  if (!media) return FALSE;
  const double position = media->GetMediaPosition();
  // Back below where it last accepted: the medium was started again.
  if (position < m_lastPosition) {
    m_lastPosition = 0.0;
    m_bFired = false;
  }
  // The flag, not the position, says it has accepted in this pass: a pass
  // that accepted at position 0 (a threshold below 0) must not accept again
  // on every poll.
  if (m_bFired || !(position > Threshold())) return FALSE;
  m_lastPosition = position;
  m_bFired = true;
  return TRUE;
}
