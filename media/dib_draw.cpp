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

}  // namespace

void CDib::StretchDib(CDC* dc, int x, int y, int w, int h, int xs, int ys, int ws, int hs, BOOL transparent,
                      int usage) const {
  if (!dc || hDib.empty()) return;
  const CPixelImage picture = DibToBitmap(hDib, usage);
  if (picture.IsNull()) return;
  ResolveSizes(picture.Width(), picture.Height(), w, h, ws, hs);
  if (!ClipSource(picture.Width(), picture.Height(), x, y, w, h, xs, ys, ws, hs)) return;
  const int oldMode = dc->SetStretchBltMode(COLORONCOLOR);
  CImageDC source(picture);
  if (!hMaskDib.empty() && transparent) {
    const CPixelImage mask = DibToBitmap(hMaskDib);
    CImageDC maskSource(mask);
    dc->StretchBlt(x, y, w, h, &source, xs, ys, ws, hs, SRCINVERT);
    dc->StretchBlt(x, y, w, h, &maskSource, xs, ys, ws, hs, SRCAND);
    dc->StretchBlt(x, y, w, h, &source, xs, ys, ws, hs, SRCINVERT);
  } else {
    dc->StretchBlt(x, y, w, h, &source, xs, ys, ws, hs, SRCCOPY);
  }
  dc->SetStretchBltMode(oldMode);
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
  if (!ClipSource(pw, ph, x, y, w, h, xs, ys, ws, hs)) return;
  const int oldMode = dc->SetStretchBltMode(COLORONCOLOR);
  CImageDC source(hBitmap);
  if (!hMask.IsNull() && transparent) {
    CImageDC maskSource(hMask);
    dc->StretchBlt(x, y, w, h, &source, xs, ys, ws, hs, SRCINVERT);
    dc->StretchBlt(x, y, w, h, &maskSource, xs, ys, ws, hs, SRCAND);
    dc->StretchBlt(x, y, w, h, &source, xs, ys, ws, hs, SRCINVERT);
  } else {
    dc->StretchBlt(x, y, w, h, &source, xs, ys, ws, hs, SRCCOPY);
  }
  dc->SetStretchBltMode(oldMode);
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
  CImageDC source(hBitmap);
  if (key == CLR_INVALID || hMask.IsNull()) {
    dc->BitBlt(x, y, w, h, &source, xs, ys, SRCCOPY);
    return;
  }
  const gdi::PixelSurface target = dc->GetSurfaceInfo();
  if (tvn::dib::HasTransparentBlt() && dc->GetMapMode() == MM_TEXT && target.IsValid() && !target.monochrome) {
    // The keyed copy works on device pixels: place the rectangle like the context would.
    CPoint origin(x, y);
    dc->LPtoDP(&origin);
    CRect clip;
    dc->GetClipBox(&clip);
    dc->LPtoDP(&clip);
    // Keep the copy inside the clip box by cutting source and target together.
    int cx = origin.x, cy = origin.y, cw = w, ch = h, cxs = xs, cys = ys;
    if (cx < clip.left) { cxs += clip.left - cx; cw -= clip.left - cx; cx = clip.left; }
    if (cy < clip.top) { cys += clip.top - cy; ch -= clip.top - cy; cy = clip.top; }
    cw = std::min<int>(cw, clip.right - cx);
    ch = std::min<int>(ch, clip.bottom - cy);
    if (cw <= 0 || ch <= 0) return;
    const tvn::dib::PixelSurface to{target.bits, target.width, target.height, target.stride};
    const tvn::dib::ConstPixelSurface from{hBitmap.Row(0), hBitmap.Width(), hBitmap.Height(), hBitmap.Pitch()};
    tvn::dib::TransparentBlt(to, cx, cy, cw, ch, from, cxs, cys, cw, ch, key);
    return;
  }
  CImageDC maskSource(hMask);
  dc->BitBlt(x, y, w, h, &source, xs, ys, SRCINVERT);
  dc->BitBlt(x, y, w, h, &maskSource, xs, ys, SRCAND);
  dc->BitBlt(x, y, w, h, &source, xs, ys, SRCINVERT);
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
