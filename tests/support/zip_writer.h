// Writes small ZIP archives for tests: stored entries, folders and Unix symbolic links.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tvn::testing {

struct ZipEntrySpec {
  std::string name;
  std::string data;
  bool symlink = false;  // a Unix link whose target is data
};

// A complete archive with every entry stored (no compression).
std::string BuildZip(const std::vector<ZipEntrySpec>& entries);

}  // namespace tvn::testing
