#include "platform/gdi/brush.h"

#include "platform/gdi/bitmap.h"
#include "platform/gdi/gdi_defs.h"

namespace {

// Whether the hatch line passes through (x, y) of the 8 x 8 cell.
bool HatchBit(int hatch, int x, int y) {
  switch (hatch) {
    case HS_HORIZONTAL: return y == 7;
    case HS_VERTICAL: return x == 7;
    case HS_FDIAGONAL: return x == y;
    case HS_BDIAGONAL: return x + y == 7;
    case HS_CROSS: return x == 7 || y == 7;
    case HS_DIAGCROSS: return x == y || x + y == 7;
    default: return false;
  }
}

}  // namespace

BOOL CBrush::CreateSolidBrush(COLORREF colour) {
  LOGBRUSH b;
  b.lbStyle = BS_SOLID;
  b.lbColor = colour;
  return CreateBrushIndirect(b);
}

BOOL CBrush::CreateHatchBrush(int hatch, COLORREF colour) {
  LOGBRUSH b;
  b.lbStyle = BS_HATCHED;
  b.lbColor = colour;
  b.lbHatch = hatch;
  return CreateBrushIndirect(b);
}

BOOL CBrush::CreateNullBrush() {
  LOGBRUSH b;
  b.lbStyle = BS_NULL;
  return CreateBrushIndirect(b);
}

BOOL CBrush::CreateBrushIndirect(const LOGBRUSH& brush) {
  if (brush.lbStyle != BS_SOLID && brush.lbStyle != BS_NULL && brush.lbStyle != BS_HATCHED) return FALSE;
  if (brush.lbStyle == BS_HATCHED && (brush.lbHatch < HS_HORIZONTAL || brush.lbHatch > HS_DIAGCROSS)) return FALSE;
  DeleteObject();
  m_data.brush = brush;
  m_data.brush.lbColor &= 0x00FFFFFFu;
  SetCreated(true);
  return TRUE;
}

BOOL CBrush::CreatePatternBrush(CBitmap* bitmap) {
  if (!bitmap || !bitmap->IsCreated()) return FALSE;
  const gdi::PixelSurface s = bitmap->GetSurface();
  DeleteObject();
  m_data.brush = LOGBRUSH{BS_PATTERN, 0, 0};
  m_data.patternWidth = s.width;
  m_data.patternHeight = s.height;
  m_data.patternMono = s.monochrome;
  m_data.pattern.reserve(static_cast<std::size_t>(s.width) * static_cast<std::size_t>(s.height));
  for (int y = 0; y < s.height; ++y) m_data.pattern.insert(m_data.pattern.end(), s.Row(y), s.Row(y) + s.width);
  SetCreated(true);
  return TRUE;
}

BOOL CBrush::DeleteObject() {
  m_data = gdi::BrushData{};
  return CGdiObject::DeleteObject();
}

namespace gdi {

PatternTile BrushData::Resolve(COLORREF text, COLORREF back, bool opaqueBack, CPoint origin) const {
  PatternTile tile;
  tile.origin = origin;
  if (brush.lbStyle == BS_NULL || (brush.lbStyle == BS_PATTERN && pattern.empty())) {
    tile.null = true;
    return tile;
  }
  if (brush.lbStyle == BS_SOLID) {
    tile.pixels[0] = ColorToPixel(brush.lbColor);
    return tile;
  }
  if (brush.lbStyle == BS_HATCHED) {
    tile.width = tile.height = 8;
    tile.pixels.assign(64, ColorToPixel(back));
    tile.opaque.assign(64, opaqueBack ? 1 : 0);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x)
        if (HatchBit(brush.lbHatch, x, y)) {
          tile.pixels[static_cast<std::size_t>(y * 8 + x)] = ColorToPixel(brush.lbColor);
          tile.opaque[static_cast<std::size_t>(y * 8 + x)] = 1;
        }
    return tile;
  }
  tile.width = patternWidth;
  tile.height = patternHeight;
  tile.pixels = pattern;
  tile.opaque.assign(pattern.size(), 1);
  if (patternMono)
    for (DWORD& p : tile.pixels) p = ColorToPixel((p & kColourBits) ? back : text);
  return tile;
}

}  // namespace gdi
