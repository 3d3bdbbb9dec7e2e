// The extraction loop of ZIP archives: name checks, staged writes and the lists the uninstall log needs.
#include "setuptools/common/zip_extract.h"

#include <memory>
#include <optional>
#include <set>
#include <system_error>

#include "platform/base/host_path.h"
#include "platform/sys/spanned_zip_archive.h"
#include "platform/sys/zip_archive.h"

namespace {

namespace fs = std::filesystem;
using tvn::path::EntryKind;
using tvn::path::FindNoCase;
using tvn::path::NameEncoding;
using tvn::sys::SpannedZipArchive;
using tvn::sys::ZipArchive;
using tvn::sys::ZipReader;

std::optional<fs::path> FindFile(const fs::path& folder, const std::string& name) {
  return FindNoCase(folder, name, NameEncoding::kUtf8, EntryKind::kRegularFile);
}

// The name of part (from 1) of a split archive other than its last: stem.z01, stem.z02, ...
std::string PartName(const std::string& stem, unsigned part) {
  return stem + (part < 10 ? ".z0" : ".z") + std::to_string(part);
}

// Where the parts of a split archive are found: the archive's folder, the
// folder last given for the part's disk, then the disk prompt, until a part
// turns up in the folder given or the user refuses.
class PartFinder final : public tvn::sys::IZipPartSource {
 public:
  PartFinder(const fs::path& archive, IZipExtractHooks& hooks)
      : m_folder(archive.parent_path()), m_stem(archive.stem().string()), m_lastName(archive.filename().string()),
        m_hooks(hooks) {}

  std::optional<fs::path> FindPart(unsigned part, unsigned partCount, const fs::path* rejected) override {
    const std::string name = part == partCount ? m_lastName : PartName(m_stem, part);
    // Files that proved to be another archive's are passed over where they
    // were found; a folder given in answer is taken as it is (its disk may
    // have been changed).
    if (rejected) m_rejected.insert(*rejected);
    auto lookIn = [&](const fs::path& folder, bool answered) -> std::optional<fs::path> {
      auto found = FindFile(folder, name);
      if (found && !answered && m_rejected.contains(*found)) return std::nullopt;
      return found;
    };
    if (auto found = lookIn(m_folder, false)) return found;
    if (auto folder = m_hooks.ZipDiskFolder(static_cast<int>(part))) {
      if (auto found = lookIn(*folder, false)) return found;
    }
    for (;;) {
      auto folder = m_hooks.PromptForZipDisk(static_cast<int>(part));
      if (!folder) {
        m_refused = true;
        return std::nullopt;
      }
      if (auto found = lookIn(*folder, true)) return found;
    }
  }
  bool Refused() const { return m_refused; }

