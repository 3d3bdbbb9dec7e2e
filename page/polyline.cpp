// Path geometry: the curve rule, measuring, stepping and nearest points.
#include "page/polyline.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "model/archive.h"
#include "model/int_geometry.h"

IMPLEMENT_SERIAL(CPolyline, CObject, VERSIONABLE_SCHEMA | 2)

namespace {

constexpr int kNoNearestDistance = 64000;

}  // namespace

void CPolyline::Serialize(CArchive& ar) {
  DWORD count = ar.ReadCount();
  ar.CheckAvailable(static_cast<ULONGLONG>(count) * 8);
  std::vector<CPoint> points(count);
  for (CPoint& p : points) p = ar.ReadPoint();
  DWORD typeCount = ar.ReadCount();
  std::vector<BYTE> types = ar.ReadBytes(typeCount);
  // A damaged file may store fewer types than points: the rest are line points.
  types.resize(points.size(), kLinePoint);
  m_points = std::move(points);
  m_types = std::move(types);
}

CPoint CPolyline::GetPoint(int i) const {
  return i >= 0 && i < GetPointCount() ? m_points[static_cast<std::size_t>(i)] : CPoint();
}

BYTE CPolyline::GetPointType(int i) const {
  return i >= 0 && i < GetPointCount() ? m_types[static_cast<std::size_t>(i)] : 0;
}

void CPolyline::AddPoint(CPoint point) {
  m_points.push_back(point);
  m_types.push_back(kLinePoint);
}

void CPolyline::SetPoint(int i, CPoint point) {
  if (i >= 0 && i < GetPointCount()) m_points[static_cast<std::size_t>(i)] = point;
}

void CPolyline::InsertPoint(int i, CPoint point) {
  std::size_t at = static_cast<std::size_t>(std::clamp(i, 0, GetPointCount()));
  m_points.insert(m_points.begin() + static_cast<std::ptrdiff_t>(at), point);
  m_types.insert(m_types.begin() + static_cast<std::ptrdiff_t>(at), kLinePoint);
}

void CPolyline::RemovePoint(int i) {
  if (i < 0 || i >= GetPointCount()) return;
  m_points.erase(m_points.begin() + i);
  m_types.erase(m_types.begin() + i);
}

void CPolyline::RemoveAll() {
  m_points.clear();
  m_types.clear();
}

int CPolyline::TogglePointType(int n) {
  if (n < 2 || n >= GetPointCount()) return 0;
  BYTE& type = m_types[static_cast<std::size_t>(n - 1)];
  type = type == kCurvePoint ? kLinePoint : kCurvePoint;
  return 1;
}

void CPolyline::Offset(int dx, int dy) {
  for (CPoint& p : m_points) {
    p.x += dx;
    p.y += dy;
  }
}

void CPolyline::GetBoundingRect(CRect* out) const {
  if (!out) return;
  if (m_points.empty()) {
    *out = CRect();
    return;
  }
  CRect r(m_points[0].x, m_points[0].y, m_points[0].x, m_points[0].y);
  for (const CPoint& p : m_points) {
    r.left = std::min(r.left, p.x);
    r.top = std::min(r.top, p.y);
    r.right = std::max(r.right, p.x);
    r.bottom = std::max(r.bottom, p.y);
  }
  *out = r;
}

BOOL CPolyline::IsInRect(const CRect& rect) const {
  if (m_points.empty()) return FALSE;
  return std::all_of(m_points.begin(), m_points.end(), [&](const CPoint& p) { return rect.PtInRect(p); });
}

bool CPolyline::HasCurves() const {
  return std::find(m_types.begin(), m_types.end(), kCurvePoint) != m_types.end();
}

bool CPolyline::CurveStartsAt(int i) const {
  return i >= 1 && i + 2 < GetPointCount() && m_types[static_cast<std::size_t>(i)] == kCurvePoint &&
         m_types[static_cast<std::size_t>(i + 1)] == kCurvePoint;
}

bool CPolyline::CurveFollowsSegment(int i) const { return CurveStartsAt(i + 1); }

