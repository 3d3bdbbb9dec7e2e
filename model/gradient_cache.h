// CGradientCache: a concentric shaded fill drawn once into a bitmap and copied while its size, colours and mode stay.
#pragma once

#include <mutex>

#include "platform/gdi/bitmap.h"
#include "platform/base/geometry.h"
#include "platform/base/win_types.h"

class CDC;

// Concentric fills (rectangles, ellipses) paint every pixel of their
// rectangle up to 64 times over; a page that composes its shapes for every
// animation step would redraw them all each time. The cache draws the fill
// once and copies it. Band fills, contexts that map or stretch, monochrome
// targets and rectangles too small or too large draw directly, exactly as
// DrawGradientRect does. A copied cache starts empty.
class CGradientCache {
 public:
  CGradientCache() = default;
  CGradientCache(const CGradientCache&) {}
  CGradientCache& operator=(const CGradientCache&);

  // DrawGradientRect's fill, the same pixels, under the context's clipping.
  void Draw(CDC* dc, const CRect& rect, COLORREF start, COLORREF end, UINT mode);

 private:
  bool Matches(const CSize& size, COLORREF start, COLORREF end, UINT mode) const;

  std::mutex m_mutex;  // a page may be composed off the interface thread
  bool m_valid = false;
  CSize m_size;
  COLORREF m_start = 0;
  COLORREF m_end = 0;
  UINT m_mode = 0;
  CBitmap m_fill;
};
