#include "behaviour/widgit_action.h"

#include <mutex>

#include "behaviour/image_environment_of.h"
#include "model/archive.h"
#include "model/task.h"
#include "model/task_services.h"
#include "page/off_screen_view.h"
#include "platform/msg/clock.h"

IMPLEMENT_SERIAL(CWidgit, CObject, VERSIONABLE_SCHEMA | 2)
IMPLEMENT_SERIAL(CWidgitAction, CDisplayAction, VERSIONABLE_SCHEMA | 2)

namespace {

bool HoldsPicture(const CImage& image) { return !image.hDib.empty() || image.kind == ImageKind::kMetafile; }

}  // namespace

void CWidgit::Serialize(CArchive& ar) {
  m_image.Serialize(ar);
  m_nFrames = ar.ReadLong();
}

void CWidgitList::Serialize(CArchive& ar) { ar.ReadOwnedList(m_widgets); }

void CWidgitList::CopyFrom(const CWidgitList& other) {
  Unload();
  m_widgets.clear();
  for (const auto& w : other.m_widgets) m_widgets.push_back(std::make_unique<CWidgit>(*w));
}

int CWidgitList::Load(const ImageEnvironment* environment) {
  m_nTotal = m_nPassed = 0;
  m_nCurrent = m_widgets.empty() ? -1 : 0;
  for (auto& w : m_widgets) {
    w->m_image.SetEnvironment(environment);
    w->m_bLoaded = false;
    if (w->m_image.Load() && HoldsPicture(w->m_image)) {
      w->m_bLoaded = true;
      w->m_nCurrentFrame = 0;
      m_nTotal += w->GetFrameCount();
    }
  }
  return m_nTotal;
}

BOOL CWidgitList::Advance() {
  if (m_nCurrent >= 0 && m_nCurrent < GetCount()) {
    CWidgit& w = *m_widgets[static_cast<std::size_t>(m_nCurrent)];
    if (++w.m_nCurrentFrame >= w.GetFrameCount()) {
      w.m_nCurrentFrame = 0;
      m_nPassed += w.GetFrameCount();
      ++m_nCurrent;
    }
  }
  if (m_nCurrent >= 0 && m_nCurrent < GetCount()) return FALSE;
  m_nPassed = 0;
  m_nCurrent = m_widgets.empty() ? -1 : 0;
  return TRUE;
}

void CWidgitList::Draw(CDC* dc, const CRect& rect) {
  if (!dc || m_nCurrent < 0 || m_nCurrent >= GetCount()) return;
  CWidgit& w = *m_widgets[static_cast<std::size_t>(m_nCurrent)];
  // A picture that failed to load is skipped.
  if (!w.m_bLoaded || !HoldsPicture(w.m_image)) return;
  if (w.GetFrameCount() == 1) w.m_image.Draw(dc, rect, TRUE);
  else w.m_image.DrawFrame(dc, rect, w.m_nCurrentFrame, w.GetFrameCount(), TRUE);
}

void CWidgitList::Unload() {
  for (auto& w : m_widgets) {
    w->m_image.Free();
    w->m_bLoaded = false;
    w->m_nCurrentFrame = 0;
  }
  m_nTotal = m_nPassed = 0;
  m_nCurrent = -1;
}

BOOL CWidgitList::CollectFiles(CStringArray& files) const {
  for (const auto& w : m_widgets) w->m_image.GetFileNames(files);
  return files.GetSize() > 0;
}

CWidgitAction::CWidgitAction(const CWidgitAction& other)
    : CDisplayAction(other),
      m_widgets(other.m_widgets),
      m_nCycleLimit(other.m_nCycleLimit),
      m_dwFlags(other.m_dwFlags),
      m_interval(other.m_interval) {}

void CWidgitAction::Serialize(CArchive& ar) {
  m_dwFlags = ar.ReadDword();
  m_nCycleLimit = ar.ReadLong();
  m_interval.Serialize(ar);
  m_widgets.Serialize(ar);
  CDisplayAction::Serialize(ar);
}

