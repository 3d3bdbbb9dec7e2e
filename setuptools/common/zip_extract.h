// Extracting a ZIP archive among the setup files: entry names checked first, each file staged and renamed into place.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/cstring.h"

// What extraction asks of the setup program between entries.
class IZipExtractHooks {
 public:
  virtual ~IZipExtractHooks() = default;
  // The entry about to be written (the copying dialog's first name field);
  // true stops the extraction.
  virtual bool Status(const CString& entryName) = 0;
  // After each entry: pump messages, watch F3, step the gauge; true when the user cancelled.
  virtual bool Poll() = 0;
};

// Results of one archive: 0 done, 9 archive missing (the disk prompt
// follows); anything else fails the entry.
namespace ZipResult {
inline constexpr int kDone = 0;
inline constexpr int kArchiveMissing = 9;
inline constexpr int kDamaged = 11;     // not a readable archive, or an entry that does not read back
                                        // (damaged, encrypted or compressed by a method not supported here)
inline constexpr int kUnsafeName = 12;  // an entry would land outside the destination
inline constexpr int kWriteFailed = 13;
inline constexpr int kCancelled = 80;
}  // namespace ZipResult

struct ZipExtraction {
  int result = ZipResult::kDone;
  std::vector<std::filesystem::path> files;        // files written, in archive order
  std::vector<std::filesystem::path> directories;  // folders created, outer first
  std::string error;                               // what went wrong, for the message
};

// An entry name that stays inside the destination: relative, no drive, no
// "..", no '\' (a separator to Windows tools), no NUL, not empty.
bool IsSafeZipEntryName(std::string_view name);

// Extracts every entry into destination (which must exist). Every entry is
// checked before anything is written: an unsafe name, a symbolic-link entry
// or a name passing through an existing symbolic link refuses the whole
// archive (kUnsafeName), as does an encrypted entry or one compressed by a
// method not supported here (kDamaged). An existing file is replaced only
// with overwrite; a kept one is not listed in files.
ZipExtraction ExtractZipArchive(const std::filesystem::path& archive, const std::filesystem::path& destination,
                                bool overwrite, IZipExtractHooks& hooks);

// The number of entries, 0 when the archive cannot be read.
int CountZipEntries(const std::filesystem::path& archive);
// The stored name of entry index (from 0); empty when there is none.
CString GetZipEntryName(const std::filesystem::path& archive, int index);
