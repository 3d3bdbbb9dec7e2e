// The colour-keyed copy on raw 32-bit pixels.
#include "media/transparent_blit.h"

#include <algorithm>
#include <climits>

#include "platform/gdi/pixel_rows.h"

namespace tvn::dib {

namespace {

// The target rectangle of a copy of positive size; its far edges stop at the
// integer range, which no surface reaches.
CRect TargetRect(int x, int y, int w, int h) {
  auto end = [](int start, int length) {
    return static_cast<LONG>(std::min<long long>(static_cast<long long>(start) + length, INT_MAX));
  };
  return CRect(x, y, end(x, w), end(y, h));
}

// The keyed rows of a copy already cut to both surfaces.
void CopyKeyed(const gdi::PixelSurface& target, const BlitRect& r, const CPixelImage& source, COLORREF key) {
  const std::uint32_t keyPixel = CPixelImage::ToPixel(key) & 0x00FFFFFFu;
  const std::uint32_t* in = source.Row(0) + r.ys * source.Pitch() + r.xs;
  for (int row = r.y; row < r.y + r.h; ++row, in += source.Pitch())
    gdi::rows::KeyedCopy(target.Row(row) + r.x, in, r.w, keyPixel);
}

}  // namespace

std::optional<BlitRect> ClipBlit(BlitRect r, int targetWidth, int targetHeight, int sourceWidth, int sourceHeight) {
  if (r.w <= 0 || r.h <= 0) return std::nullopt;
  CRect target = TargetRect(r.x, r.y, r.w, r.h);
  CPoint from(r.xs, r.ys);
  if (!gdi::ClipBlit(target, from, CRect(0, 0, targetWidth, targetHeight), CRect(0, 0, sourceWidth, sourceHeight)))
    return std::nullopt;
  return BlitRect{target.left, target.top, target.Width(), target.Height(), from.x, from.y};
}

BOOL TransparentBlt(const gdi::PixelSurface& target, const CRect& clip, int x, int y, int w, int h,
                    const CPixelImage& source, int xs, int ys, int ws, int hs, COLORREF key) {
  if (!target.IsValid() || source.IsNull() || w != ws || h != hs) return FALSE;
  CRect inside;
  if (w <= 0 || h <= 0 || !inside.IntersectRect(clip, CRect(0, 0, target.width, target.height))) return TRUE;
  CRect to = TargetRect(x, y, w, h);
  CPoint from(xs, ys);
  if (gdi::ClipBlit(to, from, inside, CRect(0, 0, source.Width(), source.Height())))
    CopyKeyed(target, {to.left, to.top, to.Width(), to.Height(), from.x, from.y}, source, key);
  return TRUE;
}

BOOL TransparentBlt(CPixelImage& target, int x, int y, int w, int h, const CPixelImage& source, int xs, int ys, int ws,
                    int hs, COLORREF key) {
  if (target.IsNull() || source.IsNull()) return FALSE;
  const gdi::PixelSurface surface{target.Row(0), target.Width(), target.Height(), target.Pitch(),
                                  target.IsMonochrome()};
  if (w != ws || h != hs) return FALSE;
  if (const auto r = ClipBlit({x, y, w, h, xs, ys}, target.Width(), target.Height(), source.Width(), source.Height()))
    CopyKeyed(surface, *r, source, key);
  return TRUE;
}

}  // namespace tvn::dib
