#include "platform/gdi/rgn.h"

#include <QRegion>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/gdi/gdi_defs.h"

namespace {

LONG Limit(LONG v) { return std::clamp(v, -CRgn::kCoordinateLimit, CRgn::kCoordinateLimit); }

QRect ToQRect(LONG l, LONG t, LONG r, LONG b) {
  l = Limit(l), t = Limit(t), r = Limit(r), b = Limit(b);
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  return QRect(QPoint(l, t), QPoint(r - 1, b - 1));
}

// A rectangle whose corners are quarter ellipses of radii rx, ry, built row by
// row: a pixel is inside when its centre is. rx = width/2, ry = height/2 gives
// a full ellipse.
QRegion RoundedRows(const QRect& box, double rx, double ry) {
  std::vector<QRect> rows;
  if (box.isEmpty()) return QRegion();
  rows.reserve(static_cast<std::size_t>(box.height()));
  const double left = box.left(), right = box.right() + 1.0;
  const double top = box.top(), bottom = box.bottom() + 1.0;
  for (int y = box.top(); y <= box.bottom(); ++y) {
    const double cy = y + 0.5;
    double inset = 0.0;
    if (ry > 0.0 && rx > 0.0) {
      double dy = 0.0;
      if (cy < top + ry) dy = (top + ry - cy) / ry;
      else if (cy > bottom - ry) dy = (cy - (bottom - ry)) / ry;
      if (dy >= 1.0) continue;
      inset = rx - rx * std::sqrt(1.0 - dy * dy);
    }
    // Pixels x with left + inset <= x + 0.5 < right - inset.
    const int x0 = static_cast<int>(std::ceil(left + inset - 0.5));
    const int x1 = static_cast<int>(std::ceil(right - inset - 0.5));
    if (x1 <= x0) continue;
    // Rows of equal span join into one band, as regions keep them.
    if (!rows.empty() && rows.back().left() == x0 && rows.back().right() == x1 - 1 && rows.back().bottom() == y - 1)
      rows.back().setBottom(y);
    else
      rows.emplace_back(x0, y, x1 - x0, 1);
  }
  QRegion region;
  region.setRects(rows.data(), static_cast<int>(rows.size()));
  return region;
}

// A polygon's pixels, row by row: a pixel is inside when its centre is, by
// the fill rule. Rows with the same spans form one band.
QRegion PolygonRows(const std::vector<QPoint>& points, bool winding) {
  int top = points[0].y(), bottom = points[0].y();
  for (const QPoint& p : points) {
    top = std::min(top, p.y());
    bottom = std::max(bottom, p.y());
  }
  std::vector<QRect> rects;
  std::vector<std::pair<int, int>> band, spans;
  int bandTop = top;
  auto flush = [&](int y) {
    for (const auto& [x0, x1] : band) rects.emplace_back(x0, bandTop, x1 - x0, y - bandTop);
    band.clear();
    bandTop = y;
  };
  std::vector<std::pair<double, int>> crossings;
  for (int y = top; y < bottom; ++y) {
    const double cy = y + 0.5;
    crossings.clear();
    for (std::size_t i = 0; i < points.size(); ++i) {
      const QPoint& a = points[i];
      const QPoint& b = points[(i + 1) % points.size()];
      if (a.y() == b.y()) continue;
      if (cy < std::min(a.y(), b.y()) || cy >= std::max(a.y(), b.y())) continue;
      const double x = a.x() + (cy - a.y()) * static_cast<double>(b.x() - a.x()) / (b.y() - a.y());
      crossings.emplace_back(x, b.y() > a.y() ? 1 : -1);
    }
    std::sort(crossings.begin(), crossings.end());
    spans.clear();
    int count = 0;
    for (std::size_t i = 0; i + 1 < crossings.size(); ++i) {
      count = winding ? count + crossings[i].second : count ^ 1;
      if (count == 0) continue;
      // Pixels whose centre lies in [x0, x1).
      const int x0 = static_cast<int>(std::ceil(crossings[i].first - 0.5));
      const int x1 = static_cast<int>(std::ceil(crossings[i + 1].first - 0.5));
      if (x1 <= x0) continue;
      if (!spans.empty() && spans.back().second >= x0) spans.back().second = std::max(spans.back().second, x1);
      else spans.emplace_back(x0, x1);
    }
    if (spans != band) {
      flush(y);
      band = spans;
    }
  }
  flush(bottom);
  QRegion region;
  region.setRects(rects.data(), static_cast<int>(rects.size()));
  return region;
}

}  // namespace

CRgn::CRgn() : m_region(std::make_unique<QRegion>()) {}
CRgn::~CRgn() = default;

void CRgn::SetArea(const QRegion& area) {
  *m_region = area;
  SetCreated(true);
}

