// The media-file object's frame players (FLIC and AVI): opening, commands, ticks, drawing and their end notices.
#include <algorithm>
#include <climits>

#include "media/avi_player.h"
#include "media/flic_player.h"
#include "media/media_file_object.h"
#include "model/variable_context.h"

namespace {

// A number from a variable may be anything: whole frames and milliseconds are cut to what fits.
long long Whole(double value, long long lowest, long long highest) {
  if (!(value > static_cast<double>(lowest))) return lowest;  // NaN too
  if (!(value < static_cast<double>(highest))) return highest;
  return static_cast<long long>(value);
}

int FrameOf(double value) { return static_cast<int>(Whole(value, INT_MIN, INT_MAX)); }

}  // namespace

int CMediaFileObject::FrameLoops() const {
  if (m_dwFlags & MediaFlag::kLoopForever) return -1;
  return static_cast<int>(std::min<DWORD>(m_nLoopCount, INT_MAX));
}

BOOL CMediaFileObject::OpenFlic(const CString& name) {
  if (m_flic) return FALSE;
  auto player = std::make_unique<CFlicPlayer>();
  if (!player->Start(m_env, name, m_env.owner, FrameLoops())) return FALSE;
  m_flic = std::move(player);
  if (m_env.startAnimation) m_env.startAnimation();
  return TRUE;
}

BOOL CMediaFileObject::OpenAvi(const CString& name) {
  if (m_avi) return FALSE;
  auto player = std::make_unique<CAviPlayer>(m_env);
  if (!player->Open(name, m_env.owner, FrameLoops())) return FALSE;
  m_avi = std::move(player);
  if (m_env.startAnimation) m_env.startAnimation();
  return TRUE;
}

void CMediaFileObject::FreeFrames() {
  m_flic.reset();
  m_avi.reset();
}

BOOL CMediaFileObject::IsDrawn() const {
  return ((m_nKind == MediaKind::kFlic && m_flic) || (m_nKind == MediaKind::kAvi && m_avi)) ? TRUE : FALSE;
}

BOOL CMediaFileObject::IsFramePlaying() const {
  if (m_nKind == MediaKind::kFlic && m_flic) return m_flic->IsPlaying();
  if (m_nKind == MediaKind::kAvi && m_avi) return m_avi->IsPlaying();
  return FALSE;
}

void CMediaFileObject::PlayFrames(const CVarOrValue* from, const CVarOrValue* to) {
  if (m_nKind == MediaKind::kFlic && m_flic) {
    const double frames = m_flic->GetFrameCount();
    if (from) {
      const double f = Scaled(*from);
      if (f > 0 && f < frames) m_flic->GotoFrame(nullptr, FrameOf(f));
    }
    if (to) {
      const double t = Scaled(*to);
      if (t > 0 && t < frames) m_flic->SetEndFrame(FrameOf(t));
    }
    m_flic->Play();
  } else if (m_nKind == MediaKind::kAvi && m_avi) {
    const double frames = m_avi->GetLength();
    if (from) {
      const double f = Scaled(*from);
      if (f > 0 && f < frames) m_avi->Seek(FrameOf(f));
    }
    if (to) {
      const double t = Scaled(*to);
      if (t > 0 && t < frames) m_avi->FrameToTime(FrameOf(t));
    }
    m_avi->Play();
  }
}

void CMediaFileObject::StopFrames() {
  if (m_nKind == MediaKind::kFlic && m_flic) m_flic->Stop();
  if (m_nKind == MediaKind::kAvi && m_avi) m_avi->Stop();
}

void CMediaFileObject::SeekFrames(const CVarOrValue* position, bool start, bool end) {
  if (m_nKind == MediaKind::kFlic && m_flic) {
    if (start) m_flic->Rewind(nullptr);
    else if (end) m_flic->SeekToEnd(nullptr);
    else if (position) m_flic->GotoFrame(nullptr, FrameOf(Scaled(*position)));
  } else if (m_nKind == MediaKind::kAvi && m_avi) {
    // A frame below 0 is no frame: -1 alone means the stop time.
    if (start) m_avi->Seek(0);
    else if (end) m_avi->Seek(-1);
    else if (position) m_avi->Seek(std::max(0, FrameOf(Scaled(*position))));
  }
}

void CMediaFileObject::SetFrameSpeed(const CVarOrValue& speed) {
  if (m_nKind != MediaKind::kFlic || !m_flic) return;
  // The period goes down by one millisecond per point of speed above 100.
  long long faster = 0;
  if (!speed.IsVariable()) faster = static_cast<long long>(speed.GetLiteral()) - 100;
  else if (m_env.variables) faster = Whole((speed.GetDouble(*m_env.variables) - 1.0) * 100.0, INT_MIN, INT_MAX);
  m_flic->SetFramePeriod(static_cast<long long>(m_flic->GetFileSpeed()) - faster);
}

void CMediaFileObject::PlaceFrames(const CRect& rect) {
  if (m_nKind == MediaKind::kFlic && m_flic) m_flic->SetDisplayRect(rect);
  if (m_nKind == MediaKind::kAvi && m_avi) m_avi->SetRect(rect);
}

BOOL CMediaFileObject::UpdatePlayer(const CRect& rect) {
  if (m_nKind == MediaKind::kFlic && m_flic) {
    m_flic->SetDisplayRect(rect);
    return m_flic->OnTick();
  }
  if (m_nKind == MediaKind::kAvi && m_avi) {
    m_avi->SetRect(rect);
    return m_avi->OnIdle();
  }
  return FALSE;
}

void CMediaFileObject::Draw(CDC* dc, const CRect& rect) {
  if (!dc) return;
  if (m_nKind == MediaKind::kFlic && m_flic) {
    m_flic->SetDisplayRect(rect);
    m_flic->Draw(dc, (m_dwFlags & MediaFlag::kNaturalSize) ? TRUE : FALSE);
  } else if (m_nKind == MediaKind::kAvi && m_avi) {
    m_avi->SetRect(rect);
    m_avi->Draw(dc);
  }
}

int CMediaFileObject::OnFrameNotify(WPARAM code, DWORD id) {
  // These players count their own passes: a report is always the end.
  const bool mine = (m_nKind == MediaKind::kFlic && m_flic && id == m_flic->GetId()) ||
                    (m_nKind == MediaKind::kAvi && m_avi && id == m_avi->GetId());
  if (!mine || code != 1) return MediaAnswer::kNotMine;
  return (m_dwFlags & MediaFlag::kReportEnd) ? MediaAnswer::kFinishedReport : MediaAnswer::kFinished;
}

double CMediaFileObject::GetFramePosition() const {
  if (m_nKind == MediaKind::kFlic && m_flic) return m_flic->GetFrameCounter();
  if (m_nKind == MediaKind::kAvi && m_avi) return m_avi->GetCurrentFrame();
  return 0.0;
}

double CMediaFileObject::GetFrameLength() const {
  if (m_nKind == MediaKind::kFlic && m_flic) return m_flic->GetFrameCount();
  if (m_nKind == MediaKind::kAvi && m_avi) return m_avi->GetLength();
  return 0.0;
}