int CPolyline::IntegerDistance(CPoint a, CPoint b) { return PointDistance(a.x, a.y, b.x, b.y); }

CPoint CPolyline::BezierPoint(CPoint p0, CPoint p1, CPoint p2, CPoint p3, int k, int n) {
  double t = n == 0 ? 1.0 : static_cast<double>(k) / n;
  double s = 1.0 - t;
  auto axis = [&](double a, double b, double c, double d) {
    double v = s * s * s * a + 3 * s * s * t * b + 3 * s * t * t * c + t * t * t * d;
    return static_cast<LONG>(std::clamp(v, -2147483648.0, 2147483647.0));
  };
  return CPoint(axis(p0.x, p1.x, p2.x, p3.x), axis(p0.y, p1.y, p2.y, p3.y));
}

CPoint CPolyline::NearestOnSegment(CPoint a, CPoint b, CPoint p) {
  // Products of 32-bit coordinates overflow 64 bits: they are taken in floating point.
  double dx = static_cast<double>(b.x) - a.x;
  double dy = static_cast<double>(b.y) - a.y;
  double lengthSquared = dx * dx + dy * dy;
  if (lengthSquared == 0) return a;
  double dot = (static_cast<double>(p.x) - a.x) * dx + (static_cast<double>(p.y) - a.y) * dy;
  float h = static_cast<float>(dot) / static_cast<float>(lengthSquared);
  if (h > 0 && h < 1) {
    return CPoint(static_cast<LONG>(a.x + dx * h), static_cast<LONG>(a.y + dy * h));
  }
  return h >= 1 ? b : a;
}

void CPolyline::Flatten(const CPolyline& source, int steps) {
  if (!source.HasCurves()) {
    if (&source != this) *this = source;
    return;
  }
  const CPolyline src = source;  // source may be this path
  RemoveAll();
  auto addUnlessRepeated = [this](CPoint p) {
    if (m_points.empty() || !(m_points.back() == p)) AddPoint(p);
  };
  AddPoint(src.m_points[0]);
  int count = src.GetPointCount();
  for (int i = 1; i < count;) {
    if (src.CurveStartsAt(i)) {
      for (int k = 0; k <= steps; ++k)
        addUnlessRepeated(BezierPoint(src.m_points[i - 1], src.m_points[i], src.m_points[i + 1], src.m_points[i + 2], k, steps));
      i += 3;
    } else {
      addUnlessRepeated(src.m_points[static_cast<std::size_t>(i)]);
      i += 1;
    }
  }
}

std::vector<CPoint> CPolyline::FlatOutline() const {
  if (!HasCurves()) return m_points;
  std::vector<CPoint> out;
  if (m_points.empty()) return out;
  out.push_back(m_points[0]);
  int count = GetPointCount();
  for (int i = 1; i < count;) {
    if (CurveStartsAt(i)) {
      for (int k = 0; k <= kDrawSteps; ++k)
        out.push_back(BezierPoint(m_points[i - 1], m_points[i], m_points[i + 1], m_points[i + 2], k, kDrawSteps));
      i += 3;
    } else {
      out.push_back(m_points[static_cast<std::size_t>(i)]);
      i += 1;
    }
  }
  return out;
}

int CPolyline::CurveLength(int start) const {
  const CPoint* p = &m_points[static_cast<std::size_t>(start)];
  int length = 0;
  CPoint previous = BezierPoint(p[0], p[1], p[2], p[3], 0, kMeasureSteps);
  for (int k = 1; k <= kMeasureSteps; ++k) {
    CPoint next = BezierPoint(p[0], p[1], p[2], p[3], k, kMeasureSteps);
    length += IntegerDistance(previous, next);
    previous = next;
  }
  return length;
}

int CPolyline::GetPathLength(int n) const {
  int count = GetPointCount();
  if (n < 0 || n > count) n = count;
  long long length = 0;
  for (int i = 0; i < n - 1;) {
    if (CurveFollowsSegment(i)) {
      length += CurveLength(i);
      i += 3;
    } else {
      length += IntegerDistance(m_points[static_cast<std::size_t>(i)], m_points[static_cast<std::size_t>(i + 1)]);
      i += 1;
    }
  }
  return static_cast<int>(std::min<long long>(length, std::numeric_limits<int>::max()));
}