 private:
  fs::path m_folder;
  std::string m_stem, m_lastName;
  IZipExtractHooks& m_hooks;
  std::set<fs::path> m_rejected;
  bool m_refused = false;
};

// Hooks for reading alone: nobody to ask.
struct NoPromptHooks final : IZipExtractHooks {
  bool Status(const CString&) override { return false; }
  bool Poll() override { return false; }
};

// The archive's reader: libzip for one file, our own for an archive split
// across disks (its data not read through when only listing). Nothing with
// out's result and error set when it cannot be had.
std::unique_ptr<ZipReader> OpenReader(const fs::path& archive, IZipExtractHooks& hooks, ZipExtraction& out,
                                      bool listingOnly = false, const tvn::sys::CopyProgress& progress = {}) {
  auto fail = [&](int result, std::string why) -> std::unique_ptr<ZipReader> {
    out.result = result;
    out.error = std::move(why);
    return nullptr;
  };
  // The archive's own name, in any case.
  fs::path last = FindFile(archive.parent_path(), archive.filename().string()).value_or(archive);
  std::error_code ec;
  if (fs::exists(last, ec)) {
    ZipArchive::OpenError openError;
    if (auto single = ZipArchive::Open(last, &openError)) return single;
    if (openError == ZipArchive::OpenError::kMissing) return fail(ZipResult::kArchiveMissing, "cannot read the archive");
    if (openError != ZipArchive::OpenError::kMultiDisk) return fail(ZipResult::kDamaged, "cannot read the archive");
  } else {
    // The first part without the last, which lists the entries: on a later disk.
    if (!FindFile(archive.parent_path(), PartName(archive.stem().string(), 1))) {
      return fail(ZipResult::kArchiveMissing, "cannot read the archive");
    }
    for (int part = 2;; ++part) {
      auto folder = part <= 0xFFFF ? hooks.PromptForZipDisk(part) : std::nullopt;
      if (!folder) {
        out.diskRefused = true;
        return fail(ZipResult::kArchiveMissing, "the disk of part " + std::to_string(part) + " was not given");
      }
      if (auto found = FindFile(*folder, archive.filename().string())) {
        last = *found;
        break;
      }
    }
  }
  PartFinder finder(archive, hooks);
  SpannedZipArchive::OpenError openError;
  std::string why;
  auto spanned = SpannedZipArchive::Open(last, finder, &openError, &why, listingOnly, progress);
  if (spanned) return spanned;
  out.diskRefused = finder.Refused();
  return fail(openError == SpannedZipArchive::OpenError::kPartMissing ? ZipResult::kArchiveMissing
                                                                       : ZipResult::kDamaged,
              why);
}

// The entry's path below destination, one segment at a time; nothing when it would leave it.
std::optional<fs::path> RelativeEntryPath(std::string_view name) {
  if (!IsSafeZipEntryName(name)) return std::nullopt;
  fs::path relative;
  std::size_t pos = 0;
  while (pos < name.size()) {
    std::size_t end = name.find('/', pos);
    if (end == std::string_view::npos) end = name.size();
    const std::string_view part = name.substr(pos, end - pos);
    if (!part.empty() && part != ".") relative /= fs::path(std::string(part));
    pos = end + 1;
  }
  return relative;
}

// Whether any existing folder from destination down to path's parent is a symbolic link.
bool PassesThroughSymlink(const fs::path& destination, const fs::path& relative, bool includeLast) {
  fs::path at = destination;
  std::error_code ec;
  auto last = relative.end();
  if (!includeLast && last != relative.begin()) --last;
  for (auto it = relative.begin(); it != last; ++it) {
    at /= *it;
    if (fs::is_symlink(fs::symlink_status(at, ec))) return true;
  }
  // The file itself: a link there would be replaced, not followed, but refuse it all the same.
  if (!includeLast && fs::is_symlink(fs::symlink_status(destination / relative, ec))) return true;
  return false;
}

// Why an entry's data cannot be read back, or nothing when it can.
std::optional<std::string> UnreadableData(const tvn::sys::ZipEntryInfo& info) {
  if (info.encrypted) return "encrypted entry: " + info.name;
  if (!info.methodSupported) return "unsupported compression method " + std::to_string(info.method) + ": " + info.name;
  return std::nullopt;
}

bool MakeFolders(const fs::path& folder, const fs::path& destination, ZipExtraction& out) {
  std::error_code ec;
  if (fs::is_directory(folder, ec)) return true;
  fs::path at = destination;
  for (const auto& part : folder.lexically_relative(destination)) {
    at /= part;
    if (fs::is_directory(at, ec)) continue;
    if (!fs::create_directory(at, ec) || ec) return false;
    out.directories.push_back(at);
  }
  return true;
}

}  // namespace

bool IsSafeZipEntryName(std::string_view name) {
  if (name.empty() || name.front() == '/') return false;
  if (name.find('\\') != std::string_view::npos || name.find('\0') != std::string_view::npos) return false;
  if (name.size() >= 2 && name[1] == ':') return false;
  std::size_t pos = 0;
  while (pos <= name.size()) {
    std::size_t end = name.find('/', pos);
    if (end == std::string_view::npos) end = name.size();
    if (name.substr(pos, end - pos) == "..") return false;
    pos = end + 1;
  }
  return true;
}

