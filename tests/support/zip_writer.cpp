// The ZIP layout by hand: local headers, the central directory and its end record, CRC-32 of each entry.
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

}  // namespace

std::string BuildZip(const std::vector<ZipEntrySpec>& entries) {
  std::string out, central;
  for (const ZipEntrySpec& entry : entries) {
    const std::uint32_t offset = static_cast<std::uint32_t>(out.size());
    const std::uint32_t crc = Crc32(entry.data);
    const auto size = static_cast<std::uint32_t>(entry.data.size());
    const auto nameSize = static_cast<std::uint32_t>(entry.name.size());
    Put32(out, 0x04034b50);
    Put16(out, 20);  // version needed
    Put16(out, entry.encrypted ? 1 : 0);  // flags
    Put16(out, entry.method);
    Put16(out, 0);   // time
    Put16(out, 0x21);  // date: 1980-01-01
    Put32(out, crc);
    Put32(out, size);
    Put32(out, size);
    Put16(out, nameSize);
    Put16(out, 0);
    out += entry.name;
    out += entry.data;

    Put32(central, 0x02014b50);
    Put16(central, (3u << 8) | 20);  // made by Unix, so the mode bits count
    Put16(central, 20);
    Put16(central, entry.encrypted ? 1 : 0);
    Put16(central, entry.method);
    Put16(central, 0);
    Put16(central, 0x21);
    Put32(central, crc);
    Put32(central, size);
    Put32(central, size);
    Put16(central, nameSize);
    Put16(central, 0);  // extra
    Put16(central, 0);  // comment
    Put16(central, 0);  // disk
    Put16(central, 0);  // internal attributes
    const bool folder = !entry.name.empty() && entry.name.back() == '/';
    const std::uint32_t mode = entry.symlink ? 0120777u : folder ? 040755u : 0100644u;
    Put32(central, mode << 16);
    Put32(central, offset);
    central += entry.name;
  }
  const auto centralOffset = static_cast<std::uint32_t>(out.size());
  out += central;
  Put32(out, 0x06054b50);
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, static_cast<std::uint32_t>(entries.size()));
  Put16(out, static_cast<std::uint32_t>(entries.size()));
  Put32(out, static_cast<std::uint32_t>(central.size()));
  Put32(out, centralOffset);
  Put16(out, 0);
  return out;
}

}  // namespace tvn::testing
