// The packed device-independent bitmap: header forms, colour tables, row layout and validation.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "platform/base/win_types.h"

namespace tvn::dib {

// Header sizes: the core form (12 bytes, 16-bit sides, 3-byte colours) and the
// info form (40 bytes, 32-bit sides, 4-byte colours); a file adds 14 bytes.
constexpr DWORD kCoreHeaderSize = 12;
constexpr DWORD kInfoHeaderSize = 40;
constexpr DWORD kFileHeaderSize = 14;
constexpr WORD kBmSignature = 0x4D42;  // "BM"

// Compressions: plain rows, 8-bit runs, 4-bit runs.
constexpr DWORD kRgb = 0;
constexpr DWORD kRle8 = 1;
constexpr DWORD kRle4 = 2;

// Colour usage of a colour table: RGB values, or 16-bit indices into a palette.
constexpr int kRgbColors = 0;
constexpr int kPalColors = 1;

// Caps on what a picture may claim, so a forged header cannot ask for gigabytes.
constexpr LONG kMaxSide = 16384;
constexpr ULONGLONG kMaxImageBytes = 256ull * 1024 * 1024;
// No index reaches past 256 colours: a longer table is kept to its first 256.
constexpr DWORD kMaxColors = 256;

// The info header's fields, also used for a core header widened to them.
struct InfoHeader {
  DWORD size = kInfoHeaderSize;
  LONG width = 0;
  LONG height = 0;  // negative for rows stored top-down
  WORD planes = 1;
  WORD bitCount = 0;
  DWORD compression = kRgb;
  DWORD sizeImage = 0;
  LONG xPelsPerMeter = 0;
  LONG yPelsPerMeter = 0;
  DWORD clrUsed = 0;
  DWORD clrImportant = 0;
};

// Little-endian access to bytes whose bounds the caller has checked.
inline WORD Le16(const BYTE* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }
inline DWORD Le32(const BYTE* p) {
  return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) | (static_cast<DWORD>(p[2]) << 16) |
         (static_cast<DWORD>(p[3]) << 24);
}
inline void PutLe16(BYTE* p, WORD v) {
  p[0] = static_cast<BYTE>(v);
  p[1] = static_cast<BYTE>(v >> 8);
}
inline void PutLe32(BYTE* p, DWORD v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<BYTE>(v >> (8 * i));
}

// Reads a 12- or 40-byte header from n bytes, widening a core header (the
// rest of its fields 0). Nothing for a short buffer or another size.
std::optional<InfoHeader> ParseHeader(const BYTE* p, std::size_t n);
// Writes the 40-byte info form.
void StoreInfoHeader(const InfoHeader& h, BYTE* out);

// Colours in the table: colours used when non-zero (info form), else by bit
// count: 1 -> 2, 4 -> 16, 8 -> 256, others none.
DWORD NumColors(const InfoHeader& h);
// Bytes of the colour table: 3 per colour in the core form, 4 in the info form.
std::size_t PaletteSize(const InfoHeader& h);
// Bytes per row, padded to 4.
ULONGLONG RowStride(WORD bitCount, LONG width);
// Bytes of uncompressed pixels.
ULONGLONG UncompressedSize(const InfoHeader& h);

// Whether bit count and compression belong together: 1, 4, 8, 16, 24, 32
// plain; 8 with RLE8; 4 with RLE4. The core form knows only 1, 4, 8, 24.
bool IsSupportedFormat(const InfoHeader& h);

// A packed DIB checked against its own bytes: where the table and pixels are.
struct Layout {
  InfoHeader header;  // widened; sizeImage and clrUsed filled in
  bool core = false;
  std::size_t headerBytes = 0;
  DWORD colors = 0;            // entries used, at most kMaxColors
  std::size_t tableBytes = 0;  // the whole stored table
  std::size_t bitsOffset = 0;
  std::size_t imageBytes = 0;  // pixel bytes present (the run stream for RLE)
  std::size_t stride = 0;
  int width = 0;
  int height = 0;  // always positive
  bool topDown = false;

  bool IsRle() const { return header.compression == kRle8 || header.compression == kRle4; }
  // Offset of memory row r (0 = first row stored) of uncompressed pixels.
  std::size_t RowOffset(int r) const { return bitsOffset + static_cast<std::size_t>(r) * stride; }
  // Memory row of picture row y (0 = top).
  int MemoryRow(int y) const { return topDown ? y : height - 1 - y; }
};

// Checks every field of a packed DIB against the caps and the bytes it has:
// a supported format, sides within the caps, the whole colour table (of any
// length) and (uncompressed) all rows present. Nothing when any check fails.
// Without needPixels only the header and colour table must be there.
std::optional<Layout> Describe(const BYTE* dib, std::size_t n, bool needPixels = true);
inline std::optional<Layout> Describe(const std::vector<BYTE>& dib, bool needPixels = true) {
  return Describe(dib.data(), dib.size(), needPixels);
}

// The colour-table entry i as COLORREF (red in the low byte).
COLORREF TableColor(const BYTE* dib, const Layout& l, DWORD i);

}  // namespace tvn::dib
