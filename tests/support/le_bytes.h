// Little-endian numbers appended to, or written into, the bytes of a test file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tvn::testing {

inline void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

inline void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

inline void Set16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  out[at] = static_cast<std::uint8_t>(v);
  out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

inline void Set32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  Set16(out, at, v & 0xFFFF);
  Set16(out, at + 2, v >> 16);
}

}  // namespace tvn::testing
