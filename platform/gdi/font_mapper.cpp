#include "platform/gdi/font_mapper.h"

#include <QFontDatabase>
#include <QFontMetrics>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/base/cstring.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/gui_application.h"
#include "platform/gdi/qt_text.h"

namespace gdi {

namespace {

constexpr int kDefaultCellHeight = 16;  // what a height of 0 asks for

constexpr const char* kSans = "Liberation Sans";
constexpr const char* kSerif = "Liberation Serif";
constexpr const char* kMono = "Liberation Mono";

// The Windows faces that courses name, and the installed family drawn for each.
struct FaceSubstitute {
  const char* windowsFace;
  const char* family;
};
constexpr FaceSubstitute kSubstitutes[] = {
    {"arial", kSans},           {"helvetica", kSans},      {"ms sans serif", kSans},
    {"system", kSans},          {"tahoma", kSans},         {"verdana", kSans},
    {"arial narrow", "Liberation Sans Narrow"},
    {"times new roman", kSerif}, {"times", kSerif},        {"ms serif", kSerif},
    {"courier new", kMono},     {"courier", kMono},        {"fixedsys", kMono},
    {"terminal", kMono},        {"lucida console", kMono},
};

}  // namespace

bool FontDatabaseAvailable() { return GuiApplication() != nullptr; }

QString MapFaceName(const LOGFONT& font) {
  const CString face(font.lfFaceName, static_cast<int>(strnlen(font.lfFaceName, LF_FACESIZE)));
  const QString name = ToQt(face).trimmed();
  if (!name.isEmpty()) {
    // A face that is really installed (a course's own font) wins over the table.
    if (FontDatabaseAvailable() && QFontDatabase::hasFamily(name)) return name;
    const std::string lower = name.toLower().toStdString();
    for (const FaceSubstitute& s : kSubstitutes)
      if (lower == s.windowsFace) return QString::fromLatin1(s.family);
  }
  const BYTE family = font.lfPitchAndFamily & 0xF0;
  if (family == FF_ROMAN) return QString::fromLatin1(kSerif);
  if (family == FF_MODERN || (font.lfPitchAndFamily & 0x03) == FIXED_PITCH) return QString::fromLatin1(kMono);
  return QString::fromLatin1(kSans);
}

QFont MakeQFont(const LOGFONT& lf) {
  QFont font(MapFaceName(lf));
  font.setStyleStrategy(lf.lfQuality == NONANTIALIASED_QUALITY ? QFont::NoAntialias : QFont::PreferDefault);
  font.setKerning(false);  // extents are sums of advances, and drawing must agree with them
  const LONG weight = lf.lfWeight <= 0 ? FW_NORMAL : std::min<LONG>(lf.lfWeight, 1000);
  font.setWeight(static_cast<QFont::Weight>(weight));
  font.setItalic(lf.lfItalic != 0);
  font.setUnderline(lf.lfUnderline != 0);
  font.setStrikeOut(lf.lfStrikeOut != 0);

  // Negative: the character height (em) in pixels. Positive: the cell height
  // (ascent + descent), reached by scaling with the face's own proportions.
  const long long stored = lf.lfHeight;
  if (stored < 0) {
    font.setPixelSize(static_cast<int>(std::min<long long>(-stored, kMaxFontPixelHeight)));
  } else {
    const int cell = stored == 0 ? kDefaultCellHeight : static_cast<int>(std::min<long long>(stored, kMaxFontPixelHeight));
    font.setPixelSize(cell);
    const int measured = QFontMetrics(font).height();
    if (measured > 0 && measured != cell)
      font.setPixelSize(std::max(1, static_cast<int>(std::lround(static_cast<double>(cell) * cell / measured))));
  }
  if (lf.lfWidth > 0) {
    const int natural = QFontMetrics(font).averageCharWidth();
    if (natural > 0) {
      const long long stretch = static_cast<long long>(std::min<LONG>(lf.lfWidth, kMaxFontPixelHeight)) * 100 / natural;
      font.setStretch(static_cast<int>(std::clamp<long long>(stretch, 1, 4000)));
    }
  }
  return font;
}

}  // namespace gdi
