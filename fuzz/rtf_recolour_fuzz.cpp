// Fuzzes the RTF colour rewrite: any text, rewritten or refused and left as it was.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "controls/rtf_recolour.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  CString text(input);
  const COLORREF colour = size ? RGB(data[0], data[size / 2], data[size - 1]) : 0;
  if (!RecolourRtfText(text, colour) && text.view() != input) std::abort();
  return 0;
}
