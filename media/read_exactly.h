// Exact reads from a file, for readers that must tell a short file from a full one.
#pragma once

#include <algorithm>
#include <cstddef>

#include "platform/sys/file.h"

namespace tvn::dib {

// Reads exactly n bytes; false when the file ends first. File errors throw.
inline bool ReadExactly(CFile& file, BYTE* out, std::size_t n) {
  std::size_t got = 0;
  while (got < n) {
    UINT r = file.Read(out + got, static_cast<UINT>(std::min<std::size_t>(n - got, std::size_t{1} << 30)));
    if (r == 0) return false;
    got += r;
  }
  return true;
}

}  // namespace tvn::dib
