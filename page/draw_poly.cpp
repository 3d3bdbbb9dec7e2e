// Path-shaped draw objects: a copy of the owner's path in page coordinates.
#include <algorithm>
#include <vector>

#include "model/archive.h"
#include "model/icon_object.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/rgn.h"
#include "page/draw_obj.h"

IMPLEMENT_SERIAL(CDrawPoly, CDrawObj, VERSIONABLE_SCHEMA | 2)

namespace {
constexpr int kSegmentTolerance = 20;
}

CDrawPoly::CDrawPoly(CIconObject* owner, DWORD flags, IDrawObjHost* host)
    : CDrawObj(owner, flags, host), m_pPath(owner ? owner->GetPathObject() : nullptr) {
  if (m_pPath) m_points = *m_pPath;
  RecalcBounds();
}

CDrawPoly::~CDrawPoly() { KillThread(TRUE); }

void CDrawPoly::Serialize(CArchive& ar) {
  CDrawObj::Serialize(ar);
  if (ar.IsStoring()) return;
  m_pPath = m_pOwner ? m_pOwner->GetPathObject() : nullptr;
  m_points = m_pPath ? *m_pPath : CPolyline();
}

int CDrawPoly::PenWidth(int fallback) const {
  if (!m_pOwner) return fallback;
  int style = 0, width = fallback;
  m_pOwner->GetPoint(&style, &width);
  return width;
}

void CDrawPoly::CopyPointsToOwner() {
  if (m_pPath) *m_pPath = m_points;
}

BOOL CDrawPoly::RecalcBounds() {
  if (m_points.GetPointCount() == 0) return FALSE;
  CRect bounds;
  m_points.GetBoundingRect(&bounds);
  const int grow = PenWidth(0) / 2 + 1;
  bounds.InflateRect(grow, grow);
  if (bounds == m_position) return FALSE;
  if (!IsPrivate()) Invalidate();
  m_position = bounds;
  if (!IsPrivate()) Invalidate();
  if (m_pOwner) m_pOwner->SetRectConstants(bounds);
  return TRUE;
}

void CDrawPoly::SetCurrentHandle(int n) {
  m_nCurrentHandle = (n < 0 || n > GetHandleCount()) ? 0 : n;
  const int i = m_nCurrentHandle - 1;
  if (i >= 0 && m_points.GetPointType(i) == CPolyline::kLinePoint) OnPointSelected(m_points.GetPoint(i));
}

void CDrawPoly::StepCurrentHandle(BOOL backwards) {
  const int count = GetHandleCount();
  int n = m_nCurrentHandle + (backwards ? -1 : 1);
  if (n < 0) n = count;
  if (n > count) n = 0;
  SetCurrentHandle(n);
}

CPoint CDrawPoly::GetHandle(int n) {
  if (n < 1 || n > m_points.GetPointCount()) return CDrawObj::GetHandle(n);
  return m_points.GetPoint(n - 1);
}

int CDrawPoly::TogglePointType(int n) {
  const int result = m_points.TogglePointType(n);
  if (result && m_pPath) m_pPath->TogglePointType(n);
  return result;
}

int CDrawPoly::RemovePoint(int n) {
  const int count = m_points.GetPointCount();
  if (n < 1) return 0;
  if (n > count) return count;
  m_points.RemovePoint(n - 1);
  if (m_pPath && n - 1 < m_pPath->GetPointCount()) m_pPath->RemovePoint(n - 1);
  SetCurrentHandle(n);
  return 0;
}

void CDrawPoly::InsertPoint(int at, CPoint point) {
  // An index past the end appends, as inserting before "after the last" does.
  m_points.InsertPoint(std::clamp(at, 0, m_points.GetPointCount()), point);
  if (m_pPath) m_pPath->InsertPoint(std::clamp(at, 0, m_pPath->GetPointCount()), point);
  OnPointSelected(point);
}

int CDrawPoly::FindSegment(CPoint point, CPoint* out) {
  return m_pPath ? m_pPath->FindSegment(point, out, kSegmentTolerance) : -1;
}

BOOL CDrawPoly::Draw(CDC* dc, const CRect& clip, int arg) {
  if (!m_pOwner) return FALSE;
  if (m_points.GetPointCount() > 2) {
    CRect pos = m_position, overlap;
    pos.NormalizeRect();
    if (!overlap.IntersectRect(pos, clip)) return FALSE;
  }
  // The owner draws its own path, which the copy mirrors.
  m_pOwner->Draw(dc, arg, &m_position);
  return TRUE;
}

void CDrawPoly::MoveTo(CPoint point, BOOL force, BOOL topLeft) {
  const int w = m_position.Width(), h = m_position.Height();
  const CPoint origin = topLeft ? point : CPoint(point.x - w / 2, point.y - h / 2);
  const CRect moved(origin.x, origin.y, origin.x + w, origin.y + h);
  if (moved == m_position && !force) return;
  m_points.Offset(moved.left - m_position.left, moved.top - m_position.top);
  const CRect before = m_position;
  m_position = moved;
  RepaintMove(before, moved);
}

void CDrawPoly::MoveToRect(const CRect& rect, BOOL tellOwner) {
  if (rect == m_position) return;
  m_points.Offset(rect.left - m_position.left, rect.top - m_position.top);
  if (tellOwner) CopyPointsToOwner();
  CDrawObj::MoveToRect(rect, tellOwner);
}

int CDrawPoly::HitTest(int x, int y, BOOL handles, int arg) {
  if (handles || !m_pOwner) return CDrawObj::HitTest(x, y, handles, arg);
  if (!m_position.PtInRect(CPoint(x, y))) return 0;
  CRect box;
  m_points.GetBoundingRect(&box);
  return m_pOwner->GetRegion(arg, x, y, &box) ? 1 : 0;
}

BOOL CDrawPoly::Intersects(const CRect& rect) {
  const int count = m_points.GetPointCount();
  if (count < 2) return FALSE;
  CRgn area;
  if (count == 2) {
    // A band around the single segment, as wide as the pen and a little more.
    const int half = (PenWidth(1) + 5) >> 1;
    const CPoint a = m_points.GetPoint(0), b = m_points.GetPoint(1);
    const int sx = a.x <= b.x ? half : -half;  // a lies left of b: a moves left, b right
    const int sy = a.y <= b.y ? half : -half;
    // Each end moves half the band across the segment both ways.
    const CPoint band[4] = {CPoint(a.x - sx, a.y + sy), CPoint(a.x + sx, a.y - sy), CPoint(b.x + sx, b.y - sy),
                            CPoint(b.x - sx, b.y + sy)};
    area.CreatePolygonRgn(band, 4, ALTERNATE);
  } else {
    area.CreatePolygonRgn(m_points.Points().data(), count, ALTERNATE);
  }
  CRect arg = rect;
  arg.NormalizeRect();
  return area.RectInRegion(arg);
}

void CDrawPoly::MoveHandleTo(int n, int x, int y) {
  const int i = n - 1;
  if (i < 0 || i >= m_points.GetPointCount()) return;
  const CPoint p(x, y);
  if (m_points.GetPoint(i) == p) return;
  m_points.SetPoint(i, p);
  if (m_pPath && i < m_pPath->GetPointCount()) m_pPath->SetPoint(i, p);
  RecalcBounds();
  if (Host()) Host()->InvalidateItem(this);
}

void CDrawPoly::SetRect(const CRect& rect) {
  m_points.Offset(rect.left - m_position.left, rect.top - m_position.top);
  CopyPointsToOwner();
  CDrawObj::SetRect(rect);
}
