// A writer of Photo CD files for tests: the header and the three plain packs, colours by the published PhotoYCC transform.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace tvn::testing {

// The stored luma and chroma of one colour (0xRRGGBB): L = 0.299 R + 0.587 G
// + 0.114 B; Y = L / 1.3584, C1 = (B - L) / 2.2179 + 156, C2 = (R - L) /
// 1.8215 + 137, each rounded and kept to a byte.
struct PhotoYcc {
  std::uint8_t y;
  std::uint8_t c1;
  std::uint8_t c2;
};
PhotoYcc ToPhotoYcc(std::uint32_t rgb);

// One file. Each pack is drawn at its own size (192x128, 384x256, 768x512) by
// colour(x, y, width, height) giving 0xRRGGBB; the chroma of each 2x2 block is
// the mean of its four pixels'.
struct PcdFile {
  std::function<std::uint32_t(int x, int y, int width, int height)> colour;
  int rotation = 0;         // stored in the low two bits of byte 0xE02
  int packs = 3;            // how many packs are written: 1 stops after Base/16
  bool signature = true;    // "PCD_IPI" at 0x800

  std::vector<std::uint8_t> Bytes() const;
};

// Four quadrants of a picture, top-left, top-right, bottom-left, bottom-right.
std::function<std::uint32_t(int, int, int, int)> Quadrants(std::uint32_t topLeft, std::uint32_t topRight,
                                                           std::uint32_t bottomLeft, std::uint32_t bottomRight);

}  // namespace tvn::testing
