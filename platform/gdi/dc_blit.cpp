// CDC: BitBlt and StretchBlt between contexts.
#include <cstring>
#include <vector>

#include "platform/gdi/dc_impl.h"

namespace {


// A copy of part of a surface, for blits whose source and target are one surface.
struct SourceCopy {
  std::vector<DWORD> pixels;
  gdi::PixelSurface surface;
  CPoint offset;  // where the copy's (0,0) lies on the original

  SourceCopy(const gdi::PixelSurface& from, const CRect& part) : offset(part.TopLeft()) {
    const int w = part.Width(), h = part.Height();
    pixels.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y)
      std::memcpy(&pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(w)], from.Row(part.top + y) + part.left,
                  static_cast<std::size_t>(w) * sizeof(DWORD));
    surface = gdi::PixelSurface{pixels.data(), w, h, w, from.monochrome};
  }
};

}  // namespace

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, DWORD rop) {
  if (width <= 0 || height <= 0) return FALSE;
  const bool usesSource = gdi::RopUsesSource(rop);
  if (usesSource && !src) return FALSE;
  if (m->state.mapMode != MM_TEXT || (usesSource && src->m->state.mapMode != MM_TEXT))
    return StretchBlt(x, y, width, height, src, xSrc, ySrc, width, height, rop);

  const gdi::PixelSurface target = m->Surface();
  if (!target.IsValid()) return FALSE;
  const QPoint topLeft = m->ToDevice(x, y);
  const CRect dstRect = SpanRect(topLeft.x(), topLeft.y(), width, height);
  gdi::PatternTile pattern = m->BrushTile(m->state.brush);
  pattern.null = false;

  gdi::PixelSurface source;
  CPoint srcOrigin;
  gdi::SourceColours colours;
  colours.targetText = gdi::ColorToPixel(m->state.textColour);
  colours.targetBack = gdi::ColorToPixel(m->state.backColour);
  std::unique_ptr<SourceCopy> copy;
  if (usesSource) {
    source = src->m->Surface();
    if (!source.IsValid()) return FALSE;
    const QPoint s = src->m->ToDevice(xSrc, ySrc);
    srcOrigin = CPoint(s.x(), s.y());
    colours.sourceBack = gdi::ColorToPixel(src->m->state.backColour);
    if (source.bits == target.bits) {
      // Read everything first: the copy may overlap what it writes.
      CRect part = SpanRect(srcOrigin.x, srcOrigin.y, width, height);
      if (!part.IntersectRect(part, CRect(0, 0, source.width, source.height))) return TRUE;
      copy = std::make_unique<SourceCopy>(source, part);
      source = copy->surface;
      srcOrigin = srcOrigin - copy->offset;
    }
  }
  const CRect srcBounds = usesSource ? CRect(0, 0, source.width, source.height) : CRect(dstRect);
  const QRegion area = m->DrawableArea().intersected(ToQRect(dstRect));
  for (const QRect& clip : area) {
    CRect d = dstRect;
    CPoint s = srcOrigin;
    if (!usesSource) s = d.TopLeft();
    if (!gdi::ClipBlit(d, s, FromQRect(clip), srcBounds)) continue;
    gdi::BlitRect(target, d, usesSource ? &source : nullptr, s, rop, pattern, colours);
  }
  return TRUE;
}

BOOL CDC::GetBlitArea(int x, int y, int width, int height, CPoint* deviceTopLeft, std::vector<CRect>* parts) const {
  if (!deviceTopLeft || !parts || m->state.mapMode != MM_TEXT || !m->Surface().IsValid()) return FALSE;
  // Placed and cut as BitBlt places and cuts its target.
  const QPoint topLeft = m->ToDevice(x, y);
  *deviceTopLeft = CPoint(topLeft.x(), topLeft.y());
  parts->clear();
  if (width <= 0 || height <= 0) return TRUE;
  const QRegion area = m->DrawableArea().intersected(ToQRect(SpanRect(topLeft.x(), topLeft.y(), width, height)));
  for (const QRect& r : area) parts->push_back(FromQRect(r));
  return TRUE;
}

BOOL CDC::StretchBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, int srcWidth, int srcHeight,
                     DWORD rop) {
  if (!gdi::RopUsesSource(rop)) return PatBlt(x, y, width, height, rop);
  if (!src || width == 0 || height == 0 || srcWidth == 0 || srcHeight == 0) return FALSE;
  const gdi::PixelSurface target = m->Surface();
  const gdi::PixelSurface source = src->m->Surface();
  if (!target.IsValid() || !source.IsValid()) return FALSE;

  const CRect dl = SpanRect(x, y, width, height), sl = SpanRect(xSrc, ySrc, srcWidth, srcHeight);
  const QPoint d0 = m->ToDevice(x, y), d1 = m->ToDevice(dl.right, dl.bottom);
  const QPoint s0 = src->m->ToDevice(xSrc, ySrc), s1 = src->m->ToDevice(sl.right, sl.bottom);
  const int dw = d1.x() - d0.x(), dh = d1.y() - d0.y(), sw = s1.x() - s0.x(), sh = s1.y() - s0.y();
  if (dw == 0 || dh == 0 || sw == 0 || sh == 0) return FALSE;
  if (dw == sw && dh == sh && dw > 0 && dh > 0 && m->state.mapMode == MM_TEXT && src->m->state.mapMode == MM_TEXT)
    return BitBlt(x, y, width, height, src, xSrc, ySrc, rop);

  gdi::PatternTile pattern = m->BrushTile(m->state.brush);
  pattern.null = false;
  gdi::SourceColours colours;
  colours.targetText = gdi::ColorToPixel(m->state.textColour);
  colours.targetBack = gdi::ColorToPixel(m->state.backColour);
  colours.sourceBack = gdi::ColorToPixel(src->m->state.backColour);

  // A negative length runs from its start towards smaller coordinates.
  CRect dstRect(dw > 0 ? d0.x() : d0.x() + dw + 1, dh > 0 ? d0.y() : d0.y() + dh + 1,
                dw > 0 ? d0.x() + dw : d0.x() + 1, dh > 0 ? d0.y() + dh : d0.y() + 1);
  const QRegion area = m->DrawableArea().intersected(ToQRect(dstRect));
  for (const QRect& q : area) {
    const CRect clip = FromQRect(q);
    const std::vector<int> xMap = gdi::StretchMap(d0.x(), dw, s0.x(), sw, clip.left, clip.right, source.width);
    const std::vector<int> yMap = gdi::StretchMap(d0.y(), dh, s0.y(), sh, clip.top, clip.bottom, source.height);
    gdi::StretchRect(target, clip, source, xMap, yMap, rop, pattern, colours);
  }
  return TRUE;
}
