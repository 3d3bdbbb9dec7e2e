// Character formats and Qt fonts, both ways.
#include "platform/user/qt_char_format.h"

#include <QFontInfo>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/base/cstring.h"
#include "platform/gdi/font_mapper.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/qt_text.h"

namespace {

constexpr int kTwipsPerPoint = 20;
constexpr int kTwipsPerPixel = 15;  // at 96 pixels per inch
constexpr LONG kDefaultHeight = 200;
// A stored height beyond the tallest font the layer makes is cut to it.
constexpr LONG kMaxHeight = gdi::kMaxFontPixelHeight * kTwipsPerPixel;
constexpr DWORD kDialogMask = CFM_FACE | CFM_SIZE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
constexpr DWORD kDialogEffects = CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT;
constexpr BYTE kVariablePitch = 2;

// The logical font the font mapper chooses a family for.
LOGFONT FaceOf(const CHARFORMAT& format) {
  LOGFONT font;
  std::memcpy(font.lfFaceName, format.szFaceName, sizeof(font.lfFaceName));
  font.lfFaceName[LF_FACESIZE - 1] = '\0';
  font.lfPitchAndFamily = format.bPitchAndFamily;
  font.lfCharSet = format.bCharSet;
  return font;
}

}  // namespace

QFont CharFormatToQFont(const CHARFORMAT& format) {
  QFont font(QStringList{gdi::MapFaceName(FaceOf(format))});
  const LONG height = format.yHeight > 0 ? std::min(format.yHeight, kMaxHeight) : kDefaultHeight;
  font.setPointSizeF(static_cast<double>(height) / kTwipsPerPoint);
  font.setBold((format.dwEffects & CFE_BOLD) != 0);
  font.setItalic((format.dwEffects & CFE_ITALIC) != 0);
  font.setUnderline((format.dwEffects & CFE_UNDERLINE) != 0);
  font.setStrikeOut((format.dwEffects & CFE_STRIKEOUT) != 0);
  return font;
}

CHARFORMAT QFontToCharFormat(const QFont& font, const CHARFORMAT& base) {
  CHARFORMAT out = base;
  out.cbSize = sizeof(CHARFORMAT);
  out.dwMask |= kDialogMask;
  out.dwEffects &= ~kDialogEffects;
  if (font.weight() > QFont::Normal) out.dwEffects |= CFE_BOLD;
  if (font.italic()) out.dwEffects |= CFE_ITALIC;
  if (font.underline()) out.dwEffects |= CFE_UNDERLINE;
  if (font.strikeOut()) out.dwEffects |= CFE_STRIKEOUT;

  double twips = font.pointSizeF() > 0 ? font.pointSizeF() * kTwipsPerPoint
                                       : static_cast<double>(std::max(font.pixelSize(), 0)) * kTwipsPerPixel;
  out.yHeight = twips > 0 ? static_cast<LONG>(std::lround(std::min(twips, 32767.0 * kTwipsPerPoint))) : kDefaultHeight;

  const QString family = font.family();
  if (!(base.dwMask & CFM_FACE) || base.szFaceName[0] == '\0' ||
      family.compare(gdi::MapFaceName(FaceOf(base)), Qt::CaseInsensitive) != 0) {
    const std::string face = gdi::FromQt(family);
    std::memset(out.szFaceName, 0, sizeof(out.szFaceName));
    std::memcpy(out.szFaceName, face.data(), std::min<std::size_t>(face.size(), LF_FACESIZE - 1));
    const QFontInfo info(font);
    if (info.fixedPitch()) {
      out.bPitchAndFamily = FIXED_PITCH | FF_MODERN;
    } else {
      const bool serif = family.contains(QLatin1String("Serif"), Qt::CaseInsensitive) &&
                         !family.contains(QLatin1String("Sans"), Qt::CaseInsensitive);
      out.bPitchAndFamily = kVariablePitch | (serif ? FF_ROMAN : FF_SWISS);
    }
  }
  return out;
}
