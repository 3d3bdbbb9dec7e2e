// Fuzzes the version-resource reader of PE images.
#include <cstdint>
#include <string_view>

#include "platform/sys/file_version.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tvn::sys::ParseVersionResource(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
