// Rectangle-shaped draw objects: plain, round, elliptic and line shapes, and the OLE stand-in.
#include <algorithm>

#include "model/archive.h"
#include "model/icon_object.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/rgn.h"
#include "page/draw_obj.h"

IMPLEMENT_SERIAL(CDrawRect, CDrawObj, VERSIONABLE_SCHEMA | 2)
IMPLEMENT_SERIAL(CDrawOleObj, CDrawRect, VERSIONABLE_SCHEMA | 2)

namespace {

CDrawRect::Shape ShapeOf(DWORD flags) {
  if (flags & DrawFlag::kPathShape) return CDrawRect::line;
  if (flags & DrawFlag::kEllipse) return CDrawRect::ellipse;
  if (flags & DrawFlag::kRoundRect) return CDrawRect::roundRectangle;
  return CDrawRect::rectangle;
}

CRect Normalized(CRect r) {
  r.NormalizeRect();
  return r;
}

}  // namespace

CDrawRect::CDrawRect(CIconObject* owner, DWORD flags, IDrawObjHost* host)
    : CDrawObj(owner, flags, host), m_nShape(ShapeOf(flags)), m_pRoundness(owner ? owner->GetShapeData() : nullptr) {}

CDrawRect::~CDrawRect() { KillThread(TRUE); }

void CDrawRect::Serialize(CArchive& ar) {
  CDrawObj::Serialize(ar);
  if (ar.IsStoring()) {
    ar.WriteLong(m_nShape);
    return;
  }
  const LONG shape = ar.ReadLong();
  if (shape < rectangle || shape > line) ar.Fail(CArchiveException::genericException);
  m_nShape = static_cast<Shape>(shape);
  m_pRoundness = m_pOwner ? m_pOwner->GetShapeData() : nullptr;
}

CSize CDrawRect::GetRoundness() const { return m_pRoundness ? *m_pRoundness : CSize(0, 0); }

int CDrawRect::GetHandleCount() {
  if (m_nShape == line) return 2;
  return m_nShape == roundRectangle ? 9 : 8;
}

void CDrawRect::SetCurrentHandle(int n) { m_nCurrentHandle = (n < 0 || n > GetHandleCount()) ? 0 : n; }

void CDrawRect::StepCurrentHandle(BOOL backwards) {
  const int count = GetHandleCount();
  int n = m_nCurrentHandle + (backwards ? -1 : 1);
  if (n < 0) n = count;
  if (n > count) n = 0;
  m_nCurrentHandle = n;
}

CPoint CDrawRect::GetHandle(int n) {
  if (m_nShape == line && n == 2) n = 5;
  if (m_nShape == roundRectangle && n == 9) {
    const CRect r = Normalized(m_position);
    const CSize round = GetRoundness();
    return {r.right - round.cx / 2, r.bottom - round.cy / 2};
  }
  return CDrawObj::GetHandle(n);
}

UINT CDrawRect::GetHandleCursor(int n) {
  if (m_nShape == roundRectangle && n == 9) return HandleCursor::kTrack;
  return CDrawObj::GetHandleCursor(n);
}

int CDrawRect::FlipHandle(int n, int x, int y) {
  if (m_nShape == line && n == 2) n = 5;
  if (m_nShape == roundRectangle && n == 9) return 9;
  return CDrawObj::FlipHandle(n, x, y);
}

BOOL CDrawRect::Draw(CDC* dc, const CRect& clip, int arg) {
  CRect overlap;
  if (!m_pOwner || !overlap.IntersectRect(Normalized(m_position), clip)) return FALSE;
  m_pOwner->Draw(dc, arg, &m_position);
  return TRUE;
}

BOOL CDrawRect::Intersects(const CRect& rect) {
  const CRect arg = Normalized(rect), pos = Normalized(m_position);
  CRect overlap;
  if (!overlap.IntersectRect(arg, pos)) return FALSE;
  CRgn shape;
  switch (m_nShape) {
    case rectangle: return TRUE;
    case line: return FALSE;
    case roundRectangle: {
      const CSize round = GetRoundness();
      shape.CreateRoundRectRgn(pos.left, pos.top, pos.right, pos.bottom, round.cx, round.cy);
      break;
    }
    case ellipse: shape.CreateEllipticRgnIndirect(pos); break;
  }
  // Whether the argument covers any part of the shape.
  return shape.RectInRegion(arg);
}

void CDrawRect::MoveHandleTo(int n, int x, int y) {
  if (m_nShape == roundRectangle && n == 9) {
    const CRect r = Normalized(m_position);
    x = x > r.right - 1 ? r.right - 1 : std::max<int>(x, r.left + r.Width() / 2);
    y = y > r.bottom - 1 ? r.bottom - 1 : std::max<int>(y, r.top + r.Height() / 2);
    if (m_pRoundness) *m_pRoundness = CSize(2 * (r.right - x), 2 * (r.bottom - y));
    if (Host()) Host()->InvalidateItem(this);
    return;
  }
  CDrawObj::MoveHandleTo(n, x, y);
}

CDrawOleObj::CDrawOleObj(CIconObject* owner, DWORD flags, IDrawObjHost* host) : CDrawRect(owner, flags, host) {}

CDrawOleObj::~CDrawOleObj() { KillThread(TRUE); }

BOOL CDrawOleObj::Draw(CDC*, const CRect&, int) { return FALSE; }  // no client item to draw
