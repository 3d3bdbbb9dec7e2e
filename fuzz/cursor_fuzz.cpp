// Fuzzes the cursor file reader with arbitrary bytes.
#include <cstdint>
#include <span>

#include "platform/user/cursor_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto image = ReadCursorFile(std::span<const BYTE>(data, size));
  if (image && image->argb.size() != static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height))
    __builtin_trap();
  return 0;
}
