// Logical fonts from their stored bytes, every read inside the bytes given.
#include "platform/gdi/log_font_bytes.h"

#include <algorithm>
#include <cstring>

namespace gdi {

namespace {

constexpr std::size_t kStyleBytes = 8;
constexpr std::size_t kStyleOffset = 20;  // after the five 32-bit fields

LONG LongAt(std::span<const BYTE> p) {
  return static_cast<LONG>(static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) |
                           (static_cast<DWORD>(p[2]) << 16) | (static_cast<DWORD>(p[3]) << 24));
}

}  // namespace

void ReadFontStyleAndFace(std::span<const BYTE> stored, LOGFONT& font) {
  if (stored.size() < kStyleBytes) return;
  font.lfItalic = stored[0];
  font.lfUnderline = stored[1];
  font.lfStrikeOut = stored[2];
  font.lfCharSet = stored[3];
  font.lfOutPrecision = stored[4];
  font.lfClipPrecision = stored[5];
  font.lfQuality = stored[6];
  font.lfPitchAndFamily = stored[7];
  const std::span<const BYTE> face = stored.subspan(kStyleBytes);
  const std::size_t faceBytes = std::min<std::size_t>(face.size(), LF_FACESIZE - 1);
  std::memset(font.lfFaceName, 0, sizeof font.lfFaceName);
  std::memcpy(font.lfFaceName, face.data(), faceBytes);
}

LOGFONT ReadLogFont(std::span<const BYTE, kLogFontBytes> stored) {
  LOGFONT font;
  font.lfHeight = LongAt(stored.subspan(0, 4));
  font.lfWidth = LongAt(stored.subspan(4, 4));
  font.lfEscapement = LongAt(stored.subspan(8, 4));
  font.lfOrientation = LongAt(stored.subspan(12, 4));
  font.lfWeight = LongAt(stored.subspan(16, 4));
  ReadFontStyleAndFace(stored.subspan(kStyleOffset), font);
  return font;
}

}  // namespace gdi
