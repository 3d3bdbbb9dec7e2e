// The colour-keyed copy on raw 32-bit pixels.
#include "media/transparent_blit.h"

#include <algorithm>

#include "platform/gdi/pixel_rows.h"

namespace tvn::dib {

std::optional<BlitRect> ClipBlit(BlitRect r, int targetWidth, int targetHeight, int sourceWidth, int sourceHeight) {
  if (r.w <= 0 || r.h <= 0) return std::nullopt;
  // Work in 64 bits: coordinates come from course data and may be huge.
  long long x = r.x, y = r.y, xs = r.xs, ys = r.ys, w = r.w, h = r.h;
  auto cutLeading = [](long long& a, long long& b, long long& len) {
    long long cut = std::max({0LL, -a, -b});
    a += cut;
    b += cut;
    len -= cut;
  };
  cutLeading(x, xs, w);
  cutLeading(y, ys, h);
  w = std::min({w, targetWidth - x, sourceWidth - xs});
  h = std::min({h, targetHeight - y, sourceHeight - ys});
  if (w <= 0 || h <= 0) return std::nullopt;
  return BlitRect{static_cast<int>(x), static_cast<int>(y), static_cast<int>(w), static_cast<int>(h),
                  static_cast<int>(xs), static_cast<int>(ys)};
}

BOOL TransparentBlt(const PixelSurface& target, int x, int y, int w, int h, const ConstPixelSurface& source, int xs,
                    int ys, int ws, int hs, COLORREF key) {
  if (!target.bits || !source.bits || w != ws || h != hs) return FALSE;
  auto clipped = ClipBlit({x, y, w, h, xs, ys}, target.width, target.height, source.width, source.height);
  if (!clipped) return TRUE;
  const BlitRect& r = *clipped;
  const std::uint32_t keyPixel = CPixelImage::ToPixel(key) & 0x00FFFFFFu;
  for (int row = 0; row < r.h; ++row) {
    const std::uint32_t* in = source.bits + (r.ys + row) * source.pitch + r.xs;
    std::uint32_t* out = target.bits + (r.y + row) * target.pitch + r.x;
    gdi::rows::KeyedCopy(out, in, r.w, keyPixel);
  }
  return TRUE;
}

BOOL TransparentBlt(CPixelImage& target, int x, int y, int w, int h, const CPixelImage& source, int xs, int ys, int ws,
                    int hs, COLORREF key) {
  if (target.IsNull() || source.IsNull()) return FALSE;
  PixelSurface t{target.Row(0), target.Width(), target.Height(), target.Pitch()};
  ConstPixelSurface s{source.Row(0), source.Width(), source.Height(), source.Pitch()};
  return TransparentBlt(t, x, y, w, h, s, xs, ys, ws, hs, key);
}

}  // namespace tvn::dib