namespace {

// The union of many rectangles, joined in halves so that a long list costs
// about n log n rather than n squared.
QRegion UniteAll(std::span<const QRect> rects) {
  if (rects.empty()) return QRegion();
  if (rects.size() == 1) return QRegion(rects.front());
  const std::size_t half = rects.size() / 2;
  return UniteAll(rects.first(half)).united(UniteAll(rects.subspan(half)));
}

}  // namespace

BOOL CRgn::CreateFromRects(std::span<const CRect> rects) {
  std::vector<QRect> parts;
  parts.reserve(rects.size());
  for (const CRect& r : rects) {
    if (r.right > r.left && r.bottom > r.top) parts.push_back(ToQRect(r.left, r.top, r.right, r.bottom));
  }
  SetArea(UniteAll(parts));
  return TRUE;
}

std::vector<CRect> CRgn::GetRects() const {
  std::vector<CRect> out;
  for (const QRect& r : *m_region) out.emplace_back(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
  return out;
}

BOOL CRgn::CreateRectRgn(LONG left, LONG top, LONG right, LONG bottom) {
  SetArea(QRegion(ToQRect(left, top, right, bottom)));
  return TRUE;
}

void CRgn::SetRectRgn(LONG left, LONG top, LONG right, LONG bottom) { CreateRectRgn(left, top, right, bottom); }

BOOL CRgn::CreateEllipticRgn(LONG left, LONG top, LONG right, LONG bottom) {
  const QRect box = ToQRect(left, top, right, bottom);
  SetArea(RoundedRows(box, (box.width()) / 2.0, (box.height()) / 2.0));
  return TRUE;
}

BOOL CRgn::CreateRoundRectRgn(LONG left, LONG top, LONG right, LONG bottom, LONG cornerWidth, LONG cornerHeight) {
  const QRect box = ToQRect(left, top, right, bottom);
  const double rx = std::min<double>(std::abs(static_cast<double>(cornerWidth)), box.width()) / 2.0;
  const double ry = std::min<double>(std::abs(static_cast<double>(cornerHeight)), box.height()) / 2.0;
  SetArea(RoundedRows(box, rx, ry));
  return TRUE;
}

BOOL CRgn::CreatePolygonRgn(const CPoint* points, int count, int fillMode) {
  if (!points || count < 3) {
    SetArea(QRegion());
    return TRUE;
  }
  std::vector<QPoint> polygon;
  polygon.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) polygon.emplace_back(Limit(points[i].x), Limit(points[i].y));
  SetArea(PolygonRows(polygon, fillMode == WINDING));
  return TRUE;
}

BOOL CRgn::DeleteObject() {
  *m_region = QRegion();
  return CGdiObject::DeleteObject();
}

int CRgn::TypeOf(const QRegion& area) {
  if (area.isEmpty()) return NULLREGION;
  return area.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

int CRgn::CombineRgn(const CRgn* a, const CRgn* b, int mode) {
  if (!a || !a->IsCreated()) return RGN_ERROR;
  if (mode == RGN_COPY) {
    SetArea(a->Area());
    return TypeOf(*m_region);
  }
  if (!b || !b->IsCreated()) return RGN_ERROR;
  QRegion result;
  switch (mode) {
    case RGN_AND: result = a->Area().intersected(b->Area()); break;
    case RGN_OR: result = a->Area().united(b->Area()); break;
    case RGN_XOR: result = a->Area().xored(b->Area()); break;
    case RGN_DIFF: result = a->Area().subtracted(b->Area()); break;
    default: return RGN_ERROR;
  }
  SetArea(result);
  return TypeOf(*m_region);
}

int CRgn::OffsetRgn(LONG dx, LONG dy) {
  if (!IsCreated()) return RGN_ERROR;
  m_region->translate(Limit(dx), Limit(dy));
  return TypeOf(*m_region);
}

BOOL CRgn::PtInRegion(LONG x, LONG y) const {
  return IsCreated() && m_region->contains(QPoint(x, y)) ? TRUE : FALSE;
}

BOOL CRgn::RectInRegion(const CRect& rect) const {
  CRect r = rect;
  r.NormalizeRect();
  if (!IsCreated() || r.IsRectEmpty()) return FALSE;
  return m_region->intersects(ToQRect(r.left, r.top, r.right, r.bottom)) ? TRUE : FALSE;
}

BOOL CRgn::EqualRgn(const CRgn* other) const {
  return other && IsCreated() && other->IsCreated() && *m_region == other->Area() ? TRUE : FALSE;
}

int CRgn::GetRgnBox(CRect* box) const {
  if (!IsCreated()) return RGN_ERROR;
  const QRect r = m_region->boundingRect();
  if (box) *box = m_region->isEmpty() ? CRect() : CRect(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
  return TypeOf(*m_region);
}
