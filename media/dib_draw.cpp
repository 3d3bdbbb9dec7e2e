// CDib: drawing onto device contexts (one to one, stretched, keyed, masked, banded) and window capture.
#include <algorithm>

#include "media/dib.h"
#include "media/transparent_blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/image_dc.h"

namespace {

// Whole-picture defaults for source and target sizes.
void ResolveSizes(int pictureWidth, int pictureHeight, int& w, int& h, int& ws, int& hs) {
  if (ws == -1 && hs == -1) {
    ws = pictureWidth;
    hs = pictureHeight;
  }
  if (w < 0 && h < 0) {
    // Zoom factors: -2 draws at twice the size.
    const long long zw = static_cast<long long>(ws) * -static_cast<long long>(w);
    const long long zh = static_cast<long long>(hs) * -static_cast<long long>(h);
    w = static_cast<int>(std::min<long long>(zw, CPixelImage::kMaxSide * 4LL));
    h = static_cast<int>(std::min<long long>(zh, CPixelImage::kMaxSide * 4LL));
  }
}

// Cuts a source rectangle to the picture and the target rectangle with it,
// keeping the scale. False when nothing is left.
bool ClipSource(int pictureWidth, int pictureHeight, int& x, int& y, int& w, int& h, int& xs, int& ys, int& ws,
                int& hs) {
  if (w <= 0 || h <= 0 || ws <= 0 || hs <= 0) return false;
  auto clip = [](int limit, int& d, int& dl, int& s, int& sl) {
    // Cut the leading edge.
    if (s < 0) {
      const long long cut = -static_cast<long long>(s);
      if (cut >= sl) return false;
      const long long dcut = cut * dl / sl;
      d = static_cast<int>(d + dcut);
      dl = static_cast<int>(dl - dcut);
      sl = static_cast<int>(sl - cut);
      s = 0;
    }
    if (s >= limit) return false;
    // Cut the trailing edge.
    if (static_cast<long long>(s) + sl > limit) {
      const long long keep = limit - s;
      dl = static_cast<int>(static_cast<long long>(dl) * keep / sl);
      sl = static_cast<int>(keep);
    }
    return dl > 0 && sl > 0;
  };
  return clip(pictureWidth, x, w, xs, ws) && clip(pictureHeight, y, h, ys, hs);
}

// Draws picture through mask, or copies it whole when there is no mask:
// the picture XORed onto the target, the mask ANDed (its black keeps the
// picture, its white the target's pixels), the picture XORed again.
// blit(source, rop) draws one pass from source's context.
template <class Blit>
void DrawThroughMask(const CPixelImage& picture, const CPixelImage* mask, Blit&& blit) {
  CImageDC source(picture);
  if (!mask) {
    blit(source, SRCCOPY);
    return;
  }
  CImageDC maskSource(*mask);
  blit(source, SRCINVERT);
  blit(maskSource, SRCAND);
  blit(source, SRCINVERT);
}

// Stretches (xs, ys, ws, hs) of picture onto (x, y, w, h), both first cut to
// what the picture holds, through mask when one is given.
void StretchPicture(CDC* dc, const CPixelImage& picture, const CPixelImage* mask, int x, int y, int w, int h, int xs,
                    int ys, int ws, int hs) {
  if (!ClipSource(picture.Width(), picture.Height(), x, y, w, h, xs, ys, ws, hs)) return;
  const int oldMode = dc->SetStretchBltMode(COLORONCOLOR);
  DrawThroughMask(picture, mask,
                  [&](CDC& source, DWORD rop) { dc->StretchBlt(x, y, w, h, &source, xs, ys, ws, hs, rop); });
  dc->SetStretchBltMode(oldMode);
}

}  // namespace

void CDib::StretchDib(CDC* dc, int x, int y, int w, int h, int xs, int ys, int ws, int hs, BOOL transparent,
                      int usage) const {
  if (!dc || hDib.empty()) return;
  const CPixelImage picture = DibToBitmap(hDib, usage);
  if (picture.IsNull()) return;
  ResolveSizes(picture.Width(), picture.Height(), w, h, ws, hs);
  const bool masked = !hMaskDib.empty() && transparent;
  const CPixelImage mask = masked ? DibToBitmap(hMaskDib) : CPixelImage();
  StretchPicture(dc, picture, masked ? &mask : nullptr, x, y, w, h, xs, ys, ws, hs);
}

void CDib::DrawDib(CDC* dc, int x, int y, int w, int h, int xs, int ys, DWORD rop, int usage) const {
  if (!dc || hDib.empty()) return;
  const CPixelImage picture = DibToBitmap(hDib, usage);
  if (picture.IsNull()) return;
  if (w == -1 && h == -1) {
    w = picture.Width();
    h = picture.Height();
  }
  int ws = w, hs = h;
  if (!ClipSource(picture.Width(), picture.Height(), x, y, w, h, xs, ys, ws, hs)) return;
  const int oldMode = dc->SetStretchBltMode(COLORONCOLOR);
  CImageDC source(picture);
  dc->BitBlt(x, y, w, h, &source, xs, ys, rop);
  dc->SetStretchBltMode(oldMode);
}

