// The base draw object: position, layer, handles, moves and the animation thread.
#include "page/draw_obj.h"

#include <algorithm>

#include "model/archive.h"
#include "model/icon_object.h"
#include "page/animate_thread.h"

IMPLEMENT_SERIAL(CDrawObj, CObject, VERSIONABLE_SCHEMA | 2)

CDrawObj::CDrawObj(CIconObject* owner, DWORD flags, IDrawObjHost* host)
    : m_pOwner(owner), m_dwFlags(flags), m_pHost(host) {
  if (owner) {
    m_position = owner->GetBounds();
    m_nLayer = owner->GetLayer();
  }
  if (host) m_pCourse = host->GetCurrentCourse();
  if (owner) {
    // The owner answers its step interval in milliseconds; 0 means still.
    if (BOOL interval = owner->IsAnimated(); interval > 0) {
      m_pAnimateThread = CAnimateThread::StartAnimateThread(this, static_cast<DWORD>(interval),
                                                            host ? host->GetKillEvent() : nullptr,
                                                            host ? host->GetAnimationWaiter() : RealTimeWaiter());
    }
  }
}

CDrawObj::~CDrawObj() {
  KillThread(TRUE);
  // A private object is the only holder of its owner; a loaded owner goes with m_pLoadedOwner.
  if (IsPrivate() && !m_pLoadedOwner) delete m_pOwner;
}

void CDrawObj::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar.WriteRect(m_position);
    ar.WriteByte(m_nLayer);
    ar.WriteDword(m_dwFlags);
    // The course and the owner are addresses, which mean nothing to a reader.
    ar.WriteDword(0);
    ar.WriteDword(0);
    ar.WriteClass(m_pOwner ? m_pOwner->GetRuntimeClass() : nullptr);
    if (m_pOwner) m_pOwner->Serialize(ar);
    return;
  }
  m_position = ar.ReadRect();
  m_nLayer = ar.ReadByte();
  m_dwFlags = ar.ReadDword();
  ar.ReadDword();  // the course and the owner as they were stored: never pointers here
  ar.ReadDword();
  m_pCourse = nullptr;
  m_pLoadedOwner.reset();
  m_pOwner = nullptr;
  const CRuntimeClass* cls = ar.ReadClassOrNull(RUNTIME_CLASS(CIconObject));
  if (!cls) return;
  m_pLoadedOwner.reset(static_cast<CIconObject*>(ar.CreateObject(cls).release()));
  m_pOwner = m_pLoadedOwner.get();
  m_pOwner->Serialize(ar);
}

void CDrawObj::KillThread(BOOL wait) {
  if (!m_pAnimateThread) return;
  m_pAnimateThread->Kill();
  if (wait) {
    if (m_pHost && m_pAnimateThread->IsCurrentThread()) {
      // Freed from inside its own step: the host joins the thread once the step is over.
      m_pHost->AdoptEndingThread(std::move(m_pAnimateThread));
      return;
    }
    m_pAnimateThread->Join();
    m_pAnimateThread.reset();
  }
}

void CDrawObj::ResumeAnimation() {
  if (!m_pOwner) return;
  const BOOL interval = m_pOwner->IsAnimated();
  if (interval <= 0) return;
  if (m_pAnimateThread && !m_pAnimateThread->IsKilled()) {
    m_pAnimateThread->Resume();
    return;
  }
  KillThread(TRUE);
  m_pAnimateThread = CAnimateThread::StartAnimateThread(this, static_cast<DWORD>(interval),
                                                        m_pHost ? m_pHost->GetKillEvent() : nullptr,
                                                        m_pHost ? m_pHost->GetAnimationWaiter() : RealTimeWaiter());
}

void CDrawObj::SetLink(CObject* object) {
  m_pLink = object;
  m_dwFlags |= DrawFlag::kLinked;
}

void CDrawObj::ClearLink() {
  m_pLink = nullptr;
  m_dwFlags &= ~DrawFlag::kLinked;
}

void CDrawObj::Invalidate() {
  if (!IsPrivate() && m_pHost) m_pHost->InvalidateItem(this);
}

int CDrawObj::TestOleFlags(int mask) const { return m_pOwner ? m_pOwner->TestOleFlags(mask) : 0; }

void CDrawObj::SetLayer(BYTE layer) {
  if (m_nLayer >= 1 && m_nLayer <= 9) m_nLayer = layer;
}

const CRect* CDrawObj::GetRect(CRect* out) const {
  if (out) *out = m_position;
  return &m_position;
}

CRect CDrawObj::GetOwnerRect() const {
  CRect rect = m_position;
  if (m_pOwner) m_pOwner->GetRect(&rect);
  return rect;
}

