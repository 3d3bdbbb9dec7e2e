#include "platform/gdi/pen.h"

#include <algorithm>

#include "platform/gdi/gdi_defs.h"

BOOL CPen::CreatePen(UINT style, int width, COLORREF colour) {
  LOGPEN pen;
  pen.lopnStyle = style;
  pen.lopnWidthX = width;
  pen.lopnColor = colour;
  return CreatePenIndirect(pen);
}

BOOL CPen::CreatePenIndirect(const LOGPEN& pen) {
  // Unknown styles are drawn solid rather than refused: stored shapes carry them.
  m_pen = pen;
  // Stored widths beyond any screen are cut.
  m_pen.lopnWidthX = std::clamp<LONG>(m_pen.lopnWidthX, 0, 4096);
  m_pen.lopnColor &= 0x00FFFFFFu;
  SetCreated(true);
  return TRUE;
}

UINT CPen::GetStyle() const {
  UINT style = m_pen.lopnStyle & PS_STYLE_MASK;
  return style > PS_INSIDEFRAME ? PS_SOLID : style;
}
