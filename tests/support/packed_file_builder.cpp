// The packed data file layout, written from the format's rules.
#include "tests/support/packed_file_builder.h"

#include <fstream>
#include <iterator>

#include "tests/support/archive_writer.h"

namespace tvn::testing {

PackedFileBuilder& PackedFileBuilder::Add(std::string name, std::vector<std::uint8_t> bytes) {
  return AddEntry(Entry{std::move(name), std::move(bytes), std::nullopt, std::nullopt});
}

PackedFileBuilder& PackedFileBuilder::AddEntry(Entry entry) {
  m_entries.push_back(std::move(entry));
  return *this;
}

PackedFileBuilder& PackedFileBuilder::Signature(std::string signature) {
  m_signature = std::move(signature);
  return *this;
}

std::vector<std::uint8_t> PackedFileBuilder::Build() const {
  ArchiveWriter out;
  out.String(m_signature);
  out.Count(static_cast<std::uint32_t>(m_entries.size()));
  std::vector<std::size_t> offsetFields;
  for (const Entry& e : m_entries) {
    out.NewObject("CDataFileObject", 1);
    out.String(e.name);
    offsetFields.push_back(out.size());
    out.Dword(0).Dword(0);  // offset and size, filled in below
  }
  std::vector<std::uint8_t> bytes = out.bytes();
  for (std::size_t i = 0; i < m_entries.size(); ++i) {
    const Entry& e = m_entries[i];
    auto offset = static_cast<std::uint32_t>(bytes.size());
    auto size = static_cast<std::uint32_t>(e.bytes.size());
    if (e.storedOffset) offset = *e.storedOffset;
    if (e.storedSize) size = *e.storedSize;
    for (int b = 0; b < 4; ++b) {
      bytes[offsetFields[i] + static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(offset >> (8 * b));
      bytes[offsetFields[i] + 4 + static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(size >> (8 * b));
    }
    bytes.insert(bytes.end(), e.bytes.begin(), e.bytes.end());
  }
  return bytes;
}

void PackedFileBuilder::WriteTo(const std::filesystem::path& path) const { WriteBytes(path, Build()); }

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace tvn::testing
