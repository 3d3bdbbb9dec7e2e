// Integer geometry: containment, roots, distances and bounding boxes.
#include "model/int_geometry.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

BOOL RectInRect(const CRect& outer, const CRect& inner) {
  if (outer == inner) return TRUE;
  // The corners themselves, as the point test sees them: right and bottom are outside.
  const CPoint corners[4] = {{inner.left, inner.top},
                             {inner.right, inner.top},
                             {inner.left, inner.bottom},
                             {inner.right, inner.bottom}};
  for (const CPoint& p : corners)
    if (!outer.PtInRect(p)) return FALSE;
  return TRUE;
}

int IntSqrt(long long n) {
  long long low = 0, high = 32768, mid = 0;
  while (low <= high) {
    mid = (low + high) / 2;
    const long long square = mid * mid;
    if (square == n) return static_cast<int>(mid);
    if (square < n)
      low = mid + 1;
    else
      high = mid - 1;
  }
  return static_cast<int>(mid);
}

int PointDistance(int x1, int y1, int x2, int y2) {
  // The root never exceeds 32768, so larger differences are capped before
  // squaring: two differences of 2^32 would overflow 64 bits.
  constexpr long long kCap = 1 << 17;
  const long long dx = std::min(std::llabs(static_cast<long long>(x1) - x2), kCap);
  const long long dy = std::min(std::llabs(static_cast<long long>(y1) - y2), kCap);
  return IntSqrt(dx * dx + dy * dy);
}

BOOL MovePointTowards(int distance, CPoint from, CPoint to, CPoint* result) {
  const long long d = PointDistance(from.x, from.y, to.x, to.y);
  // A line of length 0 has nowhere to go (and nothing to divide by).
  if (d < distance || d == 0) {
    *result = to;
    return FALSE;
  }
  const auto along = [&](LONG a, LONG b) {
    return static_cast<LONG>(((d - distance) * a + static_cast<long long>(distance) * b) / d);
  };
  *result = CPoint(along(from.x, to.x), along(from.y, to.y));
  return TRUE;
}

CRect PointsBoundingRect(const CPoint* points, int count) {
  if (!points || count < 2) return CRect();
  CRect r(points[0].x, points[0].y, points[0].x, points[0].y);
  for (int i = 1; i < count; ++i) {
    r.left = std::min(r.left, points[i].x);
    r.top = std::min(r.top, points[i].y);
    r.right = std::max(r.right, points[i].x);
    r.bottom = std::max(r.bottom, points[i].y);
  }
  return r;
}
