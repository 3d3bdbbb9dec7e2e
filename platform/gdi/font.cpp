#include "platform/gdi/font.h"

#include <cstring>

BOOL CFont::CreateFontIndirect(const LOGFONT* font) {
  if (!font) return FALSE;
  m_font = *font;
  m_font.lfFaceName[LF_FACESIZE - 1] = '\0';
  SetCreated(true);
  return TRUE;
}

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                       BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                       BYTE quality, BYTE pitchAndFamily, const char* faceName) {
  LOGFONT lf;
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfEscapement = escapement;
  lf.lfOrientation = orientation;
  lf.lfWeight = weight;
  lf.lfItalic = italic;
  lf.lfUnderline = underline;
  lf.lfStrikeOut = strikeOut;
  lf.lfCharSet = charSet;
  lf.lfOutPrecision = outPrecision;
  lf.lfClipPrecision = clipPrecision;
  lf.lfQuality = quality;
  lf.lfPitchAndFamily = pitchAndFamily;
  if (faceName) std::strncpy(lf.lfFaceName, faceName, LF_FACESIZE - 1);
  return CreateFontIndirect(&lf);
}

BOOL CFont::CreatePointFont(int pointSizeTenths, const char* faceName) {
  // Character height in pixels at 96 dpi, rounded to nearest.
  const long long tenths = pointSizeTenths;
  const int pixels = static_cast<int>((tenths * 96 + 360) / 720);
  return CreateFont(-pixels, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, faceName);
}

int CFont::GetLogFont(LOGFONT* font) const {
  if (!font || !IsCreated()) return 0;
  *font = m_font;
  return static_cast<int>(sizeof(LOGFONT));
}
