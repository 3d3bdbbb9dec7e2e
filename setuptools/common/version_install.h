// The version-aware install of one file (Windows' version services, ours): the shared-file search, the staged install with its result bits, and their failure codes.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "platform/sys/copy_progress.h"
#include "platform/sys/windows_locations.h"

// Result bits of VersionInstallFile, with Windows' values.
namespace VersionInstallBit {
inline constexpr unsigned kTempFile = 0x1;        // the staged file was left behind (see temporary)
inline constexpr unsigned kMismatch = 0x2;        // set with any of the next four
inline constexpr unsigned kSourceOld = 0x4;
inline constexpr unsigned kDiffLanguage = 0x8;
inline constexpr unsigned kDiffCodePage = 0x10;
inline constexpr unsigned kDiffType = 0x20;
inline constexpr unsigned kWriteProtected = 0x40;
inline constexpr unsigned kFileInUse = 0x80;
inline constexpr unsigned kOutOfSpace = 0x100;
inline constexpr unsigned kAccessViolation = 0x200;
inline constexpr unsigned kSharingViolation = 0x400;
inline constexpr unsigned kCannotCreate = 0x800;
inline constexpr unsigned kCannotDelete = 0x1000;
inline constexpr unsigned kCannotRename = 0x2000;
inline constexpr unsigned kOutOfMemory = 0x8000;
inline constexpr unsigned kCannotReadSource = 0x10000;
inline constexpr unsigned kCannotReadTarget = 0x20000;
inline constexpr unsigned kStopped = 0x80000000;  // ours: the caller's progress stopped the staging; nothing written
}  // namespace VersionInstallBit

// The folder holding an existing shared file of that name: the system
// folder, then the Windows folder, then destination; destination when none has it.
std::filesystem::path FindSharedFileDirectory(const std::string& name, const tvn::sys::WindowsLocations& locations,
                                              const std::filesystem::path& destination);

struct VersionInstallResult {
  unsigned bits = 0;
  std::filesystem::path temporary;  // the staged file left in the target folder (kTempFile)
};

// Stages sourceDir/sourceName under a temporary name in targetDir, expanded
// when it is a compressed (SZDD) file, keeping its modification time and mode.
// Without force an existing target objects when its version is newer or its
// language, code page or file type differs; a running program always objects (kFileInUse).
// With no objection the staged file is renamed over targetDir/targetName;
// otherwise it is left and named in temporary. Failures come from errno:
// ENOENT, EACCES, EROFS, ENOSPC, ENOMEM and ETXTBSY. progress is called after
// each chunk staged; its false ends the install with kStopped alone.
VersionInstallResult VersionInstallFile(bool force, const std::filesystem::path& sourceDir, const std::string& sourceName,
                                        const std::filesystem::path& targetDir, const std::string& targetName,
                                        const tvn::sys::CopyProgress& progress = {});

// The copy-error code of a version install that failed: a Windows error
// number (2, 5, 8, 19, 29 or 33; the programs show their text kCopyError +
// code), the bits read in a fixed order; the staged copy is removed with it.
// Empty when nothing failed, or when the target is in use: a running target
// outranks the access and sharing failures, and each program handles it itself.
// A stopped install gives 18, for which the programs show nothing.
std::optional<int> VersionInstallFailure(const VersionInstallResult& result);
// Removes the staged copy a result left behind (kTempFile).
void RemoveStagedCopy(const VersionInstallResult& result);
