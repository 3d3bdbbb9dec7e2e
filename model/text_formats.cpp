// Character formats from logical fonts.
#include "model/text_formats.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

constexpr long long kTwipsPerPoint = 20;

}  // namespace

LONG TwipsFromPoints(int points) {
  const long long twips = points * kTwipsPerPoint;
  return static_cast<LONG>(
      std::clamp<long long>(twips, std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::max()));
}

void InitCharFormat(CHARFORMAT& format) {
  format = CHARFORMAT{};
  format.cbSize = sizeof(CHARFORMAT);
}

void CharFormatFromLogFont(CHARFORMAT& format, const LOGFONT& font, int pointSize, COLORREF colour) {
  InitCharFormat(format);
  format.dwMask = 0xF800003Fu;
  if (font.lfWeight > FW_NORMAL) format.dwEffects |= CFE_BOLD;
  if (font.lfItalic == 1) format.dwEffects |= CFE_ITALIC;
  if (font.lfUnderline == 1) format.dwEffects |= CFE_UNDERLINE;
  if (font.lfStrikeOut == 1) format.dwEffects |= CFE_STRIKEOUT;
  format.yHeight = TwipsFromPoints(pointSize);
  format.yOffset = 0;
  format.crTextColor = colour;
  format.bCharSet = font.lfCharSet;
  format.bPitchAndFamily = font.lfPitchAndFamily;
  // The stored face need not be terminated: copy up to its first zero, at most 31 bytes.
  std::size_t n = strnlen(font.lfFaceName, LF_FACESIZE - 1);
  std::memcpy(format.szFaceName, font.lfFaceName, n);
  format.szFaceName[n] = '\0';
}

BOOL CharFormatEquals(const CHARFORMAT& a, const CHARFORMAT& b) {
  return a.dwMask == b.dwMask && a.dwEffects == b.dwEffects && a.yHeight == b.yHeight && a.yOffset == b.yOffset &&
         a.crTextColor == b.crTextColor && a.bPitchAndFamily == b.bPitchAndFamily &&
         std::strncmp(a.szFaceName, b.szFaceName, LF_FACESIZE) == 0;
}

BOOL ParaFormatEquals(const PARAFORMAT& a, const PARAFORMAT& b) {
  if (a.dwMask != b.dwMask || a.wNumbering != b.wNumbering || a.dxRightIndent != b.dxRightIndent ||
      a.dxOffset != b.dxOffset || a.cTabCount != b.cTabCount)
    return FALSE;
  const int tabs = std::clamp<int>(a.cTabCount, 0, MAX_TAB_STOPS);
  return std::equal(a.rgxTabs, a.rgxTabs + tabs, b.rgxTabs) ? TRUE : FALSE;
}
