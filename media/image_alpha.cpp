// CImage: drawing a picture through its grey mask, blended with what the page shows.
#include <algorithm>

#include "media/image.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/image_dc.h"

namespace {

// bg + (pic - bg) * a / 255, truncated towards zero, per colour byte.
std::uint32_t Blend(std::uint32_t pic, std::uint32_t bg, unsigned a) {
  if (a == 255) return pic;
  if (a == 0) return bg;
  std::uint32_t out = 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    const int p = static_cast<int>((pic >> shift) & 0xFF), b = static_cast<int>((bg >> shift) & 0xFF);
    const int v = b + (p - b) * static_cast<int>(a) / 255;
    out |= static_cast<std::uint32_t>(v) << shift;
  }
  return out;
}

}  // namespace

void CImage::DrawTransparentBits(CDC* dc, int x, int y, int width, int height, int sourceX, int sourceY,
                                 BOOL stretch) {
  // Displays of 8 bits or fewer show nothing of such pictures.
  if (!dc || Env().displayBits <= 8 || hBitmap.IsNull() || hMask.IsNull()) return;
  const int pw = hDib.empty() ? hBitmap.Width() : GetWidth();
  const int ph = hDib.empty() ? hBitmap.Height() : GetHeight();
  if (!stretch) {
    width = std::min(width, pw);
    height = std::min(height, ph);
  }
  if (width <= 0 || height <= 0 || width > CPixelImage::kMaxSide || height > CPixelImage::kMaxSide) return;

  // Picture and mask scratch of the target's size. Only the picture's real
  // width is read: nothing beyond its right edge reaches the page.
  CPixelImage picture(width, height), mask(width, height), background(width, height);
  if (picture.IsNull() || mask.IsNull() || background.IsNull()) return;
  {
    CImageDC pictureDc(picture), maskDc(mask);
    CImageDC pictureSource(hBitmap), maskSource(hMask);
    if (!stretch) {
      pictureDc.BitBlt(0, 0, width, height, &pictureSource, sourceX, sourceY, SRCCOPY);
      maskDc.BitBlt(0, 0, width, height, &maskSource, sourceX, sourceY, SRCCOPY);
    } else if (sourceX < pw && sourceY < ph) {
      pictureDc.SetStretchBltMode(COLORONCOLOR);
      maskDc.SetStretchBltMode(COLORONCOLOR);
      const int sw = pw - std::max(sourceX, 0), sh = ph - std::max(sourceY, 0);
      pictureDc.StretchBlt(0, 0, width, height, &pictureSource, std::max(sourceX, 0), std::max(sourceY, 0), sw, sh,
                           SRCCOPY);
      maskDc.StretchBlt(0, 0, width, height, &maskSource, std::max(sourceX, 0), std::max(sourceY, 0), sw, sh,
                        SRCCOPY);
    }
  }
  if (picture.Width() != mask.Width() || picture.Height() != mask.Height()) return;

  CImageDC backgroundDc(background);
  backgroundDc.BitBlt(0, 0, width, height, dc, x, y, SRCCOPY);
  for (int row = 0; row < height; ++row) {
    std::uint32_t* bg = background.Row(row);
    const std::uint32_t* pic = picture.Row(row);
    const std::uint32_t* weight = mask.Row(row);
    // The weight is the mask's first byte in memory (its blue).
    for (int col = 0; col < width; ++col) bg[col] = Blend(pic[col], bg[col], weight[col] & 0xFFu);
  }
  dc->BitBlt(x, y, width, height, &backgroundDc, 0, 0, SRCCOPY);
}
