// The ZIP layout by hand: local headers, the central directory and its end record, CRC-32 of each entry, and the
// cutting of one archive into parts with disk numbers.
#include "tests/support/zip_writer.h"

#include <cstdint>

namespace tvn::testing {
namespace {

std::uint32_t Crc32(std::string_view data) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char c : data) {
    crc ^= c;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void Put16(std::string& out, std::uint32_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// One archive as a single run of bytes; partSize 0 for an archive in one file.
struct Layout {
  std::string bytes;
  std::size_t lastDisk = 0;
};

Layout Lay(const std::vector<ZipEntrySpec>& entries, std::size_t partSize) {
  auto disk = [&](std::size_t pos) { return partSize ? pos / partSize : 0; };
  auto offset = [&](std::size_t pos) { return partSize ? pos % partSize : pos; };
  std::string out, central;
  if (partSize) Put32(out, 0x08074b50);  // the split mark
  std::vector<std::size_t> centralStarts;
  for (const ZipEntrySpec& entry : entries) {
    const std::size_t start = out.size();
    const std::uint32_t crc = entry.crc ? entry.crc : Crc32(entry.data);
    const auto size = static_cast<std::uint32_t>(entry.data.size());
    const auto nameSize = static_cast<std::uint32_t>(entry.name.size());
    const std::uint32_t flags = (entry.encrypted ? 1u : 0u) | (entry.dataDescriptor ? 8u : 0u);
    Put32(out, 0x04034b50);
    Put16(out, 20);  // version needed
    Put16(out, flags);
    Put16(out, entry.method);
    Put16(out, 0);     // time
    Put16(out, 0x21);  // date: 1980-01-01
    Put32(out, entry.dataDescriptor ? 0 : crc);
    Put32(out, entry.dataDescriptor ? 0 : size);
    Put32(out, entry.dataDescriptor ? 0 : size);
    Put16(out, nameSize);
    Put16(out, 0);
    out += entry.name;
    out += entry.data;
    if (entry.dataDescriptor) {
      Put32(out, 0x08074b50);
      Put32(out, crc);
      Put32(out, size);
      Put32(out, size);
    }

    centralStarts.push_back(central.size());
    Put32(central, 0x02014b50);
    Put16(central, (3u << 8) | 20);  // made by Unix, so the mode bits count
    Put16(central, 20);
    Put16(central, flags);
    Put16(central, entry.method);
    Put16(central, 0);
    Put16(central, 0x21);
    Put32(central, crc);
    Put32(central, size);
    Put32(central, size);
    Put16(central, nameSize);
    Put16(central, 0);  // extra
    Put16(central, 0);  // comment
    Put16(central, static_cast<std::uint32_t>(disk(start)));
    Put16(central, 0);  // internal attributes
    const bool folder = !entry.name.empty() && entry.name.back() == '/';
    const std::uint32_t mode = entry.symlink ? 0120777u : folder ? 040755u : 0100644u;
    Put32(central, mode << 16);
    Put32(central, static_cast<std::uint32_t>(offset(start)));
    central += entry.name;
  }
  const std::size_t centralOffset = out.size();
  out += central;
  const std::size_t lastDisk = disk(out.size());
  std::uint32_t entriesHere = 0;
  for (std::size_t start : centralStarts) entriesHere += disk(centralOffset + start) == lastDisk;
  Put32(out, 0x06054b50);
  Put16(out, static_cast<std::uint32_t>(lastDisk));
  Put16(out, static_cast<std::uint32_t>(disk(centralOffset)));
  Put16(out, entriesHere);
  Put16(out, static_cast<std::uint32_t>(entries.size()));
  Put32(out, static_cast<std::uint32_t>(central.size()));
  Put32(out, static_cast<std::uint32_t>(offset(centralOffset)));
  Put16(out, 0);
  return {std::move(out), lastDisk};
}

}  // namespace

std::string BuildZip(const std::vector<ZipEntrySpec>& entries) { return Lay(entries, 0).bytes; }

std::vector<std::string> BuildSpannedZip(const std::vector<ZipEntrySpec>& entries, std::size_t partSize) {
  const Layout layout = Lay(entries, partSize);
  std::vector<std::string> parts;
  for (std::size_t d = 0; d < layout.lastDisk; ++d) parts.push_back(layout.bytes.substr(d * partSize, partSize));
  parts.push_back(layout.bytes.substr(layout.lastDisk * partSize));
  return parts;
}

}  // namespace tvn::testing
