// SpannedZipArchive: a reader of ZIP archives split across disks (parts stem.z01, stem.z02, ..., stem.zip), on zlib.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/sys/zip_reader.h"

namespace tvn::sys {

// Where the parts of a split archive are found.
class IZipPartSource {
 public:
  virtual ~IZipPartSource() = default;
  // The file of part (from 1; partCount is the last, which holds the end
  // record and is never asked for). rejected, when given, is a file found
  // for this part before that proved to be another archive's: look past it.
  // Nothing when the part cannot be had.
  virtual std::optional<std::filesystem::path> FindPart(unsigned part, unsigned partCount,
                                                        const std::filesystem::path* rejected) = 0;
};

// Every part is found, every entry's local header checked against the
// central directory and every readable entry's data read through against its
// size and checksum when the archive opens, so a missing, cut, foreign or
// damaged part is known before anything is extracted (and data is checked
// again as it is extracted). Stored and deflated entries are
// read; encrypted entries and other methods are listed with their marks (for
// the caller to refuse); Zip64 archives do not open.
class SpannedZipArchive final : public ZipReader {
 public:
  enum class OpenError { kNone, kDamaged, kPartMissing };

  ~SpannedZipArchive() override;
  SpannedZipArchive(const SpannedZipArchive&) = delete;
  SpannedZipArchive& operator=(const SpannedZipArchive&) = delete;

  // lastPart is the part holding the end record (stem.zip). The other parts
  // come from parts; a local header that does not match its central record
  // has its part asked for again. With listingOnly the data is not read
  // through (for counting and naming entries); otherwise progress is called
  // after each chunk read, and its false stops the opening (kDamaged,
  // "stopped"). Nothing on failure, with the reason and a text for the log.
  static std::unique_ptr<SpannedZipArchive> Open(const std::filesystem::path& lastPart, IZipPartSource& parts,
                                                 OpenError* error = nullptr, std::string* why = nullptr,
                                                 bool listingOnly = false, const CopyProgress& progress = {});
  std::size_t Count() const override;
  std::optional<ZipEntryInfo> Entry(std::size_t index) const override;
  bool ExtractTo(std::size_t index, const std::filesystem::path& target, std::string* error,
                 const CopyProgress& progress) override;

 private:
  struct Impl;
  explicit SpannedZipArchive(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> m_impl;
};

}  // namespace tvn::sys
