// Turning the pixels of a packed DIB into colour indices or 32-bit pixels.
#pragma once

#include <cstddef>
#include <vector>

#include "media/dib_format.h"
#include "media/palette.h"
#include "platform/gdi/pixel_image.h"

namespace tvn::dib {

// Decodes a run-length stream (8-bit or 4-bit runs) into an index map of
// width x height, top row first. Runs, literal runs, end of line, end of
// bitmap and delta moves are followed; whatever would land outside the
// bitmap is dropped and decoding stops at the end of the stream. Pixels the
// stream never reaches stay 0.
void DecodeRle(const BYTE* stream, std::size_t n, bool fourBit, int width, int height, std::vector<BYTE>& indices);

// The colour index of pixel x in a row of 1, 4 or 8 bits per pixel.
inline BYTE IndexAt(const BYTE* row, WORD bitCount, int x) {
  switch (bitCount) {
    case 1: return static_cast<BYTE>((row[x / 8] >> (7 - x % 8)) & 1);
    case 4: return static_cast<BYTE>((x & 1) ? (row[x / 2] & 0x0F) : (row[x / 2] >> 4));
    default: return row[x];
  }
}

// The colour indices of a DIB of 8 bits or fewer, top row first; empty for
// deeper DIBs.
std::vector<BYTE> DecodeIndices(const BYTE* dib, const Layout& l);

// The picture as 32-bit pixels. With usage kPalColors the colour table holds
// 16-bit indices into the palette. An index past the colours gives black.
// A null image when the DIB fails its layout checks or its 32-bit form
// would pass the 256 MiB cap.
CPixelImage DecodeToImage(const std::vector<BYTE>& dib, int usage = kRgbColors, const CLogPalette* palette = nullptr);

// The colour of a 16-bit 5-5-5 pixel, each field widened by repeating its top bits.
COLORREF Color555(WORD v);

}  // namespace tvn::dib
