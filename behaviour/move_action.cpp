#include "behaviour/move_action.h"

#include <algorithm>
#include <mutex>

#include "model/archive.h"
#include "model/course_host.h"
#include "model/int_geometry.h"
#include "model/script.h"
#include "model/task.h"
#include "model/task_services.h"
#include "page/off_screen_view.h"
#include "platform/msg/clock.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/rgn.h"
#include "platform/user/message_loop.h"
#include "platform/user/wait_rule.h"

IMPLEMENT_SERIAL(CMoveAction, CDisplayAction, VERSIONABLE_SCHEMA | 2)

namespace {

bool Before(DWORD now, DWORD due) { return static_cast<LONG>(now - due) < 0; }

// A move waited for is stepped no more often than the display shows frames
// (60 a second): a step that is due sooner waits for the next frame.
constexpr DWORD kDisplayFrameMs = 16;

}  // namespace

CMoveAction::CMoveAction() : CDisplayAction(ActionKind::kMove, kDefaultLayer) {}

CMoveAction::CMoveAction(const CMoveAction& other)
    : CDisplayAction(other),
      m_moveType(other.m_moveType),
      m_dwMoveFlags(other.m_dwMoveFlags),
      m_time(other.m_time),
      m_strObjectName(other.m_strObjectName),
      m_path(other.m_path),
      m_a(other.m_a),
      m_b(other.m_b),
      m_c(other.m_c),
      m_nRepeat(other.m_nRepeat) {}

void CMoveAction::Serialize(CArchive& ar) {
  m_moveType = ar.ReadByte();
  m_dwMoveFlags = ar.ReadDword();
  m_strObjectName = ar.ReadString();
  m_nRepeat = ar.ReadLong();
  m_time.Serialize(ar);
  m_path.Serialize(ar);
  m_a.Serialize(ar);
  m_b.Serialize(ar);
  m_c.Serialize(ar);
  CDisplayAction::Serialize(ar);
}

void CMoveAction::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (auto* other = dynamic_cast<const CMoveAction*>(source)) {
    m_moveType = other->m_moveType;
    m_dwMoveFlags = other->m_dwMoveFlags;
    m_time = other->m_time;
    m_path = other->m_path;
    m_a = other->m_a;
    m_b = other->m_b;
    m_c = other->m_c;
    m_nRepeat = other->m_nRepeat;
    if (!(keepIdentity && other->m_strObjectName.IsEmpty())) m_strObjectName = other->m_strObjectName;
  }
  CDisplayAction::CopyFrom(source, keepIdentity);
}

LONG CMoveAction::Evaluate(const CVarOrValue& value) {
  ITaskServices* services = TaskServicesOf(this);
  return services ? value.GetLong(services->Variables()) : value.GetLiteral();
}

DWORD CMoveAction::Now() const { return m_pView ? m_pView.load()->GetClock().Now() : timeGetTime(); }

void CMoveAction::Unload() {
  // The page calls this under its display-list lock; a step takes the same lock.
  m_bMoving.store(false);
  m_flat.RemoveAll();
  m_pMoved = nullptr;
}

