// The extraction loop of ZIP archives: name checks, staged writes and the lists the uninstall log needs.
#include "setuptools/common/zip_extract.h"

#include <optional>
#include <system_error>

#include "platform/sys/zip_archive.h"

namespace {

namespace fs = std::filesystem;
using tvn::sys::ZipArchive;

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
  ZipArchive::OpenError openError;
  auto archive = ZipArchive::Open(archivePath, &openError);
  if (!archive) {
    out.result = openError == ZipArchive::OpenError::kMissing ? ZipResult::kArchiveMissing : ZipResult::kDamaged;
    out.error = "cannot read the archive";
    return out;
  }
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
        if (!archive->ExtractTo(entry.index, staged, &why)) {
          out.result = ZipResult::kDamaged;
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
  auto archive = ZipArchive::Open(archivePath);
  return archive ? static_cast<int>(std::min<std::size_t>(archive->Count(), 0x7FFFFFFF)) : 0;
}

CString GetZipEntryName(const fs::path& archivePath, int index) {
  auto archive = ZipArchive::Open(archivePath);
  if (!archive || index < 0) return CString();
  auto info = archive->Entry(static_cast<std::size_t>(index));
  return info ? CString(info->name) : CString();
}
