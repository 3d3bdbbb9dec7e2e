// Fuzzes the LZ expander: the output never passes the stated size, and the data behind a head is read as LZSS.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "setuptools/common/lz_expand.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string out = ExpandSzdd(bytes);
  if (auto header = ReadSzddHeader(bytes)) {
    if (out.size() > header->expandedSize) std::abort();
  } else if (out != bytes) {
    std::abort();
  }
  SzddExpandedName("A.TX_", bytes);
  return 0;
}
