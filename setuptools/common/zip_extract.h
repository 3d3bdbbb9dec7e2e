// Extracting a ZIP archive among the setup files: entry names checked first, each file staged and renamed into place.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
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
  // Between the chunks of an entry being written, or of a split archive's
  // data being checked as it opens: false stops the extraction (kCancelled),
  // leaving nothing of the entry in hand.
  virtual bool KeepCopying(std::size_t bytes) {
    static_cast<void>(bytes);
    return true;
  }
  // Part (from 1) of an archive split across disks is neither in the
  // archive's folder nor in the folder last given for its disk: the disk
  // dialog for it. The folder given, or nothing when the user refused.
  virtual std::optional<std::filesystem::path> PromptForZipDisk(int part) {
    static_cast<void>(part);
    return std::nullopt;
  }
  // The folder last given for the disk of part (from 1), if any.
  virtual std::optional<std::filesystem::path> ZipDiskFolder(int part) {
    static_cast<void>(part);
    return std::nullopt;
  }
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
  bool diskRefused = false;  // kArchiveMissing because a part's disk prompt was refused: ask nothing more
};

// An entry name that stays inside the destination: relative, no drive, no
// "..", no '\' (a separator to Windows tools), no NUL, not empty.
bool IsSafeZipEntryName(std::string_view name);

// Extracts every entry into destination (which must exist). The archive is
// one file, or the last part of one split across disks (stem.zip beside
// stem.z01, stem.z02, ...; the parts are looked for without regard to case in
// the archive's folder, then in the folder last given for their disk, then
// asked for). With stem.z01 but no stem.zip in the archive's folder, parts
// 2, 3, ... are asked for until stem.zip turns up. Every entry is
// checked before anything is written: an unsafe name, a symbolic-link entry
// or a name passing through an existing symbolic link refuses the whole
// archive (kUnsafeName), as does an encrypted entry or one compressed by a
// method not supported here (kDamaged). An existing file is replaced only
// with overwrite; a kept one is not listed in files.
ZipExtraction ExtractZipArchive(const std::filesystem::path& archive, const std::filesystem::path& destination,
                                bool overwrite, IZipExtractHooks& hooks);

// The number of entries, 0 when the archive cannot be read (the parts of a
// split archive are looked for in its folder only).
int CountZipEntries(const std::filesystem::path& archive);
// The stored name of entry index (from 0); empty when there is none.
CString GetZipEntryName(const std::filesystem::path& archive, int index);
