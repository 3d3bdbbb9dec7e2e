// Writers of bitmap and RIFF palette files for tests, laid down byte by byte from the file formats.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace tvn::testing {

// One bitmap file. Colours are 0xRRGGBB; pixels are the stored pixel bytes
// (rows bottom-up, padded, or a run-length stream) exactly as given.
struct BmpFile {
  int width = 1;
  int height = 1;
  int bitCount = 24;
  std::uint32_t compression = 0;
  std::vector<std::uint32_t> colors;
  std::vector<std::uint8_t> pixels;
  bool core = false;        // 12-byte header with 3-byte colours
  bool fileHeader = true;   // the 14-byte "BM" header in front
  std::optional<std::uint32_t> clrUsed;    // default: colors.size() when it differs from 2^bitCount
  std::optional<std::uint32_t> sizeImage;  // default: pixels.size()
  std::optional<std::uint32_t> bitsOffset; // default: right behind the colour table (plus gap)
  std::uint32_t gap = 0;                   // bytes of filler between the colour table and the pixels

  std::vector<std::uint8_t> Bytes() const;
};

// Stored rows for a picture given top row first: each value is an index (1,
// 4, 8 bits), a 5-5-5 value (16 bits) or 0xRRGGBB (24, 32 bits). Rows come
// out bottom-up unless topDown, each padded to 4 bytes.
std::vector<std::uint8_t> PackRows(const std::vector<std::vector<std::uint32_t>>& rows, int bitCount,
                                   bool topDown = false);

// A RIFF "PAL " form with one "data" chunk: version, entry count, then
// red, green, blue, flags per entry. extraChunk puts a chunk named "xtra" first.
std::vector<std::uint8_t> PalFile(const std::vector<std::uint32_t>& colors, std::uint16_t version = 0x300,
                                  bool extraChunk = false);

}  // namespace tvn::testing
