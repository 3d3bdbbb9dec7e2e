// Writes small ZIP archives for tests: stored entries, folders, Unix symbolic links, other methods and encryption marks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tvn::testing {

struct ZipEntrySpec {
  std::string name;
  std::string data;
  bool symlink = false;      // a Unix link whose target is data
  std::uint16_t method = 0;  // the compression method recorded; data is written as given whatever it is
  bool encrypted = false;    // marks the entry encrypted (general-purpose bit 0); data is written as given
};

// A complete archive; data is stored as given, its CRC-32 that of the data.
std::string BuildZip(const std::vector<ZipEntrySpec>& entries);

}  // namespace tvn::testing
