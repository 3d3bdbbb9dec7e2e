// Writes packed data files for tests: the signature, the directory and every entry's bytes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tvn::testing {

class PackedFileBuilder {
 public:
  struct Entry {
    std::string name;
    std::vector<std::uint8_t> bytes;
    // Stored values that differ from where the bytes really land (damaged directories).
    std::optional<std::uint32_t> storedOffset;
    std::optional<std::uint32_t> storedSize;
  };

  PackedFileBuilder& Add(std::string name, std::vector<std::uint8_t> bytes);
  PackedFileBuilder& Add(std::string name, const std::string& text) {
    return Add(std::move(name), std::vector<std::uint8_t>(text.begin(), text.end()));
  }
  PackedFileBuilder& AddEntry(Entry entry);
  PackedFileBuilder& Signature(std::string signature);

  // The whole file: entries' bytes follow the directory in the order they were added.
  std::vector<std::uint8_t> Build() const;
  void WriteTo(const std::filesystem::path& path) const;

 private:
  std::string m_signature = "TVN_DataFile";
  std::vector<Entry> m_entries;
};

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path);

}  // namespace tvn::testing
