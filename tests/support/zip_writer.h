// Writes small ZIP archives for tests: stored entries, folders, Unix symbolic links, other methods, encryption marks,
// data descriptors, and archives split into parts.
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
  bool dataDescriptor = false;  // general-purpose bit 3: local CRC and sizes 0, a descriptor after the data
  std::uint32_t crc = 0;        // when not 0, the CRC-32 recorded in place of the data's
};

// A complete archive; data is stored as given, its CRC-32 that of the data.
std::string BuildZip(const std::vector<ZipEntrySpec>& entries);

// The same archive split into parts of partSize bytes, as a spanning writer
// lays it out: parts[0] is stem.z01, parts[1] stem.z02, ..., parts.back()
// stem.zip. The first part starts with the split mark (0x08074b50); every
// entry's disk and offset, and the central directory's, count from their
// part; headers, data and the central directory run on across part ends.
// The end record lies whole in the last part (which may pass partSize by
// its length).
std::vector<std::string> BuildSpannedZip(const std::vector<ZipEntrySpec>& entries, std::size_t partSize);

}  // namespace tvn::testing
