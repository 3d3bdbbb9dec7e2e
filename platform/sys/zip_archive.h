// ZipArchive: a reader of single-file ZIP archives on libzip, entry by entry, with sizes and kinds checked.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/sys/zip_reader.h"

namespace tvn::sys {

class ZipArchive final : public ZipReader {
 public:
  enum class OpenError { kNone, kMissing, kDamaged, kMultiDisk };

  ~ZipArchive();
  ZipArchive(const ZipArchive&) = delete;
  ZipArchive& operator=(const ZipArchive&) = delete;

  // The archive, or nothing with the reason: kMissing when the file does not
  // exist, kMultiDisk for the last part of an archive split across disks
  // (which SpannedZipArchive reads), kDamaged for anything else that is not
  // a readable archive.
  static std::unique_ptr<ZipArchive> Open(const std::filesystem::path& path, OpenError* error = nullptr);

  std::size_t Count() const override;
  std::optional<ZipEntryInfo> Entry(std::size_t index) const override;
  bool ExtractTo(std::size_t index, const std::filesystem::path& target, std::string* error,
                 const CopyProgress& progress) override;

 private:
  struct Impl;
  explicit ZipArchive(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> m_impl;
};

}  // namespace tvn::sys
