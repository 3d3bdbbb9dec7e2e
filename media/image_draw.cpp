// CImage: drawing whole, scrolled, as film-strip frames, tiled, or as a metafile.
#include <algorithm>

#include "media/image.h"
#include "model/message_service.h"
#include "model/string_table.h"
#include "model/variable_context.h"
#include "platform/gdi/dc.h"

LONG CImage::OffsetX() const {
  return Env().variables ? offset.left.GetLong(*Env().variables) : offset.left.GetLiteral();
}

LONG CImage::OffsetY() const {
  return Env().variables ? offset.top.GetLong(*Env().variables) : offset.top.GetLiteral();
}

CRect CImage::PaintClip(const CRect& rect) const {
  CRect r = rect;
  if (Env().paintRect && !r.IntersectRect(r, *Env().paintRect)) return CRect();
  return r;
}

// Keyed by keyColour, keyed by the top-left pixel, or copied as it is.
void CImage::DrawPlain(CDC* dc, const CRect& target, int xs, int ys) {
  if (flags & ImageFlag::kKeyColour) {
    DrawTransparent(dc, target.left, target.top, target.Width(), target.Height(), xs, ys, keyColour);
  } else if (flags & ImageFlag::kTopLeftKey) {
    DrawTransparent(dc, target.left, target.top, target.Width(), target.Height(), xs, ys, GetBitmapPixel(0, 0));
  } else {
    DrawDirect(dc, target.left, target.top, target.Width(), target.Height(), xs, ys);
  }
}

// The page is true colour and has no palette to realize, so usePalette changes nothing here.
void CImage::Draw(CDC* dc, const CRect& rect, BOOL /*usePalette*/) {
  if (!dc) return;
  if (kind == ImageKind::kMetafile) {
    PlayMetaFile(dc, rect);
    return;
  }
  const LONG ox = OffsetX(), oy = OffsetY();
  if (flags & ImageFlag::kNoBitmap) {
    if (!maskReady || dc->IsPrinting()) {
      StretchDraw(dc, rect.left, rect.top, rect.Width(), rect.Height(), ox, oy, -1, -1,
                  (flags & (ImageFlag::kKeyColour | ImageFlag::kTopLeftKey)) ? TRUE : FALSE);
    } else {
      DrawTransparentBits(dc, rect.left, rect.top, rect.Width(), rect.Height(), ox, oy, TRUE);
    }
    return;
  }
  if (!maskReady || dc->IsPrinting()) {
    const CRect r = PaintClip(rect);
    if (r.IsRectEmpty()) return;
    DrawPlain(dc, r, ox + (r.left - rect.left), oy + (r.top - rect.top));
    return;
  }
  CRect cut = rect;
  cut.right = std::min<LONG>(cut.right, cut.left + GetWidth());
  cut.bottom = std::min<LONG>(cut.bottom, cut.top + GetHeight());
  const CRect r = PaintClip(cut);
  if (r.IsRectEmpty()) return;
  DrawTransparentBits(dc, r.left, r.top, r.Width(), r.Height(), ox + (r.left - rect.left), oy + (r.top - rect.top),
                      FALSE);
}

void CImage::DrawFrame(CDC* dc, const CRect& rect, int frameIndex, int frameCount, BOOL /*usePalette*/) {
  if (!dc) return;
  if (kind == ImageKind::kMetafile) {
    PlayMetaFile(dc, rect);
    return;
  }
  const int frameWidth = frameCount > 1 ? GetWidth() / frameCount : rect.Width();
  // An index past the strip, or below it, shows the first frame.
  const long long frameStart =
      (frameIndex >= 0 && frameIndex < frameCount) ? static_cast<long long>(frameIndex) * frameWidth : 0;
  CRect r = rect;
  r.right = static_cast<LONG>(std::min<long long>(r.right, static_cast<long long>(r.left) + frameWidth));
  r = PaintClip(r);
  if (r.IsRectEmpty()) return;
  DrawPlain(dc, r, static_cast<int>(r.left - rect.left + frameStart), static_cast<int>(r.top - rect.top + OffsetY()));
}

void CImage::DrawTiled(CDC* dc, const CRect& clipRect, const CRect& areaRect, BOOL /*usePalette*/) {
  if (!dc) return;
  if (kind == ImageKind::kMetafile) {
    PlayMetaFile(dc, clipRect);
    return;
  }
  // Tiles come from the device-dependent form; a picture kept only as a DIB makes one for the draw.
  const CPixelImage tile = hBitmap.IsNull() ? DibToBitmap(hDib, tvn::dib::kRgbColors, Env().presentationPalette)
                                            : hBitmap;
  if (tile.IsNull() || clipRect.IsRectEmpty() || areaRect.IsRectEmpty()) return;
  const int pw = tile.Width(), ph = tile.Height();
  const int columns = static_cast<int>((static_cast<long long>(areaRect.Width()) + pw) / pw);
  const int rows = static_cast<int>((static_cast<long long>(areaRect.Height()) + ph) / ph);
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < columns; ++column) {
      const CRect tileRect(column * pw, row * ph, (column + 1) * pw, (row + 1) * ph);
      CRect hit;
      if (hit.IntersectRect(tileRect, clipRect)) DrawBitmap(dc, tileRect.left, tileRect.top, tile, SRCCOPY);
    }
  }
}

void CImage::PlayMetaFile(CDC* dc, const CRect& rect) {
  if (!dc || !m_metaFile) return;
  if (!PlayMetaFileInto(*dc, *m_metaFile, rect, pictureRect)) Message(StringId::kCannotPlayMetafile);
}
