// Small helpers shared by the picture tests.
#pragma once

#include <cstdint>
#include <vector>

#include "media/dib.h"
#include "platform/sys/file.h"

namespace tvn::testing {

// Reads a DIB from bytes the way a disk file would be read.
inline std::vector<BYTE> ReadDibBytes(const std::vector<std::uint8_t>& bytes) {
  CMemFile file(bytes.data(), bytes.size());
  return CDib::ReadFromFile(file);
}

// A CDib holding the DIB read from the bytes.
inline CDib DibFrom(const std::vector<std::uint8_t>& bytes) {
  CDib dib;
  dib.hDib = ReadDibBytes(bytes);
  return dib;
}

inline COLORREF PixelAt(const CDib& dib, int x, int y) {
  COLORREF c = 0xDEADBEEF;
  return dib.GetPixel(x, y, c) ? c : 0xDEADBEEF;
}

}  // namespace tvn::testing
