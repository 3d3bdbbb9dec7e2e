// Category 4: the new image comes in from one side and pushes the old one out.
#include "page/transitions.h"

namespace transitions {
namespace {

// Moves the window's pixels of the area by (dx, dy), inside the area.
void Scroll(const TransitionInput& in, int dx, int dy) {
  const CRect& a = in.area;
  CRect dst(a.left + dx, a.top + dy, a.right + dx, a.bottom + dy);
  CopyBlock(in, in.target, dst, a.TopLeft());
}

}  // namespace

bool Push(const TransitionInput& in, int variant) {
  if (variant < 0 || variant > 3) return true;
  const CRect& a = in.area;
  const int w = a.Width(), h = a.Height(), b = in.block;
  if (w <= 0 || h <= 0) return true;
  if (b <= 0 || w < b || h < b) {
    CopyAll(in);
    return true;
  }
  const auto wait = [&] { return in.steps->WaitStep(in.delay); };
  switch (variant) {
    case 0:
      for (int x = w - b; x >= 0; x -= b) {
        Scroll(in, b, 0);
        CopyBlock(in, in.source, CRect(a.left, a.top, a.left + w - x, a.bottom), CPoint(a.left + x, a.top));
        if (wait()) return false;
      }
      break;
    case 1:
      for (int x = b; x <= w; x += b) {
        Scroll(in, -b, 0);
        CopyBlock(in, in.source, CRect(a.right - x, a.top, a.right, a.bottom), a.TopLeft());
        if (wait()) return false;
      }
      break;
    case 2:
      for (int y = h - b; y >= 0; y -= b) {
        Scroll(in, 0, b);
        CopyBlock(in, in.source, CRect(a.left, a.top, a.right, a.top + h - y), CPoint(a.left, a.top + y));
        if (wait()) return false;
      }
      break;
    default:
      for (int y = b; y <= h; y += b) {
        Scroll(in, 0, -b);
        CopyBlock(in, in.source, CRect(a.left, a.bottom - y, a.right, a.bottom), a.TopLeft());
        if (wait()) return false;
      }
      break;
  }
  const int size = variant < 2 ? w : h;
  if (size % b != 0) CopyAll(in);
  return true;
}

}  // namespace transitions
