// The run model's default formats, comparisons and range merges.
#include "platform/richedit/rtf_document.h"

#include <algorithm>
#include <cstring>

namespace tvn::rtf {

std::string Document::PlainText() const {
  std::string text;
  for (std::size_t i = 0; i < paragraphs.size(); ++i) {
    if (i) text += "\r\n";
    for (const Run& run : paragraphs[i].runs) text += run.picture ? std::string(" ") : run.text;
  }
  return text;
}

CHARFORMAT DefaultCharFormat() {
  CHARFORMAT f;
  f.dwMask = CFM_ALL;
  f.dwEffects = CFE_AUTOCOLOR;
  f.yHeight = 240;
  return f;
}

PARAFORMAT DefaultParaFormat() {
  PARAFORMAT p;
  p.dwMask = PFM_ALL;
  p.wAlignment = PFA_LEFT;
  return p;
}

std::string_view FaceOf(const CHARFORMAT& format) {
  const char* face = format.szFaceName;
  return std::string_view(face, strnlen(face, LF_FACESIZE - 1));
}

void SetFace(CHARFORMAT& format, std::string_view face) {
  std::fill(std::begin(format.szFaceName), std::end(format.szFaceName), '\0');
  const std::size_t n = std::min<std::size_t>(face.find('\0') == std::string_view::npos ? face.size() : face.find('\0'),
                                               LF_FACESIZE - 1);
  std::memcpy(format.szFaceName, face.data(), n);
}

bool SameCharFormat(const CHARFORMAT& a, const CHARFORMAT& b) {
  return a.dwMask == b.dwMask && a.dwEffects == b.dwEffects && a.yHeight == b.yHeight && a.yOffset == b.yOffset &&
         a.crTextColor == b.crTextColor && a.bCharSet == b.bCharSet && a.bPitchAndFamily == b.bPitchAndFamily &&
         FaceOf(a) == FaceOf(b);
}

bool SameParaFormat(const PARAFORMAT& a, const PARAFORMAT& b) {
  if (a.dwMask != b.dwMask || a.wNumbering != b.wNumbering || a.dxStartIndent != b.dxStartIndent ||
      a.dxRightIndent != b.dxRightIndent || a.dxOffset != b.dxOffset || a.wAlignment != b.wAlignment ||
      a.cTabCount != b.cTabCount)
    return false;
  return std::equal(a.rgxTabs, a.rgxTabs + std::clamp<int>(a.cTabCount, 0, MAX_TAB_STOPS), b.rgxTabs);
}

void MergeCharFormat(CHARFORMAT& range, const CHARFORMAT& next) {
  // Effect bits and the mask bits that stand for them.
  constexpr std::pair<DWORD, DWORD> kEffects[] = {{CFE_BOLD, CFM_BOLD},         {CFE_ITALIC, CFM_ITALIC},
                                                  {CFE_UNDERLINE, CFM_UNDERLINE}, {CFE_STRIKEOUT, CFM_STRIKEOUT},
                                                  {CFE_PROTECTED, CFM_PROTECTED}, {CFE_AUTOCOLOR, CFM_COLOR}};
  DWORD mask = range.dwMask & next.dwMask;
  for (const auto& [effect, bit] : kEffects) {
    if ((range.dwEffects & effect) != (next.dwEffects & effect)) {
      mask &= ~bit;
      range.dwEffects &= ~effect;
    }
  }
  if (range.yHeight != next.yHeight) mask &= ~CFM_SIZE;
  if (range.yOffset != next.yOffset) mask &= ~CFM_OFFSET;
  if (range.crTextColor != next.crTextColor) mask &= ~CFM_COLOR;
  if (range.bCharSet != next.bCharSet) mask &= ~CFM_CHARSET;
  if (range.bPitchAndFamily != next.bPitchAndFamily || FaceOf(range) != FaceOf(next)) mask &= ~CFM_FACE;
  range.dwMask = mask;
}

void MergeParaFormat(PARAFORMAT& range, const PARAFORMAT& next) {
  DWORD mask = range.dwMask & next.dwMask;
  if (range.dxStartIndent != next.dxStartIndent) mask &= ~PFM_STARTINDENT;
  if (range.dxRightIndent != next.dxRightIndent) mask &= ~PFM_RIGHTINDENT;
  if (range.dxOffset != next.dxOffset) mask &= ~PFM_OFFSET;
  if (range.wAlignment != next.wAlignment) mask &= ~PFM_ALIGNMENT;
  if (range.wNumbering != next.wNumbering) mask &= ~PFM_NUMBERING;
  if (range.cTabCount != next.cTabCount ||
      !std::equal(range.rgxTabs, range.rgxTabs + std::clamp<int>(range.cTabCount, 0, MAX_TAB_STOPS), next.rgxTabs))
    mask &= ~PFM_TABSTOPS;
  range.dwMask = mask;
}

}  // namespace tvn::rtf
