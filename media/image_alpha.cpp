// CImage: drawing a picture through its grey mask, blended with what the page shows.
#include <algorithm>
#include <utility>
#include <vector>

#include "media/image.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/image_dc.h"
#include "platform/gdi/pixel_rows.h"

namespace {

// Blends straight onto the context's pixels when that gives exactly what the
// copies through scratch pictures give: a one-to-one draw from inside both
// pictures onto a colour surface. The scratch copies then hold nothing but
// the pictures' and the page's own pixels, and the copy back writes where
// GetBlitArea says. False when the context is not like that; the caller
// then takes the long way.
bool BlendInPlace(CDC* dc, int x, int y, int width, int height, int sourceX, int sourceY, const CPixelImage& picture,
                  const CPixelImage& mask, const CImage::WeightPlane& weights) {
  const gdi::PixelSurface target = dc->GetSurfaceInfo();
  if (dc->IsPrinting() || !target.IsValid() || target.monochrome || picture.IsMonochrome() || mask.IsMonochrome())
    return false;
  if (sourceX < 0 || sourceY < 0 || static_cast<long long>(sourceX) + width > picture.Width() ||
      static_cast<long long>(sourceY) + height > picture.Height() ||
      static_cast<long long>(sourceX) + width > weights.width ||
      static_cast<long long>(sourceY) + height > weights.height)
    return false;
  if (target.bits == picture.Row(0) || target.bits == mask.Row(0)) return false;
  CPoint origin;
  std::vector<CRect> parts;
  if (!dc->GetBlitArea(x, y, width, height, &origin, &parts)) return false;
  for (const CRect& part : parts) {
    const int firstColumn = sourceX + (part.left - origin.x);
    for (int row = part.top; row < part.bottom; ++row) {
      const int sourceRow = sourceY + (row - origin.y);
      gdi::rows::BlendWeighted(target.Row(row) + part.left, picture.Row(sourceRow) + firstColumn,
                               weights.Row(sourceRow) + firstColumn, part.Width());
    }
  }
  return true;
}

}  // namespace

const CImage::WeightPlane& CImage::Weights() {
  const std::int64_t key = hMask.ContentKey();
  if (m_weights.key == key && m_weights.width == hMask.Width() && m_weights.height == hMask.Height())
    return m_weights;
  m_weights = WeightPlane();
  if (hMask.IsNull() || hMask.IsMonochrome()) return m_weights;
  const CPixelImage& mask = std::as_const(hMask);
  m_weights.bytes.resize(static_cast<std::size_t>(mask.Width()) * static_cast<std::size_t>(mask.Height()));
  BYTE* out = m_weights.bytes.data();
  for (int row = 0; row < mask.Height(); ++row) {
    const std::uint32_t* in = mask.Row(row);
    // The weight is the mask's first byte in memory (its blue).
    for (int column = 0; column < mask.Width(); ++column) *out++ = static_cast<BYTE>(in[column]);
  }
  m_weights.width = mask.Width();
  m_weights.height = mask.Height();
  m_weights.key = key;
  return m_weights;
}

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
  if (!stretch && BlendInPlace(dc, x, y, width, height, sourceX, sourceY, std::as_const(hBitmap), std::as_const(hMask),
                               Weights()))
    return;

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
    const std::uint32_t* pic = std::as_const(picture).Row(row);
    // The weight is the mask's first byte in memory (its blue).
    gdi::rows::Blend255(bg, pic, std::as_const(mask).Row(row), width);
  }
  dc->BitBlt(x, y, width, height, &backgroundDc, 0, 0, SRCCOPY);
}
