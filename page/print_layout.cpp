#include "page/print_layout.h"

#include <algorithm>
#include <limits>

namespace {

LONG ToPixels(LONG tenths, int dpi) {
  const long long pixels = static_cast<long long>(tenths) * dpi / 254;
  return static_cast<LONG>(
      std::clamp<long long>(pixels, std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::max()));
}

}  // namespace

CRect PrintMarginsInPixels(const CRect& m, int dpiX, int dpiY) {
  return CRect(ToPixels(m.left, dpiX), ToPixels(m.top, dpiY), ToPixels(m.right, dpiX), ToPixels(m.bottom, dpiY));
}

CRect PrintRectangle(const CRect& printable, const CRect& margins, DWORD mode, int scale) {
  CRect r = printable;
  if (mode & PrintMode::kMargins) {
    return CRect(r.left + margins.left, r.top + margins.top, r.right - margins.right, r.bottom - margins.bottom);
  }
  const long long width = r.Width(), height = r.Height();
  if (mode & PrintMode::kScaled) {
    r.left += margins.left;
    r.top += margins.top;
    // Scaled from the inset width and height, not from the right and bottom edges.
    const long long w = r.right - margins.right - r.left, h = r.bottom - margins.bottom - r.top;
    if (width < height) {
      r.right = static_cast<LONG>(r.left + w);
      r.bottom = static_cast<LONG>(w * 400 / 640 + r.top);
    } else {
      r.bottom = static_cast<LONG>(r.top + h);
      r.right = static_cast<LONG>(h * 640 / 400 + r.left);
    }
    return r;
  }
  if (mode & PrintMode::kPercentage) {
    r.left += margins.left;
    r.top += margins.top;
    if (width < height) {
      const long long w = (width - margins.right - r.left) * scale / 100;
      r.right = static_cast<LONG>(r.left + w);
      r.bottom = static_cast<LONG>(w * 480 / 600 + r.top);
    } else {
      const long long h = (height - margins.bottom - r.top) * scale / 100;
      r.bottom = static_cast<LONG>(r.top + h);
      r.right = static_cast<LONG>(h * 640 / 400 + r.left);
    }
  }
  return r;
}