BOOL CMoveAction::Execute() {
  COffScreenView* view = PageViewOf(this);
  Display().NoteShownOn(this);
  if (!view) return TRUE;
  CDrawObj* own = nullptr;
  {
    std::lock_guard lock(view->GetDisplayListLock());
    Unload();
    m_pView = view;
    m_nTotal = m_nDone = m_nRuns = m_nPoint = 0;
    m_nStep = -1;
    m_bFirstStep = true;
    m_nSegment = m_nSegmentStart = 0;
    m_dwNextStep = 0;
    own = view->AddObject(this, DrawFlag::kPathLine | DrawFlag::kHidden | DrawFlag::kControlFace);

    CString name = m_strObjectName;
    if (ITaskServices* services = TaskServicesOf(this)) name = ExpandVariables(services->Variables(), name, FALSE);
    m_pMoved = view->FindObjectByName(name);
    if (m_pMoved == own) m_pMoved = nullptr;  // a move never moves its own path
    if (!m_pMoved) return TRUE;

    const DWORD now = Now();
    const LONG time = std::max<LONG>(0, Evaluate(m_time));
    m_dwDuration = static_cast<DWORD>(time) * 10;
    m_dwRemaining = m_dwDuration;
    m_dwStart = now;
    switch (m_moveType) {
      case MoveType::kPoints:
        m_nTotal = m_path.GetPointCount();
        m_bMoving.store(m_path.GetPointCount() > 1 && time > 0);
        break;
      case MoveType::kStraight: {
        CRect r = *m_pMoved->GetRect();
        r.NormalizeRect();
        m_start = (m_dwMoveFlags & MoveFlag::kTopLeft) ? r.TopLeft() : r.CenterPoint();
        m_dest = CPoint(Evaluate(m_a), Evaluate(m_c));
        const long long dx = std::abs(static_cast<long long>(m_dest.x) - m_start.x);
        const long long dy = std::abs(static_cast<long long>(m_dest.y) - m_start.y);
        m_nTotal = IntSqrt(dx * dx + dy * dy);
        if (m_start != m_dest) m_bMoving.store(true);
        else Notify();
        break;
      }
      case MoveType::kValue: {
        const LONG a = Evaluate(m_a), b = Evaluate(m_b), c = Evaluate(m_c);
        if (a == 0 && b == 0) break;
        m_flat.Flatten(m_path, kFlattenSteps);
        m_nTotal = m_flat.GetPathLength();
        m_bMoving.store(m_flat.GetPointCount() > 1);
        if (c < a) {
          m_nTotal = 0;
        } else if (c < b && b - a > 0) {
          m_nTotal = static_cast<int>(static_cast<double>(c - a) / static_cast<double>(b - a) * m_nTotal);
        }
        break;
      }
      default:
        m_flat.Flatten(m_path, kFlattenSteps);
        m_nTotal = m_flat.GetPathLength();
        m_bMoving.store(m_flat.GetPointCount() > 1);
        break;
    }
  }
  // Outside the lock: a killed thread being replaced may be waiting for it.
  if (m_dwMoveFlags & MoveFlag::kOwnThread) {
    if (own && view->IsDisplayItem(own)) own->ResumeAnimation();
  } else if (!(m_dwMoveFlags & MoveFlag::kWait)) {
    view->SetAnimationTimer();
  }
  if (m_bMoving.load() && (m_dwMoveFlags & MoveFlag::kWait)) WaitForEnd();
  return TRUE;
}

void CMoveAction::WaitForEnd() {
  COffScreenView* view = m_pView;
  ITaskServices* services = TaskServicesOf(this);
  ICourseHost* host = services ? services->Host() : nullptr;
  CWait wait({WaitInput::kDropPage, view->GetSafeHwnd()});
  if (!CMessageLoop::Current()) return;  // nothing could ever advance the move
  // The flag is tested before a message is taken, so the move's own end
  // notice stays in the queue for the page.
  while (m_bMoving.load()) {
    if (!view->IsRunning() || view->GetKillEvent()->IsSet()) break;
    if (host && host->IsClosing()) break;
    const PumpResult pumped = wait.PumpOne();
    // The move goes on; only the wait ends. The quit message stays for the
    // run loop, which the wait must let reach it.
    if (EndsWait(pumped) || !m_bMoving.load()) break;
    view->AnimateObjects();
    // A move on its own thread wakes the wait when it ends (EndMove); one the
    // page steps is due again at its next step.
    if (pumped == PumpResult::Empty && m_bMoving.load())
      wait.Sleep((m_dwMoveFlags & MoveFlag::kOwnThread) ? std::nullopt : std::optional<DWORD>(UntilNextStep()));
  }
}

DWORD CMoveAction::UntilNextStep() const {
  const DWORD now = Now(), due = m_dwNextStep;
  const DWORD left = due != 0 && Before(now, due) ? due - now : 0;
  return std::max(left, kDisplayFrameMs);
}

void CMoveAction::EndMove() {
  m_bMoving.store(false);
  if (CMessageLoop* loop = CMessageLoop::Current()) loop->Wake();
}

