// Fuzzes the cursor-file reader: the icon directory checks and the image
// decoding behind them.
#include <cstdint>

#include "platform/cursor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CursorPtr cursor = LoadCursorFromBytes(data, size);
  (void)CursorSystemId(cursor.get());
  return 0;
}
