// A small cursor file (".cur") for tests: 16 by 16, 32 bits, a hot spot of one's choosing.
#pragma once

#include <cstdint>
#include <vector>

namespace tvn::testing {

inline std::vector<std::uint8_t> CursorFileBytes(unsigned hotX = 5, unsigned hotY = 7) {
  constexpr unsigned kSize = 16;
  constexpr unsigned kImage = 40 + kSize * kSize * 4 + kSize * 4;  // header, pixels, AND mask
  std::vector<std::uint8_t> b(6 + 16 + kImage, 0);
  auto word = [&b](std::size_t at, unsigned v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
  };
  auto dword = [&](std::size_t at, unsigned v) {
    word(at, v & 0xFFFF);
    word(at + 2, v >> 16);
  };
  word(2, 2);  // a cursor file
  word(4, 1);  // one image
  b[6] = kSize;
  b[7] = kSize;
  word(10, hotX);
  word(12, hotY);
  dword(14, kImage);
  dword(18, 22);
  const std::size_t h = 22;
  dword(h, 40);
  dword(h + 4, kSize);
  dword(h + 8, kSize * 2);
  word(h + 12, 1);
  word(h + 14, 32);
  for (std::size_t i = h + 40; i < h + 40 + kSize * kSize * 4; i += 4) {
    b[i] = 0x20;
    b[i + 3] = 0xFF;
  }
  return b;
}

}  // namespace tvn::testing