int CMoveAction::Animate(const CRect&, BOOL callerClocked) {
  if (!m_pView) return FALSE;
  // Each move has one clock: its own thread's or the page's animation step.
  const bool ownThread = (m_dwMoveFlags & MoveFlag::kOwnThread) != 0;
  if ((callerClocked != FALSE) != ownThread) return FALSE;
  std::lock_guard lock(m_pView.load()->GetDisplayListLock());
  if (!m_pMoved || !m_bMoving.load()) return FALSE;
  if (!m_pView.load()->IsDisplayItem(m_pMoved)) {
    Unload();
    return FALSE;
  }
  const DWORD now = Now();
  switch (m_moveType) {
    case MoveType::kPoints: return PointStep(now);
    case MoveType::kValue: return ValueStep(now);
    case MoveType::kStraight: return StraightStep(now);
    default: return PathStep(now);
  }
}

void CMoveAction::ResetRun(DWORD now) {
  m_nDone = 0;
  m_nStep = -1;
  m_nPoint = 0;
  m_nSegment = m_nSegmentStart = 0;
  m_bFirstStep = true;
  m_dwStart = now;
  m_dwRemaining = m_dwDuration;
  m_dwNextStep = 0;
}

bool CMoveAction::Paced(DWORD now) {
  if (m_dwNextStep != 0 && Before(now, m_dwNextStep)) return false;
  const bool ownThread = (m_dwMoveFlags & MoveFlag::kOwnThread) != 0;
  const DWORD n = std::max<DWORD>(1, ownThread ? kThreadIntervalMs : m_pView.load()->GetAnimationDuration());
  const DWORD passStart = ownThread ? now : m_pView.load()->GetAnimationStart();
  const DWORD r = m_dwRemaining;
  const int d = m_nTotal - m_nDone;
  if (r > 0 && d > 0) {
    long long c = r / n;
    if (c > 0) {
      c = std::max<long long>(1, std::min<long long>(c, d));
      m_nStep = std::clamp(static_cast<int>(d / c), 1, d);
    } else {
      m_nStep = d;
      c = 1;
    }
    m_nStep = std::max(m_nStep, 1);
    m_dwNextStep = static_cast<DWORD>(r / c) + passStart;
    if (m_dwNextStep == 0) m_dwNextStep = 1;  // 0 means "due at once"
    const LONG left = static_cast<LONG>(m_dwStart + m_dwDuration - now);
    m_dwRemaining = left > 0 ? static_cast<DWORD>(left) : 0;
  } else {
    m_dwNextStep = 0;
    m_nStep = 10;
  }
  return true;
}

bool CMoveAction::PointAt(int distance, CPoint& out) {
  const int count = m_flat.GetPointCount();
  if (count == 0) return false;
  if (distance < m_nSegmentStart) m_nSegment = m_nSegmentStart = 0;  // a new run
  while (m_nSegment < count - 1) {
    const CPoint a = m_flat.GetPoint(m_nSegment), b = m_flat.GetPoint(m_nSegment + 1);
    const int length = CPolyline::IntegerDistance(a, b);
    if (distance < m_nSegmentStart + length) {
      const long long u = distance - m_nSegmentStart;
      out = CPoint(static_cast<LONG>(((length - u) * a.x + u * b.x) / length),
                   static_cast<LONG>(((length - u) * a.y + u * b.y) / length));
      return true;
    }
    m_nSegmentStart += length;
    ++m_nSegment;
  }
  out = m_flat.GetPoint(count - 1);
  return false;
}

void CMoveAction::MoveObject(CPoint point, BOOL force) {
  if (m_pMoved) m_pMoved->MoveTo(point, force, (m_dwMoveFlags & MoveFlag::kTopLeft) ? TRUE : FALSE);
}

void CMoveAction::Notify() {
  if ((m_dwMoveFlags & MoveFlag::kNotify) && m_pView) m_pView.load()->PostViewMessage(MM_MCINOTIFY, kMoveEndedCode, 0);
}

