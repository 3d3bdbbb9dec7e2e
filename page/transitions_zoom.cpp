// Category 5: the new image zoomed out of the centre or a corner, or the old one shrunk into the centre.
#include <algorithm>

#include "page/transitions.h"

namespace transitions {
namespace {

// Zooms 0-4: the new image stretched into a rectangle that grows from a
// segment; grow moves its sides by one block.
template <class Grow>
bool ZoomOut(const TransitionInput& in, CRect r, int limit, Grow grow) {
  AreaCopy picture(in, in.source);
  if (!picture.IsValid()) return true;
  for (int i = 0; i < limit; i += in.block) {
    grow(r);
    StretchInto(in, picture.Dc(), r);
    if (in.steps->WaitStep(in.delay)) return false;
  }
  // The last rectangle overshoots the area unless its sides were whole
  // blocks; what it shows then is not the new image.
  if (r != in.area) CopyAll(in);
  return true;
}

bool ShrinkOld(const TransitionInput& in) {
  AreaCopy old(in, in.target);
  if (!old.IsValid()) return true;
  const int b = in.block;
  CRect r = in.area;
  const int limit = std::min(r.Width(), r.Height()) / 2;
  for (int i = 0; i < limit; i += b) {
    CopyPart(in, CRect(r.left, r.top, r.left + b, r.bottom));
    CopyPart(in, CRect(r.right - b, r.top, r.right, r.bottom));
    CopyPart(in, CRect(r.left, r.top, r.right, r.top + b));
    CopyPart(in, CRect(r.left, r.bottom - b, r.right, r.bottom));
    r.InflateRect(-b, -b);
    if (!r.IsRectEmpty()) StretchInto(in, old.Dc(), r);
    if (in.steps->WaitStep(in.delay)) return false;
  }
  // A middle strip of the longer side can be left holding the old image.
  if (!r.IsRectEmpty()) CopyAll(in);
  return true;
}

}  // namespace

bool Zoom(const TransitionInput& in, int variant) {
  if (variant < 0 || variant > 5) return true;
  const CRect& a = in.area;
  const int w = a.Width(), h = a.Height(), b = in.block;
  if (w <= 0 || h <= 0) return true;
  if (b <= 0 || w < b || h < b) {
    CopyAll(in);
    return true;
  }
  const bool wide = h < w;
  const int shorter = std::min(w, h);
  switch (variant) {
    case 0: {
      const CRect start = wide ? CRect(a.left + h / 2, a.top + h / 2, a.right - h / 2, a.top + h / 2)
                               : CRect(a.left + w / 2, a.top + w / 2, a.left + w / 2, a.bottom - w / 2);
      return ZoomOut(in, start, shorter / 2, [b](CRect& r) { r.InflateRect(b, b); });
    }
    case 1: {
      const CRect start = wide ? CRect(a.left, a.top, a.left + w - h, a.top) : CRect(a.left, a.top, a.left, a.bottom - w);
      return ZoomOut(in, start, shorter, [b](CRect& r) { r.right += b, r.bottom += b; });
    }
    case 2: {
      const CRect start =
          wide ? CRect(a.right - (w - h), a.top, a.right, a.top) : CRect(a.right, a.top, a.right, a.bottom - w);
      return ZoomOut(in, start, shorter, [b](CRect& r) { r.left -= b, r.bottom += b; });
    }
    case 3: {
      const CRect start =
          wide ? CRect(a.left, a.bottom, a.left + w - h, a.bottom) : CRect(a.left, a.top + w, a.left, a.bottom);
      return ZoomOut(in, start, shorter, [b](CRect& r) { r.right += b, r.top -= b; });
    }
    case 4: {
      const CRect start =
          wide ? CRect(a.right - (w - h), a.bottom, a.right, a.bottom) : CRect(a.right, a.top + w, a.right, a.bottom);
      return ZoomOut(in, start, shorter, [b](CRect& r) { r.left -= b, r.top -= b; });
    }
    default:
      return ShrinkOld(in);
  }
}

}  // namespace transitions
