// Points, sizes and rectangles in integer page coordinates.
#pragma once

#include <algorithm>

#include "platform/base/win_types.h"

struct CPoint {
  LONG x = 0;
  LONG y = 0;
  constexpr CPoint() = default;
  constexpr CPoint(LONG px, LONG py) : x(px), y(py) {}
  constexpr bool operator==(const CPoint&) const = default;
  constexpr CPoint operator+(const CPoint& o) const { return {x + o.x, y + o.y}; }
  constexpr CPoint operator-(const CPoint& o) const { return {x - o.x, y - o.y}; }
};

struct CSize {
  LONG cx = 0;
  LONG cy = 0;
  constexpr CSize() = default;
  constexpr CSize(LONG w, LONG h) : cx(w), cy(h) {}
  constexpr bool operator==(const CSize&) const = default;
};

// A rectangle whose right and bottom edges lie outside it.
struct CRect {
  LONG left = 0;
  LONG top = 0;
  LONG right = 0;
  LONG bottom = 0;

  constexpr CRect() = default;
  constexpr CRect(LONG l, LONG t, LONG r, LONG b) : left(l), top(t), right(r), bottom(b) {}
  constexpr CRect(CPoint topLeft, CSize size)
      : left(topLeft.x), top(topLeft.y), right(topLeft.x + size.cx), bottom(topLeft.y + size.cy) {}
  constexpr bool operator==(const CRect&) const = default;

  constexpr LONG Width() const { return right - left; }
  constexpr LONG Height() const { return bottom - top; }
  constexpr CSize Size() const { return {Width(), Height()}; }
  constexpr CPoint TopLeft() const { return {left, top}; }
  constexpr CPoint BottomRight() const { return {right, bottom}; }
  constexpr CPoint CenterPoint() const { return {(left + right) / 2, (top + bottom) / 2}; }

  // Empty when it has no area (width or height zero or negative).
  constexpr bool IsRectEmpty() const { return right <= left || bottom <= top; }
  constexpr bool IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  constexpr bool PtInRect(CPoint p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }

  constexpr void SetRect(LONG l, LONG t, LONG r, LONG b) { left = l; top = t; right = r; bottom = b; }
  constexpr void SetRectEmpty() { *this = CRect(); }
  constexpr void OffsetRect(LONG dx, LONG dy) { left += dx; right += dx; top += dy; bottom += dy; }
  constexpr void InflateRect(LONG dx, LONG dy) { left -= dx; right += dx; top -= dy; bottom += dy; }
  constexpr void NormalizeRect() {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
  }

  // The overlap of a and b; empty (all zero) when they do not overlap.
  constexpr bool IntersectRect(const CRect& a, const CRect& b) {
    CRect r(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom));
    if (r.IsRectEmpty()) {
      SetRectEmpty();
      return false;
    }
    *this = r;
    return true;
  }
  // The smallest rectangle holding both; an empty one does not count.
  constexpr bool UnionRect(const CRect& a, const CRect& b) {
    if (a.IsRectEmpty()) { *this = b.IsRectEmpty() ? CRect() : b; return !IsRectEmpty(); }
    if (b.IsRectEmpty()) { *this = a; return true; }
    *this = CRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom));
    return true;
  }
};