int CPolyline::GetPointOnPath(int& distance, CPoint* out, int& index, int& curveStep, int& curveSteps,
                              int stepLength) const {
  // A step of 0 would never move on; one pixel is the least step there is.
  stepLength = std::max(stepLength, 1);
  int count = GetPointCount();
  long long s = 0;
  for (int i = std::max(index, 0);;) {
    if (i >= count - 1) {
      if (out && count > 0) *out = m_points.back();
      return 0;
    }
    if (CurveFollowsSegment(i)) {
      if (curveStep == 0) curveSteps = CurveLength(i) / stepLength;
      const CPoint* p = &m_points[static_cast<std::size_t>(i)];
      if (curveSteps <= 0) {
        // A curve shorter than one step: its end point.
        if (out) *out = p[3];
        curveStep = 0;
        distance = 0;
        index = i + 3;
        return 1;
      }
      if (out) *out = BezierPoint(p[0], p[1], p[2], p[3], curveStep, curveSteps);
      if (++curveStep >= curveSteps) {
        curveStep = 0;
        distance = 0;
        index = i + 3;
      }
      return 1;
    }
    CPoint a = m_points[static_cast<std::size_t>(i)];
    CPoint b = m_points[static_cast<std::size_t>(i + 1)];
    int length = IntegerDistance(a, b);
    if (length == 0) {
      ++i;
      continue;
    }
    if (distance < s + length) {
      long long u = distance - s;
      if (u < 2) u = 1;
      if (out) {
        *out = u > length ? b
                          : CPoint(static_cast<LONG>(((length - u) * a.x + u * b.x) / length),
                                   static_cast<LONG>(((length - u) * a.y + u * b.y) / length));
      }
      distance = static_cast<int>(std::min<long long>(u + stepLength, std::numeric_limits<int>::max()));
      index = i;
      return 1;
    }
    if (distance == length) {
      if (out) *out = b;
      distance = 0;
      index = i + 1;
      return 1;
    }
    s += length;
    ++i;
  }
}

int CPolyline::FindSegment(CPoint point, CPoint* out, int tolerance) const {
  for (int i = 0; i + 1 < GetPointCount(); ++i) {
    CPoint nearest = NearestOnSegment(m_points[static_cast<std::size_t>(i)], m_points[static_cast<std::size_t>(i + 1)], point);
    if (out) *out = nearest;
    if (IntegerDistance(nearest, point) <= tolerance) return i;
  }
  return -1;
}

void CPolyline::FindNearestPointOnPath(CPoint& point, CRect& rect, int& index, int& distance) const {
  int count = GetPointCount();
  if (count < 2) return;
  CPoint nearest;
  if (index == -1) {
    // Every segment is measured against the point as given; the winner's point is the result.
    int best = kNoNearestDistance;
    for (int i = 0; i + 1 < count; ++i) {
      CPoint q = NearestOnSegment(m_points[static_cast<std::size_t>(i)], m_points[static_cast<std::size_t>(i + 1)], point);
      int d = IntegerDistance(q, point);
      if (d < best) {
        best = d;
        index = i;
        nearest = q;
      }
    }
    if (index == -1) return;
    point = nearest;
  } else {
    if (index < 0 || index > count - 2) return;
    CPoint a = m_points[static_cast<std::size_t>(index)];
    CPoint b = m_points[static_cast<std::size_t>(index + 1)];
    nearest = NearestOnSegment(a, b, point);
    point = nearest;
    distance = IntegerDistance(a, nearest);
    if (index > 0 && nearest == a) {
      --index;
      distance = IntegerDistance(m_points[static_cast<std::size_t>(index)], a);
    } else if (index < count - 2 && nearest == b) {
      ++index;
      distance = 0;
    }
  }
  LONG w = rect.Width(), h = rect.Height();
  rect.left = nearest.x - w / 2;
  rect.top = nearest.y - h / 2;
  rect.right = rect.left + w;
  rect.bottom = rect.top + h;
}