ZipExtraction ExtractZipArchive(const fs::path& archivePath, const fs::path& destination, bool overwrite,
                                IZipExtractHooks& hooks) {
  ZipExtraction out;
  bool stopped = false;
  const tvn::sys::CopyProgress progress = [&](std::size_t bytes) {
    stopped = stopped || !hooks.KeepCopying(bytes);
    return !stopped;
  };
  auto archive = OpenReader(archivePath, hooks, out, false, progress);
  if (stopped) out.result = ZipResult::kCancelled;
  if (!archive) return out;
  // Every entry first: nothing is written from an archive that holds one bad
  // name or one entry whose data cannot be read back.
  struct Planned {
    std::size_t index;
    tvn::sys::ZipEntryInfo info;
    fs::path relative;
  };
  std::vector<Planned> plan;
  const std::size_t count = archive->Count();
  for (std::size_t i = 0; i < count; ++i) {
    auto info = archive->Entry(i);
    if (!info) {
      out.result = ZipResult::kDamaged;
      out.error = "unreadable entry " + std::to_string(i);
      return out;
    }
    auto relative = RelativeEntryPath(info->name);
    if (!relative || info->isSymlink || PassesThroughSymlink(destination, *relative, info->isDirectory)) {
      out.result = ZipResult::kUnsafeName;
      out.error = "unsafe entry name: " + info->name;
      return out;
    }
    if (auto why = UnreadableData(*info)) {
      out.result = ZipResult::kDamaged;
      out.error = std::move(*why);
      return out;
    }
    plan.push_back({i, std::move(*info), std::move(*relative)});
  }

  for (const Planned& entry : plan) {
    if (hooks.Status(CString(entry.info.name))) {
      out.result = ZipResult::kCancelled;
      return out;
    }
    const fs::path target = destination / entry.relative;
    if (entry.info.isDirectory || entry.relative.empty()) {
      if (!MakeFolders(target, destination, out)) {
        out.result = ZipResult::kWriteFailed;
        out.error = "cannot create " + target.string();
        return out;
      }
    } else {
      std::error_code ec;
      if (!MakeFolders(target.parent_path(), destination, out)) {
        out.result = ZipResult::kWriteFailed;
        out.error = "cannot create " + target.parent_path().string();
        return out;
      }
      const bool exists = fs::exists(fs::symlink_status(target, ec));
      if (!exists || overwrite) {
        // Staged beside the target, so a failed entry leaves the old file.
        const fs::path staged = target.parent_path() / (".~" + target.filename().string() + ".part");
        fs::remove(staged, ec);
        std::string why;
        if (!archive->ExtractTo(entry.index, staged, &why, progress)) {
          out.result = stopped ? ZipResult::kCancelled : ZipResult::kDamaged;
          out.error = entry.info.name + ": " + why;
          return out;
        }
        fs::rename(staged, target, ec);
        if (ec) {
          fs::remove(staged, ec);
          out.result = ZipResult::kWriteFailed;
          out.error = "cannot replace " + target.string();
          return out;
        }
        out.files.push_back(target);
      }
    }
    if (hooks.Poll()) {
      out.result = ZipResult::kCancelled;
      return out;
    }
  }
  return out;
}

int CountZipEntries(const fs::path& archivePath) {
  NoPromptHooks hooks;
  ZipExtraction out;
  auto archive = OpenReader(archivePath, hooks, out, true);
  return archive ? static_cast<int>(std::min<std::size_t>(archive->Count(), 0x7FFFFFFF)) : 0;
}

CString GetZipEntryName(const fs::path& archivePath, int index) {
  NoPromptHooks hooks;
  ZipExtraction out;
  auto archive = OpenReader(archivePath, hooks, out, true);
  if (!archive || index < 0) return CString();
  auto info = archive->Entry(static_cast<std::size_t>(index));
  return info ? CString(info->name) : CString();
}