bool CMoveAction::EndRun(DWORD now) {
  ++m_nRuns;
  if ((m_dwMoveFlags & MoveFlag::kLimitedRepeats) && m_nRuns >= m_nRepeat) {
    EndMove();
    Notify();
    return false;
  }
  ResetRun(now);
  return true;
}

int CMoveAction::PathStep(DWORD now) {
  CPoint p;
  if (m_bFirstStep) {
    m_bFirstStep = false;
    m_dwStart = now;
    m_nDone = 0;
    m_nStep = 0;
    PointAt(0, p);
    MoveObject(p, TRUE);
    return TRUE;
  }
  if (!Paced(now)) return TRUE;
  m_nDone += std::max(m_nStep, 1);
  const bool more = PointAt(m_nDone, p);
  MoveObject(p, FALSE);
  if (!more) EndRun(now);
  return TRUE;
}

int CMoveAction::ValueStep(DWORD now) {
  CPoint p;
  if (m_dwDuration == 0) {
    // No time: straight to the end of the walk.
    if (m_nTotal > 0) {
      PointAt(m_nTotal, p);
      MoveObject(p, FALSE);
    }
    EndMove();
    Notify();
    return FALSE;
  }
  if (m_bFirstStep) {
    m_bFirstStep = false;
    if (m_nTotal <= 0) {  // a value at or below the start walks nothing
      EndRun(now);
      return TRUE;
    }
    m_dwStart = now;
    m_nDone = 0;
    m_nStep = 0;
    PointAt(0, p);
    MoveObject(p, TRUE);
    return TRUE;
  }
  if (!Paced(now)) return TRUE;
  m_nDone += std::max(m_nStep, 1);
  if (m_nDone >= m_nTotal) {
    m_nDone = m_nTotal;
    PointAt(m_nTotal, p);
    MoveObject(p, FALSE);
    EndRun(now);
    return TRUE;
  }
  PointAt(m_nDone, p);
  MoveObject(p, FALSE);
  return TRUE;
}

int CMoveAction::StraightStep(DWORD now) {
  if (m_dwDuration == 0) {
    MoveObject(m_dest, FALSE);
    EndMove();
    Notify();
    return FALSE;
  }
  if (m_nDone == 0 && m_nRuns > 0 && m_bFirstStep) MoveObject(m_start, FALSE);  // a repeat starts over
  m_bFirstStep = false;
  if (!Paced(now)) return TRUE;
  m_nDone += std::max(m_nStep, 1);
  CPoint p;
  const bool reached = !MovePointTowards(m_nDone, m_start, m_dest, &p);
  MoveObject(p, FALSE);
  if (reached) EndRun(now);
  return TRUE;
}

int CMoveAction::PointStep(DWORD now) {
  if (m_dwNextStep != 0 && Before(now, m_dwNextStep)) return FALSE;
  const int count = m_path.GetPointCount();
  if (m_nPoint >= count) {
    EndRun(now);
    return FALSE;
  }
  MoveObject(m_path.GetPoint(m_nPoint), m_nPoint == 0);
  ++m_nPoint;
  const int toGo = count - m_nPoint;
  if (toGo <= 0) {
    EndRun(now);
    return TRUE;
  }
  const LONG left = static_cast<LONG>(m_dwStart + m_dwDuration - now);
  const DWORD r = left > 0 ? static_cast<DWORD>(left) : 0;
  const DWORD passStart = (m_dwMoveFlags & MoveFlag::kOwnThread) ? now : m_pView.load()->GetAnimationStart();
  m_dwNextStep = passStart + r / static_cast<DWORD>(toGo);
  if (m_dwNextStep == 0) m_dwNextStep = 1;
  return TRUE;
}

BOOL CMoveAction::GetRegion(int, int x, int y, const CRect*) {
  if (m_moveType > MoveType::kValue || m_path.GetPointCount() < 3) return FALSE;
  const std::vector<CPoint> outline = m_path.FlatOutline();
  CRgn region;
  return region.CreatePolygonRgn(outline.data(), static_cast<int>(outline.size()), ALTERNATE) &&
         region.PtInRegion(x, y);
}