void CDib::StretchDraw(CDC* dc, int x, int y, int w, int h, int xs, int ys, int ws, int hs, BOOL transparent) const {
  if (!dc) return;
  if (hBitmap.IsNull() && !hDib.empty()) {
    StretchDib(dc, x, y, w, h, xs, ys, ws, hs, transparent, tvn::dib::kRgbColors);
    return;
  }
  if (hBitmap.IsNull()) return;
  const int pw = hBitmap.Width(), ph = hBitmap.Height();
  if (w == -1 && h == -1) {
    w = pw;
    h = ph;
  }
  if (ws == -1 && hs == -1) {
    ws = pw;
    hs = ph;
  }
  StretchPicture(dc, hBitmap, !hMask.IsNull() && transparent ? &hMask : nullptr, x, y, w, h, xs, ys, ws, hs);
}

void CDib::DrawDirect(CDC* dc, int x, int y, int w, int h, int xs, int ys) const {
  DrawTransparent(dc, x, y, w, h, xs, ys, CLR_INVALID);
}

void CDib::DrawTransparent(CDC* dc, int x, int y, int w, int h, int xs, int ys, COLORREF key) const {
  if (!dc) return;
  if (!hDib.empty()) {
    // Cut to what remains of the picture right of xs and below ys.
    w = std::min(w, GetWidth() - xs);
    h = std::min(h, GetHeight() - ys);
    if (hBitmap.IsNull() || dc->IsPrinting()) {
      DrawDib(dc, x, y, w, h, xs, ys, SRCCOPY, tvn::dib::kRgbColors);
      return;
    }
  }
  if (hBitmap.IsNull() || w <= 0 || h <= 0) return;
  const bool keyed = key != CLR_INVALID && !hMask.IsNull();
  const gdi::PixelSurface target = dc->GetSurfaceInfo();
  if (keyed && tvn::dib::HasTransparentBlt() && dc->GetMapMode() == MM_TEXT && target.IsValid() &&
      !target.monochrome) {
    // The keyed copy works on device pixels: place the rectangle like the
    // context would, and keep it inside the context's clip box.
    CPoint origin(x, y);
    dc->LPtoDP(&origin);
    CRect clip;
    dc->GetClipBox(&clip);
    dc->LPtoDP(&clip);
    tvn::dib::TransparentBlt(target, clip, origin.x, origin.y, w, h, hBitmap, xs, ys, w, h, key);
    return;
  }
  DrawThroughMask(hBitmap, keyed ? &hMask : nullptr,
                  [&](CDC& source, DWORD rop) { dc->BitBlt(x, y, w, h, &source, xs, ys, rop); });
}

void CDib::DrawBanded(CDC* dc, int x, int y, int w, int h, int xs, int ys, int ws, int hs, int usage) const {
  if (!dc || hDib.empty()) return;
  const CPixelImage picture = DibToBitmap(hDib, usage);
  if (picture.IsNull()) return;
  const int height = picture.Height();
  if (ws == -1 && hs == -1) {
    ws = picture.Width();
    hs = height;
  }
  if (w < 0 && h < 0) {
    w = static_cast<int>(std::min<long long>(static_cast<long long>(ws) * -static_cast<long long>(w), 65536));
    h = static_cast<int>(std::min<long long>(y + static_cast<long long>(hs - ys) * -static_cast<long long>(h), 65536));
  }
  if (w <= 0 || h <= y || ws <= 0 || hs <= ys) return;
  // Bands of kBandRows source rows, top band first, each stretched onto its
  // share of the target. The last band takes the rows that are left, so a
  // picture of any height prints whole, and one shorter than a band prints
  // as one band.
  const long long sourceRows = static_cast<long long>(hs) - ys;
  const long long targetRows = static_cast<long long>(h) - y;
  const long long spanTop = static_cast<long long>(height) - hs;  // top-down row of the span's top
  const int oldMode = dc->SetStretchBltMode(COLORONCOLOR);
  CImageDC source(picture);
  for (long long first = 0; first < sourceRows; first += kBandRows) {
    const long long rows = std::min<long long>(kBandRows, sourceRows - first);
    const long long top = y + first * targetRows / sourceRows;
    const long long bottom = y + (first + rows) * targetRows / sourceRows;
    if (bottom <= top) continue;
    // Rows past the picture's edge are left out by the blit.
    dc->StretchBlt(x, static_cast<int>(top), w, static_cast<int>(bottom - top), &source, xs,
                   static_cast<int>(spanTop + first), ws, static_cast<int>(rows), SRCCOPY);
  }
  dc->SetStretchBltMode(oldMode);
}

BOOL CDib::DrawBitmap(CDC* dc, int x, int y, const CPixelImage& bitmap, DWORD rop) {
  if (!dc || bitmap.IsNull()) return FALSE;
  CImageDC source(bitmap);
  return dc->BitBlt(x, y, bitmap.Width(), bitmap.Height(), &source, 0, 0, rop);
}

const CPixelImage& CDib::CaptureWindow(const CPixelImage& screen, const CRect& windowRect, const CRect& clientRect,
                                       int mode) {
  if (mode == kCaptureWindow) return CaptureScreenRect(windowRect, screen);
  if (mode == kCaptureClient) return CaptureScreenRect(clientRect, screen);
  hBitmap = CPixelImage();
  return hBitmap;
}
