// CPen: style, width and colour of lines and outlines.
#pragma once

#include "platform/gdi/gdi_object.h"
#include "platform/gdi/gdi_types.h"

class CPen : public CGdiObject {
 public:
  CPen() = default;
  CPen(UINT style, int width, COLORREF colour) { CreatePen(style, width, colour); }

  Kind GetKind() const override { return Kind::pen; }

  // Width 0 and 1 both draw one pixel wide whatever the mapping; negative widths count as 0.
  BOOL CreatePen(UINT style, int width, COLORREF colour);
  BOOL CreatePenIndirect(const LOGPEN& pen);
  const LOGPEN& GetLogPen() const { return m_pen; }
  UINT GetStyle() const;

 private:
  LOGPEN m_pen;
};
