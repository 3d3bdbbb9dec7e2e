// ZipArchive: a reader of ZIP archives on libzip, entry by entry, with sizes and kinds checked.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace tvn::sys {

struct ZipEntryInfo {
  std::string name;  // as stored, '/' separating folders
  std::uint64_t size = 0;
  bool isDirectory = false;      // the name ends with '/'
  bool isSymlink = false;        // a Unix symbolic link entry
  std::uint16_t method = 0;      // the compression method as stored (0 stored, 8 deflated, ...)
  bool methodSupported = false;  // the data can be decompressed here
  bool encrypted = false;        // the data is encrypted (no password is ever given)
};

class ZipArchive {
 public:
  enum class OpenError { kNone, kMissing, kDamaged };

  ~ZipArchive();
  ZipArchive(const ZipArchive&) = delete;
  ZipArchive& operator=(const ZipArchive&) = delete;

  // The archive, or nothing with the reason: kMissing when the file does not
  // exist, kDamaged for anything that is not a readable archive.
  static std::unique_ptr<ZipArchive> Open(const std::filesystem::path& path, OpenError* error = nullptr);

  std::size_t Count() const;
  std::optional<ZipEntryInfo> Entry(std::size_t index) const;

  // Writes the entry's data to a new file at target (created exclusive, never
  // through a symbolic link). Never more than the entry's stated size; a
  // checksum or length mismatch fails and removes the partial file. False
  // with error set on any failure.
  bool ExtractTo(std::size_t index, const std::filesystem::path& target, std::string* error) const;

 private:
  struct Impl;
  explicit ZipArchive(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> m_impl;
};

}  // namespace tvn::sys
