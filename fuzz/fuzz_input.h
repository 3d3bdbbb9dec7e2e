// The fuzzer's bytes read one at a time: zero once they run out, and short
// texts of a length byte and that many bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct FuzzInput {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t pos = 0;
  bool More() const { return pos < size; }
  std::uint8_t Byte() { return pos < size ? data[pos++] : 0; }
  std::string Text() {
    std::string text;
    for (std::size_t n = Byte() % 24; n > 0 && More(); --n) text.push_back(static_cast<char>(Byte()));
    return text;
  }
};
