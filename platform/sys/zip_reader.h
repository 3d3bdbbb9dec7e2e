// ZipReader: what the extraction loop asks of a ZIP archive, whichever reader holds it (one file, or parts).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/sys/copy_progress.h"

namespace tvn::sys {

struct ZipEntryInfo {
  std::string name;  // UTF-8, '/' separating folders
  std::uint64_t size = 0;
  bool isDirectory = false;      // the name ends with '/'
  bool isSymlink = false;        // a Unix symbolic link entry
  std::uint16_t method = 0;      // the compression method as stored (0 stored, 8 deflated, ...)
  bool methodSupported = false;  // the data can be decompressed here
  bool encrypted = false;        // the data is encrypted (no password is ever given)
};

class ZipReader {
 public:
  virtual ~ZipReader() = default;

  virtual std::size_t Count() const = 0;
  virtual std::optional<ZipEntryInfo> Entry(std::size_t index) const = 0;

  // Writes the entry's data to a new file at target (created exclusive, never
  // through a symbolic link), calling progress after each chunk written.
  // Never more than the entry's stated size; a checksum or length mismatch,
  // or progress answering false, fails and removes the partial file. False
  // with error set on any failure.
  virtual bool ExtractTo(std::size_t index, const std::filesystem::path& target, std::string* error,
                         const CopyProgress& progress) = 0;
};

// The new file an entry's data goes to: created exclusive, never through a
// link, never given more than the stated size, removed unless finished.
class ZipTargetFile {
 public:
  ZipTargetFile(const std::filesystem::path& target, std::uint64_t statedSize);
  ~ZipTargetFile();
  ZipTargetFile(const ZipTargetFile&) = delete;
  ZipTargetFile& operator=(const ZipTargetFile&) = delete;

  // Empty when the file was made; otherwise why not.
  const std::string& OpenError() const { return m_openError; }
  // Appends bytes; false with why set when the stated size would be passed or the write fails.
  bool Write(const char* data, std::size_t size, std::string* why);
  std::uint64_t Written() const { return m_written; }
  // Closes the file and keeps it; false with why set when its length is short or the close fails.
  bool Finish(std::string* why);

 private:
  std::filesystem::path m_target;
  std::uint64_t m_stated = 0;
  std::uint64_t m_written = 0;
  int m_fd = -1;
  bool m_kept = false;
  std::string m_openError;
};

}  // namespace tvn::sys
