// The version install: staging (with LZ expansion), comparing versions and translations, renaming into place, failure codes.
#include "setuptools/common/version_install.h"

#include <cerrno>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>

#include "platform/sys/file_version.h"
#include "platform/sys/staged_file.h"
#include "setuptools/common/lz_expand.h"
#include "setuptools/common/version_checks.h"

namespace {

namespace fs = std::filesystem;
using namespace VersionInstallBit;

// Bits for a failure writing into the target folder.
unsigned WriteFailureBits(int osError, unsigned otherwise) {
  switch (osError) {
    case EROFS: return kWriteProtected;
    case ENOSPC: return kOutOfSpace;
    case ENOMEM: return kOutOfMemory;
    case ETXTBSY: return kFileInUse;
    case EACCES:
    case EPERM: return kAccessViolation;
    default: return otherwise;
  }
}

// The source copied or expanded into a staged file beside target, left under its temporary name.
struct Staged {
  unsigned bits = 0;
  fs::path temporary;
};

Staged StageSource(const fs::path& source, const fs::path& target, const tvn::sys::CopyProgress& progress) {
  Staged result;
  std::ifstream in(source, std::ios::binary);
  std::error_code ec;
  if (!in || fs::is_directory(source, ec)) {
    result.bits = kCannotReadSource;
    return result;
  }
  tvn::sys::StagedFile out;
  if (auto created = out.Create(target); !created) {
    result.bits = WriteFailureBits(created.osError, kCannotCreate);
    return result;
  }
  char head[kSzddHeaderSize];
  in.read(head, sizeof head);
  const std::string_view start(head, static_cast<std::size_t>(in.gcount()));
  const bool compressed = ReadSzddHeader(start).has_value();
  // A compressed file is read whole and expanded in one go; a plain one
  // goes straight into the staged file. Either way a chunk at a time.
  std::string all(compressed ? start : std::string_view());
  tvn::sys::FileOpResult written = compressed ? tvn::sys::FileOpResult{} : out.Write(start);
  std::string buffer(tvn::sys::kCopyChunkBytes, '\0');
  while (written && in) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (compressed) all.append(buffer.data(), got);
    else written = out.Write(std::string_view(buffer.data(), got));
    if (written && got > 0 && progress && !progress(got)) {
      result.bits = kStopped;  // the staged file goes with out
      return result;
    }
  }
  if (in.bad()) {
    result.bits = kCannotReadSource;
    return result;
  }
  if (compressed && written) written = out.Write(ExpandSzdd(all));
  if (!written) {
    result.bits = WriteFailureBits(written.osError, kCannotCreate);
    return result;
  }
  const auto mode = static_cast<unsigned>(fs::status(source, ec).permissions() & fs::perms::all);
  const auto modified = fs::last_write_time(source, ec);
  auto kept = out.Keep(mode, ec ? std::nullopt : std::optional(modified));
  if (!kept) {
    result.bits = kCannotCreate;
    return result;
  }
  result.temporary = *kept;
  return result;
}

// Language and code page (the two halves of the translation key) and the
// file type, where both files state them.
unsigned ResourceBits(const fs::path& source, const fs::path& target) {
  auto a = tvn::sys::GetFileVersionResource(source);
  auto b = tvn::sys::GetFileVersionResource(target);
  if (!a || !b) return 0;
  unsigned bits = 0;
  if (a->translationKey.size() == 8 && b->translationKey.size() == 8) {
    if (a->translationKey.substr(0, 4) != b->translationKey.substr(0, 4)) bits |= kDiffLanguage;
    if (a->translationKey.substr(4) != b->translationKey.substr(4)) bits |= kDiffCodePage;
  }
  if (a->fileType && b->fileType && *a->fileType != *b->fileType) bits |= kDiffType;
  return bits;
}

}  // namespace

fs::path FindSharedFileDirectory(const std::string& name, const tvn::sys::WindowsLocations& locations,
                                 const fs::path& destination) {
  std::error_code ec;
  for (const fs::path& folder : {locations.systemDir, locations.windowsDir, destination}) {
    if (!name.empty() && fs::is_regular_file(folder / name, ec)) return folder;
  }
  return destination;
}

VersionInstallResult VersionInstallFile(bool force, const fs::path& sourceDir, const std::string& sourceName,
                                        const fs::path& targetDir, const std::string& targetName,
                                        const tvn::sys::CopyProgress& progress) {
  VersionInstallResult result;
  const fs::path target = targetDir / targetName;
  Staged staged = StageSource(sourceDir / sourceName, target, progress);
  if (staged.bits) {
    result.bits = staged.bits;
    return result;
  }
  std::error_code ec;
  unsigned objections = 0;
  if (fs::exists(fs::symlink_status(target, ec))) {
    if (tvn::sys::IsFileInUse(target)) {
      objections |= kFileInUse;
    } else if (!force) {
      const CString installed = GetFileVersionString(target);
      const CString incoming = GetFileVersionString(staged.temporary);
      if (!installed.IsEmpty() && !incoming.IsEmpty() && CompareVersionStrings(incoming, installed) < 0) {
        objections |= kSourceOld;
      }
      objections |= ResourceBits(staged.temporary, target);
      if (objections) objections |= kMismatch;
    }
  }
  if (objections) {
    result.bits = objections | kTempFile;
    result.temporary = staged.temporary;
    return result;
  }
  if (auto replaced = tvn::sys::ReplaceFile(staged.temporary, target); !replaced) {
    fs::remove(staged.temporary, ec);
    result.bits = WriteFailureBits(replaced.osError, kCannotRename);
  }
  return result;
}

std::optional<int> VersionInstallFailure(const VersionInstallResult& result) {
  const unsigned bits = result.bits;
  int code = 0;
  if (bits & kStopped) code = 18;
  else if (bits & kCannotCreate) code = 5;
  else if (bits & kCannotReadSource) code = 2;
  else if (bits & kOutOfSpace) code = 29;
  else if (bits & kOutOfMemory) code = 8;
  else if (bits & kWriteProtected) code = 19;
  else if (bits & kFileInUse) return std::nullopt;
  else if (bits & (kAccessViolation | kCannotReadTarget | kCannotDelete | kCannotRename)) code = 5;
  else if (bits & kSharingViolation) code = 33;
  else return std::nullopt;
  RemoveStagedCopy(result);
  return code;
}

void RemoveStagedCopy(const VersionInstallResult& result) {
  std::error_code ec;
  if (result.bits & kTempFile) fs::remove(result.temporary, ec);
}
