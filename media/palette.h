// Logical palettes kept as data: entries, the fixed palettes the pictures use, and nearest-colour search.
#pragma once

#include <memory>
#include <vector>

#include "platform/base/win_types.h"

// One palette entry: red, green, blue and the entry's flags.
struct PaletteEntry {
  BYTE red = 0;
  BYTE green = 0;
  BYTE blue = 0;
  BYTE flags = 0;
  bool operator==(const PaletteEntry&) const = default;
  COLORREF Color() const { return RGB(red, green, blue); }
};

// Entry flag: the entry keeps its own slot rather than sharing a matching one.
constexpr BYTE PC_NOCOLLAPSE = 0x04;

// A logical palette as the LOGPALETTE record describes it (version 0x300).
// The display is true colour, so a palette is never realized: it stays data
// for colour tables, palette files and conversions of pictures.
class CLogPalette {
 public:
  static constexpr WORD kVersion = 0x300;

  CLogPalette() = default;
  explicit CLogPalette(std::vector<PaletteEntry> entries) : m_entries(std::move(entries)) {}

  int GetEntryCount() const { return static_cast<int>(m_entries.size()); }
  const std::vector<PaletteEntry>& Entries() const { return m_entries; }
  std::vector<PaletteEntry>& Entries() { return m_entries; }

  // The index of the entry closest to the colour (squared RGB distance, the
  // first of equals); 0 for an empty palette.
  int GetNearestPaletteIndex(COLORREF colour) const;

  // Same colours in the same order; flags do not count.
  bool SameColors(const CLogPalette& other) const;

  // 216 entries, red outer, green middle, blue inner, each i * 255 / 6.
  static CLogPalette Cube();
  // The 16 colours new pictures and 4-bit conversions start with.
  static CLogPalette Standard16();
  // The 20 static colours of the system's default palette.
  static CLogPalette SystemDefault();
  // count entries stepping from one colour towards another by (to - from) / count.
  static CLogPalette Fade(COLORREF from, COLORREF to, BYTE count);

 private:
  std::vector<PaletteEntry> m_entries;
};

// A palette as the picture code hands it round: shared, null when absent.
using PaletteHandle = std::shared_ptr<CLogPalette>;