void CWidgitAction::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (auto* other = dynamic_cast<const CWidgitAction*>(source)) {
    m_widgets.CopyFrom(other->m_widgets);
    m_dwFlags = other->m_dwFlags;
    m_interval = other->m_interval;
    m_nCycleLimit = other->m_nCycleLimit;
    m_dwNextDue = 0;
  }
  CDisplayAction::CopyFrom(source, keepIdentity);
}

DWORD CWidgitAction::IntervalMs() {
  ITaskServices* services = TaskServicesOf(this);
  const LONG interval = services ? m_interval.GetLong(services->Variables()) : m_interval.GetLiteral();
  return interval > 0 ? static_cast<DWORD>(interval) * 10 : 0;
}

DWORD CWidgitAction::Now() const { return m_pView ? m_pView->GetClock().Now() : timeGetTime(); }

void CWidgitAction::Unload() {
  m_dwNextDue = 0;
  m_nCyclesDone = 0;
  m_widgets.Unload();
}

BOOL CWidgitAction::Execute() {
  COffScreenView* view = PageViewOf(this);
  m_env = ImageEnvironmentOf(this);
  {
    // A thread of an earlier run may still step; it takes the same lock.
    std::unique_lock<std::recursive_mutex> lock;
    if (view) lock = std::unique_lock(view->GetDisplayListLock());
    Unload();
    m_pView = view;
    if (view && !(m_dwFlags & WidgitFlag::kCallerClocked)) view->SetAnimationTimer();
    if (m_widgets.Load(&m_env) > 1) m_dwNextDue = IntervalMs();  // a single frame never animates
    m_bFirstDue = true;
  }
  Display().NoteShownOn(this);
  if (view) view->AddObject(this, 0);
  return TRUE;
}

BOOL CWidgitAction::IsAnimated() {
  if (!(m_dwFlags & WidgitFlag::kCallerClocked)) return FALSE;
  m_dwNextDue = m_widgets.GetTotalFrames() > 1 ? IntervalMs() : 0;
  return static_cast<BOOL>(m_dwNextDue.load());
}

int CWidgitAction::Animate(const CRect& rect, BOOL callerClocked) {
  if (m_dwNextDue == 0 || !m_pView) return 0;
  const bool ownClock = !(m_dwFlags & WidgitFlag::kCallerClocked);
  if ((callerClocked != FALSE) == ownClock) return 0;
  std::lock_guard lock(m_pView->GetDisplayListLock());
  // Unload may have run while this step waited for the lock.
  if (m_dwNextDue == 0 || !m_pView->FindDisplayItem(this)) return 0;
  if (ownClock) {
    const DWORD now = Now();
    // Until the first step the due time holds the interval itself: the first
    // frame steps on at once. Later ones compare by difference (the clock wraps).
    if (!m_bFirstDue && static_cast<LONG>(now - m_dwNextDue.load()) < 0) return 0;
    m_bFirstDue = false;
    const DWORD interval = IntervalMs();                     // a variable can change the speed
    DWORD due = interval ? now + interval : 0;
    if (interval && due == 0) due = 1;
    m_dwNextDue = due;
  }
  if (m_widgets.Advance()) {
    ++m_nCyclesDone;
    if ((m_dwFlags & WidgitFlag::kLimitedCycles) && m_nCyclesDone >= m_nCycleLimit) {
      m_dwNextDue = 0;
      m_pView->InvalidateRect(&rect);  // the first frame shows at the next repaint
      return 0;
    }
  }
  if (ownClock) {
    m_pView->InvalidateRect(&rect);
  } else {
    m_pView->ComposeRect(&rect);
    m_pView->BlitToScreen(nullptr, &rect);
  }
  return 1;
}

void CWidgitAction::Draw(CDC* dc, int, const CRect* rect) {
  if (rect) m_widgets.Draw(dc, *rect);
}

BOOL CWidgitAction::CollectFiles(CStringArray* files, int flags) {
  if (!files) return FALSE;
  const BOOL display = CDisplayAction::CollectFiles(files, flags);
  if (m_widgets.GetCount() == 0) return display;
  return (m_widgets.CollectFiles(*files) || display) ? TRUE : FALSE;
}
