// Building packed DIBs from 32-bit pixels in a chosen depth and compression.
#pragma once

#include <vector>

#include "media/dib_format.h"
#include "media/palette.h"
#include "platform/gdi/pixel_image.h"

namespace tvn::dib {

// A packed DIB (info form, rows bottom-up) of the picture in bitCount bits
// (1, 4, 8, 16, 24 or 32; plain, or RLE8 with 8 bits, RLE4 with 4 bits).
// Depths of 8 bits or fewer index a colour table: black and white for 1
// bit; the palette when it fits the depth; else the 16 standard colours for
// 4 bits and the palette's first 256 entries (the system's static colours
// without one) for 8 bits. Each pixel takes its nearest colour. With usage
// kPalColors the table holds 16-bit indices 0, 1, 2... instead of colours.
// Empty for an unsupported pair or a null picture.
std::vector<BYTE> EncodeDib(const CPixelImage& image, WORD bitCount, DWORD compression,
                            const CLogPalette* palette = nullptr, int usage = kRgbColors);

// The run-length stream of an index map (top row first): encoded runs only,
// each row closed by end of line and the last by end of bitmap.
std::vector<BYTE> EncodeRle(const std::vector<BYTE>& indices, int width, int height, bool fourBit);

}  // namespace tvn::dib
