// Writes compressed setup files ("SZDD") for tests: literals and back references of the LZSS variant.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tvn::testing {

struct SzddOptions {
  char missingChar = 0;
  // The size written in the head; the data's length when not given.
  std::optional<std::uint32_t> statedSize;
  // Searches the window for repeats; off writes every byte as a literal.
  bool useReferences = true;
};

std::string BuildSzdd(std::string_view data, const SzddOptions& options = {});

}  // namespace tvn::testing
