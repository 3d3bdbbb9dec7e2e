// Fuzzes the registry's root-file reader: any text either fails or reads
// back from what it writes as the very same text.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/sys/registry_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tvn::sys::RegistryFile registry;
  if (!registry.Parse(std::string_view(reinterpret_cast<const char*>(data), size))) return 0;
  const std::string text = registry.Text();
  tvn::sys::RegistryFile again;
  if (!again.Parse(text) || again.Text() != text || again.KeyCount() != registry.KeyCount()) std::abort();
  return 0;
}
