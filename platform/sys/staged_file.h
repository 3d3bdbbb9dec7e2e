// StagedFile: a file written under a temporary name beside its target and renamed over it only when complete.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

#include "platform/sys/copy_progress.h"

namespace tvn::sys {

// The outcome of a file operation: a file-exception cause (0 = done) and the errno behind it.
struct FileOpResult {
  int cause = 0;
  int osError = 0;
  explicit operator bool() const { return cause == 0; }
};

// A failed or abandoned write never touches the target; the temporary file
// is removed unless Commit succeeded.
class StagedFile {
 public:
  StagedFile() = default;
  ~StagedFile();
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  // Creates a fresh temporary file in target's folder.
  FileOpResult Create(const std::filesystem::path& target);
  FileOpResult Write(std::string_view bytes);
  // Gives the file mode bits (0644 when not given) and modification time (now
  // when not given), then renames it over the target.
  FileOpResult Commit(std::optional<unsigned> mode, std::optional<std::filesystem::file_time_type> modified);
  // Closes and keeps the temporary file under its own name, returned (a copy
  // that replaces its target later).
  std::optional<std::filesystem::path> Keep(std::optional<unsigned> mode,
                                            std::optional<std::filesystem::file_time_type> modified);
  const std::filesystem::path& TemporaryPath() const { return m_temporary; }

 private:
  FileOpResult Finish(std::optional<unsigned> mode, std::optional<std::filesystem::file_time_type> modified);
  void Discard();

  int m_fd = -1;
  std::filesystem::path m_target;
  std::filesystem::path m_temporary;
};

// Copies source to target through a staged file, keeping the source's mode
// bits and modification time, one chunk at a time with progress called after
// each. Nothing changes at target on failure; a failed read gives its cause
// with readFailed set. A copy that progress stopped removes its staged file
// and fails with osError ECANCELED.
FileOpResult CopyFileStaged(const std::filesystem::path& source, const std::filesystem::path& target,
                            bool* readFailed = nullptr, const CopyProgress& progress = {});

// Moves a finished copy over target: a rename, or across file systems a
// staged copy (in chunks, as above) then removal of the source.
FileOpResult ReplaceFile(const std::filesystem::path& from, const std::filesystem::path& target,
                         const CopyProgress& progress = {});

// Removes from folder the staged files that writers killed before their
// commit left there (".~NAME.XXXXXX", the names StagedFile gives): for a
// program that is about to write into folder again. Anything else stays.
void RemoveStaleStagedFiles(const std::filesystem::path& folder);

// A program that is running: opening it for writing fails with ETXTBSY.
bool IsFileInUse(const std::filesystem::path& file);

// The bytes free to an unprivileged writer on the file system holding path
// (its nearest existing parent); 0 when it cannot be read.
std::uintmax_t FreeSpace(const std::filesystem::path& path);

}  // namespace tvn::sys
