// CFont: a font made from a logical font record.
#pragma once

#include "platform/gdi/gdi_object.h"
#include "platform/gdi/gdi_types.h"

class CFont : public CGdiObject {
 public:
  CFont() = default;
  Kind GetKind() const override { return Kind::font; }

  // The face name is 8-bit text; a name without its terminating zero is cut at 31 bytes.
  BOOL CreateFontIndirect(const LOGFONT* font);
  BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic, BYTE underline,
                  BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                  BYTE pitchAndFamily, const char* faceName);
  // Size in tenths of a point at 96 pixels per inch.
  BOOL CreatePointFont(int pointSizeTenths, const char* faceName);
  int GetLogFont(LOGFONT* font) const;
  const LOGFONT& GetLogFontRef() const { return m_font; }

 private:
  LOGFONT m_font;
};
