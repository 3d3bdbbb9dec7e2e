// The movie action: its stored form, starting or commanding a movie, placing and drawing it, and its player's ticks.
#include "behaviour/movie_action.h"

#include "model/archive.h"
#include "model/task.h"
#include "model/task_services.h"
#include "page/draw_obj.h"
#include "page/off_screen_view.h"

IMPLEMENT_SERIAL(CMovieAction, CDisplayAction, VERSIONABLE_SCHEMA | 2)

namespace {

constexpr DWORD kSeekBits = MediaFlag::kSeekStart | MediaFlag::kSeekEnd | MediaFlag::kSeekPosition;

// Media kinds the page draws itself; the others have a window of their own.
bool IsFrameKind(BYTE kind) { return kind == MediaKind::kFlic || kind == MediaKind::kAvi; }

}  // namespace

CMovieAction::CMovieAction(const CMovieAction& other)
    : CDisplayAction(other), m_dwFlags(other.m_dwFlags), m_source(other.m_source) {
  m_media = other.m_media;
}

void CMovieAction::Serialize(CArchive& ar) {
  m_dwFlags = ar.ReadDword();
  m_source.left = ar.ReadLong();
  m_source.top = ar.ReadLong();
  m_source.right = ar.ReadLong();
  m_source.bottom = ar.ReadLong();
  m_media.Serialize(ar);
  CDisplayAction::Serialize(ar);
}

void CMovieAction::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (const auto* other = dynamic_cast<const CMovieAction*>(source)) {
    m_dwFlags = other->m_dwFlags;
    m_source = other->m_source;
    m_media = other->m_media;
  }
  CDisplayAction::CopyFrom(source, keepIdentity);
}

BOOL CMovieAction::Execute() {
  if (m_dwFlags & MovieFlag::kStart) return StartMovie();
  if (m_dwFlags & MovieFlag::kControl) return ControlMovie();
  return TRUE;
}

BOOL CMovieAction::StartMovie() {
  COffScreenView* view = PageViewOf(this);
  CRect rect = GetBounds();
  if (rect.IsRectEmpty() && view) {
    CRect client;
    view->GetClientRect(&client);
    rect = CRect(0, 0, client.right / 3, client.bottom / 3);
    SetRectConstants(rect);
  }
  MediaEnvironment env = view ? view->GetMediaEnvironment() : MediaEnvironment{};
  if (!env.variables)
    if (ITaskServices* services = TaskServicesOf(this)) env.variables = &services->Variables();
  // The medium reports its own errors.
  if (!m_media.Open(env, &rect, TRUE, nullptr, nullptr, TRUE)) return TRUE;
  GetMediaState(this);
  Display().NoteShownOn(this);
  if (view) view->AddObject(this, 0);
  return TRUE;
}

BOOL CMovieAction::ControlMovie() {
  COffScreenView* view = PageViewOf(this);
  if (!view) return FALSE;
  // Only a movie action is commanded: another kind of object of that name
  // (a picture, a sound) has no medium this action's bits mean anything to.
  CMovieAction* movie = nullptr;
  for (CDrawObj* obj : view->GetObjects()) {
    auto* owner = dynamic_cast<CMovieAction*>(obj->GetOwner());
    if (owner && owner->GetName() == m_media.m_strFileName) {
      movie = owner;
      break;
    }
  }
  if (!movie) return FALSE;
  movie->GetMediaState(this);
  return TRUE;
}

void CMovieAction::GetMediaState(CIconObject* action) {
  auto* given = dynamic_cast<CMovieAction*>(action);
  CMovieAction& command = given ? *given : *this;
  const CMediaFileObject& values = command.m_media;
  const DWORD f = command.m_dwFlags;
  // Bit 0x1 of the movie flags is the start mode, not the media's "wait for the end".
  const DWORD playFlags = (f & ~MediaFlag::kWait) | (m_media.m_dwFlags & MediaFlag::kVisible);
  if (f & MediaFlag::kSpeed) m_media.SetSpeed(values.m_speed, f);
  if (f & MediaFlag::kVolumeBalance) m_media.SetVolumeBalance(&values.m_volume, &values.m_balance);
  if (f & MediaFlag::kPlay) {
    m_media.Play(nullptr, nullptr, playFlags);
  } else if (f & MediaFlag::kPlayRange) {
    m_media.Play(&values.m_from, &values.m_to, playFlags);
  } else if (f & MediaFlag::kStop) {
    m_media.Stop();
  } else if (f & MediaFlag::kPause) {
    m_media.Pause();
  } else if (f & kSeekBits) {
    m_media.Seek(&values.m_to, f);
  }
}

void CMovieAction::SizeObject(const CRect& rect) {
  CRect area = rect.IsRectEmpty() ? DefaultRect() : rect;
  if (!IsFrameKind(m_media.m_nKind))
    if (COffScreenView* view = PageViewOf(this)) view->LogicalToClientRect(&area);
  m_media.SetDisplayRect(area, m_media.m_dwFlags, &m_source);
}

void CMovieAction::Draw(CDC* dc, int, const CRect* rect) {
  CRect area = rect ? *rect : CRect();
  if (area.IsRectEmpty()) area = DefaultRect();
  if (IsFrameKind(m_media.m_nKind)) {
    if (dc) m_media.Draw(dc, area);
  } else {
    SizeObject(area);
  }
}

int CMovieAction::Animate(const CRect& rect, BOOL) {
  if (!m_media.UpdatePlayer(rect)) return 0;
  if (COffScreenView* view = PageViewOf(this)) view->InvalidateRect(&rect);
  return 1;
}

BOOL CMovieAction::OnNotify(WPARAM code, LPARAM id) {
  const int answer = m_media.OnNotify(code, id);
  if (answer == MediaAnswer::kContinues) {
    SizeObject(GetBounds());
    GetMediaState(this);
  }
  return answer;
}

BOOL CMovieAction::CollectFiles(CStringArray* files, int flags) {
  BOOL added = FALSE;
  if ((m_dwFlags & MovieFlag::kStart) && !m_media.m_strFileName.IsEmpty()) {
    if (files) files->Add(m_media.m_strFileName);
    added = TRUE;
  }
  if (CDisplayAction::CollectFiles(files, flags)) added = TRUE;
  return added;
}
