// 8-bit AVI films written byte by byte (plain or RLE8, palette changes), and any AVI without its index or cut short.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace tvn::testing {

using AviRgb = std::array<std::uint8_t, 3>;

// A change of some palette entries, taking effect at the frame it comes before.
struct AviPaletteChange {
  int first = 0;
  std::vector<AviRgb> entries;  // 1 to 256 of them from first on
};

struct AviFrame {
  std::vector<std::uint8_t> data;  // the chunk as stored (bottom row first, as DIBs are)
  bool key = true;                 // marked key in the index
  std::vector<AviPaletteChange> changes;  // chunks written before this frame's
};

struct AviFilm {
  int width = 0;
  int height = 0;
  int rate = 10;  // frames a second
  bool rle8 = false;  // frames compressed as BI_RLE8, else plain 8-bit rows
  std::vector<AviRgb> palette;  // up to 256 entries, in the format
  std::vector<AviFrame> frames;
};

// The whole file, with an index that lists every chunk.
std::vector<std::uint8_t> WriteAvi(const AviFilm& film);

// A picture of colour indexes, top row first, stored as plain 8-bit DIB rows.
std::vector<std::uint8_t> PlainRows(const std::vector<std::uint8_t>& pixels, int width, int height);
// The picture as BI_RLE8. With a previous picture only the pixels that
// differ from it are coded (the others skipped with deltas, line ends and an
// early end of the bitmap), so the frame builds on the one before.
std::vector<std::uint8_t> EncodeRle8(const std::vector<std::uint8_t>& pixels, int width, int height,
                                     const std::vector<std::uint8_t>* previous = nullptr);

// The file without its idx1 chunk: the RIFF size mended and the header's
// has-an-index flag cleared, as a capture tool that never writes one leaves it.
std::vector<std::uint8_t> WithoutIndex(const std::vector<std::uint8_t>& avi);
// The file cut short after the first stream's frames-th data chunk, its
// headers unchanged (they still promise every frame): the index at the end is lost.
std::vector<std::uint8_t> CutAfterFrames(const std::vector<std::uint8_t>& avi, int frames);

}  // namespace tvn::testing
