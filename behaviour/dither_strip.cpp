// The dither strip, built from the 8 x 8 ordered-dither (Bayer) matrix.
#include "behaviour/dither_strip.h"

#include <array>
#include <vector>

#include "platform/gdi/bitmap.h"

namespace {

// Threshold of each pixel: a cell with level n sets the pixels below 4 n.
constexpr std::array<std::array<int, 8>, 8> kBayer = {{
    {0, 32, 8, 40, 2, 34, 10, 42},
    {48, 16, 56, 24, 50, 18, 58, 26},
    {12, 44, 4, 36, 14, 46, 6, 38},
    {60, 28, 52, 20, 62, 30, 54, 22},
    {3, 35, 11, 43, 1, 33, 9, 41},
    {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37},
    {63, 31, 55, 23, 61, 29, 53, 21},
}};

}  // namespace

BOOL MakeDitherStrip(CBitmap& strip) {
  constexpr int width = 8 * kDitherCells;
  constexpr int rowBytes = ((width + 15) / 16) * 2;  // rows padded to 16 bits
  std::vector<unsigned char> bits(static_cast<std::size_t>(rowBytes) * 8, 0);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < width; ++x) {
      const int level = x / 8;
      if (kBayer[static_cast<std::size_t>(y)][static_cast<std::size_t>(x % 8)] < 4 * level)
        bits[static_cast<std::size_t>(y * rowBytes + x / 8)] |= static_cast<unsigned char>(0x80 >> (x % 8));
    }
  return strip.CreateBitmap(width, 8, 1, 1, bits.data());
}
