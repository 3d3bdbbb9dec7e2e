// CBrush: solid, hatched and pattern fills.
#pragma once

#include <vector>

#include "platform/gdi/gdi_object.h"
#include "platform/gdi/raster_ops.h"
#include "platform/gdi/gdi_types.h"

class CBitmap;

namespace gdi {

// What a context keeps of a selected brush.
struct BrushData {
  LOGBRUSH brush{1, 0, 0};  // BS_NULL until created
  int patternWidth = 0;
  int patternHeight = 0;
  bool patternMono = false;
  std::vector<DWORD> pattern;

  bool IsNull() const { return brush.lbStyle == 1; }
  // The brush as a tile of device pixels. Hatch gaps take the background
  // colour and count as transparent unless the background is opaque.
  PatternTile Resolve(COLORREF text, COLORREF back, bool opaqueBack, CPoint origin) const;
};

}  // namespace gdi

class CBrush : public CGdiObject {
 public:
  CBrush() = default;
  explicit CBrush(COLORREF colour) { CreateSolidBrush(colour); }
  CBrush(int hatch, COLORREF colour) { CreateHatchBrush(hatch, colour); }

  Kind GetKind() const override { return Kind::brush; }

  BOOL CreateSolidBrush(COLORREF colour);
  BOOL CreateHatchBrush(int hatch, COLORREF colour);
  // Takes a copy of the bitmap's pixels; a monochrome pattern is drawn in the
  // context's text colour (black bits) and background colour (white bits).
  BOOL CreatePatternBrush(CBitmap* bitmap);
  // BS_SOLID, BS_NULL and BS_HATCHED; a stored BS_PATTERN has no bitmap to name and is refused.
  BOOL CreateBrushIndirect(const LOGBRUSH& brush);
  BOOL CreateNullBrush();
  BOOL DeleteObject() override;

  const LOGBRUSH& GetLogBrush() const { return m_data.brush; }
  const gdi::BrushData& Data() const { return m_data; }

 private:
  gdi::BrushData m_data;
};
