// The fixed palettes and the nearest-colour search.
#include "media/palette.h"

#include <array>

int CLogPalette::GetNearestPaletteIndex(COLORREF colour) const {
  int best = 0;
  long bestDistance = -1;
  for (std::size_t i = 0; i < m_entries.size(); ++i) {
    const PaletteEntry& e = m_entries[i];
    long dr = static_cast<long>(e.red) - GetRValue(colour);
    long dg = static_cast<long>(e.green) - GetGValue(colour);
    long db = static_cast<long>(e.blue) - GetBValue(colour);
    long d = dr * dr + dg * dg + db * db;
    if (bestDistance < 0 || d < bestDistance) {
      bestDistance = d;
      best = static_cast<int>(i);
      if (d == 0) break;
    }
  }
  return best;
}

bool CLogPalette::SameColors(const CLogPalette& other) const {
  if (m_entries.size() != other.m_entries.size()) return false;
  for (std::size_t i = 0; i < m_entries.size(); ++i) {
    if (m_entries[i].Color() != other.m_entries[i].Color()) return false;
  }
  return true;
}

CLogPalette CLogPalette::Cube() {
  std::vector<PaletteEntry> entries;
  entries.reserve(216);
  // i * 255 / 6 tops out at 212, not 255: the cube never reaches full intensity.
  auto level = [](int i) { return static_cast<BYTE>(i * 255 / 6); };
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b) entries.push_back({level(r), level(g), level(b), 0});
  return CLogPalette(std::move(entries));
}

CLogPalette CLogPalette::Standard16() {
  // As 0xRRGGBB.
  static constexpr std::array<DWORD, 16> kColors = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                                    0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                                    0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  std::vector<PaletteEntry> entries;
  for (DWORD c : kColors) {
    entries.push_back({static_cast<BYTE>(c >> 16), static_cast<BYTE>(c >> 8), static_cast<BYTE>(c), 0});
  }
  return CLogPalette(std::move(entries));
}

CLogPalette CLogPalette::SystemDefault() {
  static constexpr std::array<COLORREF, 20> kColors = {
      RGB(0, 0, 0),       RGB(128, 0, 0),     RGB(0, 128, 0),     RGB(128, 128, 0),   RGB(0, 0, 128),
      RGB(128, 0, 128),   RGB(0, 128, 128),   RGB(192, 192, 192), RGB(192, 220, 192), RGB(166, 202, 240),
      RGB(255, 251, 240), RGB(160, 160, 164), RGB(128, 128, 128), RGB(255, 0, 0),     RGB(0, 255, 0),
      RGB(255, 255, 0),   RGB(0, 0, 255),     RGB(255, 0, 255),   RGB(0, 255, 255),   RGB(255, 255, 255)};
  std::vector<PaletteEntry> entries;
  for (COLORREF c : kColors) entries.push_back({GetRValue(c), GetGValue(c), GetBValue(c), 0});
  return CLogPalette(std::move(entries));
}

CLogPalette CLogPalette::Fade(COLORREF from, COLORREF to, BYTE count) {
  std::vector<PaletteEntry> entries;
  if (count == 0) return CLogPalette();
  auto step = [count](BYTE a, BYTE b) { return (static_cast<int>(b) - static_cast<int>(a)) / count; };
  int sr = step(GetRValue(from), GetRValue(to));
  int sg = step(GetGValue(from), GetGValue(to));
  int sb = step(GetBValue(from), GetBValue(to));
  for (int i = 0; i < count; ++i) {
    entries.push_back({static_cast<BYTE>(GetRValue(from) + i * sr), static_cast<BYTE>(GetGValue(from) + i * sg),
                       static_cast<BYTE>(GetBValue(from) + i * sb), PC_NOCOLLAPSE});
  }
  return CLogPalette(std::move(entries));
}