BOOL CDrawObj::IsInsideRect(const CRect& rect) const {
  CRect owner = GetOwnerRect();
  CRect r(m_position.left, m_position.top, m_position.left + owner.Width(), m_position.top + owner.Height());
  if (r == rect) return TRUE;
  auto inside = [&](int x, int y) { return rect.PtInRect(CPoint(x, y)); };
  return inside(r.left, r.top) && inside(r.right, r.top) && inside(r.left, r.bottom) && inside(r.right, r.bottom);
}

void CDrawObj::SetRect(const CRect& rect) {
  m_position = rect;
  if (m_pOwner) m_pOwner->SetRectConstants(rect);
}

// --- handles ---

void CDrawObj::SetCurrentHandle(int) { m_nCurrentHandle = 0; }

void CDrawObj::StepCurrentHandle(BOOL) {}

CPoint CDrawObj::GetHandle(int n) {
  const CRect& r = m_position;
  const int cx = r.left + r.Width() / 2, cy = r.top + r.Height() / 2;
  switch (n) {
    case 2: return {cx, r.top};
    case 3: return {r.right, r.top};
    case 4: return {r.right, cy};
    case 5: return {r.right, r.bottom};
    case 6: return {cx, r.bottom};
    case 7: return {r.left, r.bottom};
    case 8: return {r.left, cy};
    default: return {r.left, r.top};
  }
}

UINT CDrawObj::GetHandleCursor(int n) {
  switch (n) {
    case 1: case 5: return HandleCursor::kNwse;
    case 3: case 7: return HandleCursor::kNesw;
    case 2: case 6: return HandleCursor::kNs;
    case 4: case 8: return HandleCursor::kWe;
    default: return HandleCursor::kNwse;
  }
}

int CDrawObj::FlipHandle(int n, int x, int y) {
  if (n < 1 || n > 8) return n;
  const CPoint h = GetHandle(n);
  switch (n) {
    case 2: case 6: return y < h.y ? 2 : 6;
    case 4: case 8: return x < h.x ? 8 : 4;
    default:
      if (x < h.x && y < h.y) return 1;
      if (x < h.x && y > h.y) return 7;
      if (x > h.x && y > h.y) return 5;
      if (x > h.x && y < h.y) return 3;
      return n;
  }
}

CRect CDrawObj::GetHandleRect(int n) {
  const CPoint p = GetHandle(n);
  const int half = kHandleSize / 2;
  return CRect(p.x - half, p.y - half, p.x - half + kHandleSize, p.y - half + kHandleSize);
}

int CDrawObj::HitTest(int x, int y, BOOL handles, int arg) {
  if (handles) {
    const int count = GetHandleCount();
    for (int n = 1; n <= count; ++n)
      if (GetHandleRect(n).PtInRect(CPoint(x, y))) return n;
    return 0;
  }
  if (!m_pOwner) return 0;
  if (!m_position.PtInRect(CPoint(x, y))) return 0;
  return m_pOwner->GetRegion(arg, x, y, &m_position) ? 1 : 0;
}

BOOL CDrawObj::Intersects(const CRect& rect) {
  CRect a = rect, b = m_position, both;
  a.NormalizeRect();
  b.NormalizeRect();
  return both.IntersectRect(a, b);
}

// --- moving ---

void CDrawObj::RepaintMove(const CRect& before, const CRect& after) {
  if (IsPrivate() || !m_pHost) return;
  CRect both;
  if (both.IntersectRect(before, after)) {
    both.UnionRect(before, after);
    m_pHost->RepaintArea(both);
  } else {
    m_pHost->RepaintArea(before);
    m_pHost->RepaintArea(after);
  }
}

void CDrawObj::MoveTo(CPoint point, BOOL force, BOOL topLeft) {
  const int w = m_position.Width(), h = m_position.Height();
  const CPoint origin = topLeft ? point : CPoint(point.x - w / 2, point.y - h / 2);
  const CRect moved(origin.x, origin.y, origin.x + w, origin.y + h);
  if (moved == m_position && !force) return;
  const CRect before = m_position;
  m_position = moved;
  RepaintMove(before, moved);
}

void CDrawObj::MoveToRect(const CRect& rect, BOOL tellOwner) {
  if (rect == m_position) return;
  if (m_pHost) m_pHost->InvalidateItem(this);
  m_position = rect;
  if (tellOwner && m_pOwner) m_pOwner->SetRectConstants(rect);
  if (m_pHost) m_pHost->InvalidateItem(this);
}

void CDrawObj::MoveHandleTo(int n, int x, int y) {
  CRect r = m_position;
  switch (n) {
    case 2: r.top = y; break;
    case 3: r.right = x; r.top = y; break;
    case 4: r.right = x; break;
    case 5: r.right = x; r.bottom = y; break;
    case 6: r.bottom = y; break;
    case 7: r.left = x; r.bottom = y; break;
    case 8: r.left = x; break;
    default: r.left = x; r.top = y; break;
  }
  MoveToRect(r, TRUE);
}
