// Display depth decisions and the profile forms of window placements and fonts.
#include "model/system_queries.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "platform/base/codepage.h"
#include "platform/base/number_text.h"

namespace {

// Reads the conversions of a scanf-like format one at a time, as scanf does:
// numbers skip leading blanks; a character takes the next byte as it is.
class FieldScanner {
 public:
  explicit FieldScanner(std::string_view text) : m_text(text) {}

  std::optional<long long> Number() {
    auto parsed = tvn::numtext::ParseIntegerPrefix(m_text.substr(m_pos));
    if (!parsed) return std::nullopt;
    m_pos += parsed->consumed;
    return parsed->value;
  }
  std::optional<char> Char() {
    if (m_pos >= m_text.size()) return std::nullopt;
    return m_text[m_pos++];
  }
  bool Literal(char c) {
    if (m_pos >= m_text.size() || m_text[m_pos] != c) return false;
    ++m_pos;
    return true;
  }
  std::string_view Rest() const { return m_text.substr(m_pos); }

 private:
  std::string_view m_text;
  std::size_t m_pos = 0;
};

}  // namespace

BOOL IsWindowsNt4() { return TRUE; }

int BitDepthFromFormat(DWORD compression, int bitCount, DWORD redMask, DWORD greenMask, DWORD blueMask) {
  if (compression != DeviceFormat::kRgb && compression != DeviceFormat::kBitFields) return 0;
  switch (bitCount) {
    case 1:
    case 4:
    case 8:
    case 24:
    case 32: return bitCount;
    case 15:
    case 16:
      if (compression != DeviceFormat::kBitFields) return 15;
      if (redMask == 0xF800 && greenMask == 0x07E0 && blueMask == 0x001F) return 16;
      return 15;
    default: return 0;
  }
}

int GetDisplayBitDepth(const char* deviceName) {
  if (deviceName && tvn::codepage::CompareNoCase(deviceName, "DISPLAY") != 0) return 0;
  // The display is always 32-bit true colour without bit fields.
  return BitDepthFromFormat(DeviceFormat::kRgb, 32, 0, 0, 0);
}

BOOL ParseWindowPlacement(std::string_view value, WINDOWPLACEMENT& out) {
  FieldScanner scan(value);
  long long fields[10] = {};
  for (int i = 0; i < 10; ++i) {
    if (i > 0 && !scan.Literal(',')) return FALSE;
    auto n = scan.Number();
    if (!n) return FALSE;
    fields[i] = *n;
  }
  WINDOWPLACEMENT wp;
  wp.length = sizeof(WINDOWPLACEMENT);
  wp.flags = static_cast<UINT>(fields[0]);
  wp.showCmd = static_cast<UINT>(fields[1]);
  LONG* rest[] = {&wp.minX, &wp.minY, &wp.maxX, &wp.maxY, &wp.normalLeft, &wp.normalTop, &wp.normalRight,
                  &wp.normalBottom};
  for (int i = 0; i < 8; ++i) *rest[i] = static_cast<LONG>(fields[i + 2]);
  out = wp;
  return TRUE;
}

BOOL GetProfileWindowPlacement(IProfileValues& profile, const CString& section, const CString& key,
                               WINDOWPLACEMENT& out) {
  CString value = profile.GetProfileString(section, key, CString());
  if (value.IsEmpty()) return FALSE;
  return ParseWindowPlacement(value.view(), out);
}

void WriteProfileWindowPlacement(IProfileValues&, const CString&, const CString&, const WINDOWPLACEMENT&) {
  // Placements are never written: the runtime keeps no settings of its own.
}

BOOL ParseProfileFont(std::string_view value, const LOGFONT& defaultFont, LOGFONT& out) {
  if (value.empty()) return FALSE;
  FieldScanner scan(value);
  LOGFONT font;
  auto parse = [&]() -> bool {
    LONG* numbers[] = {&font.lfHeight, &font.lfWidth, &font.lfEscapement, &font.lfOrientation, &font.lfWeight};
    for (int i = 0; i < 5; ++i) {
      if (i > 0 && !scan.Literal(',')) return false;
      auto n = scan.Number();
      if (!n) return false;
      *numbers[i] = static_cast<LONG>(*n);
    }
    BYTE* bytes[] = {&font.lfItalic,        &font.lfUnderline,     &font.lfStrikeOut, &font.lfCharSet,
                     &font.lfOutPrecision,  &font.lfClipPrecision, &font.lfQuality,   &font.lfPitchAndFamily};
    for (BYTE* b : bytes) {
      if (!scan.Literal(',')) return false;
      auto c = scan.Char();
      if (!c) return false;
      *b = static_cast<BYTE>(*c);
    }
    if (!scan.Literal(',')) return false;
    std::string_view face = scan.Rest();
    if (face.empty()) return false;
    std::size_t n = std::min<std::size_t>(face.size(), LF_FACESIZE - 1);
    std::memcpy(font.lfFaceName, face.data(), n);
    return true;
  };
  if (!parse()) {
    out = defaultFont;
    return FALSE;
  }
  out = font;
  return TRUE;
}

BOOL GetProfileFont(IProfileValues& profile, const CString& section, const CString& key, const LOGFONT& defaultFont,
                    LOGFONT& out) {
  return ParseProfileFont(profile.GetProfileString(section, key, CString()).view(), defaultFont, out);
}

void WriteProfileFont(IProfileValues&, const CString&, const CString&, const LOGFONT&) {
  // Fonts are never written: the runtime keeps no settings of its own.
}
