// Windows names to Linux paths, with a case-insensitive search per component.
#include "platform/base/host_path.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <system_error>
#include <vector>

#include "platform/base/codepage.h"

namespace tvn::path {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

std::vector<std::string_view> SplitComponents(std::string_view rest) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= rest.size(); ++i) {
    if (i == rest.size() || IsSeparator(rest[i])) {
      if (i > start) parts.push_back(rest.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

// A host name (UTF-8) spelled as the names searched for are: as it is, or
// converted to code page 1252 into scratch.
std::string_view Comparable(std::string_view host, NameEncoding encoding, std::string& scratch) {
  if (encoding == NameEncoding::kUtf8) return host;
  scratch = codepage::FromUtf8(host);
  return scratch;
}

// Whether a comparable host name is name without regard to case.
bool SameName(std::string_view text, std::string_view name, NameEncoding encoding) {
  return encoding == NameEncoding::kUtf8 ? codepage::EqualsNoCaseAscii(text, name) : codepage::EqualsNoCase(text, name);
}

// The names in a folder's listing, in its order, without "." and "..".
std::optional<std::vector<std::string>> ReadListing(const std::filesystem::path& folder) {
  const std::filesystem::path listed = folder.empty() ? std::filesystem::path(".") : folder;
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(listed.c_str()), ::closedir);
  if (!dir) return std::nullopt;
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string_view host(entry->d_name);
    if (host != "." && host != "..") names.emplace_back(host);
  }
  return names;
}

// A name as the host file system spells it.
std::string HostName(std::string_view name, NameEncoding encoding) {
  return encoding == NameEncoding::kUtf8 ? std::string(name) : codepage::ToUtf8(name);
}

}  // namespace

std::optional<std::filesystem::path> FindNoCase(const std::filesystem::path& folder, std::span<const std::string> names,
                                                NameEncoding encoding, EntryKind kind) {
  namespace fs = std::filesystem;
  std::error_code ec;
  for (const std::string& name : names) {
    fs::path exact = folder / HostName(name, encoding);
    if (kind == EntryKind::kRegularFile ? fs::is_regular_file(exact, ec) : fs::exists(exact, ec)) return exact;
  }
  // The listing is read name by name without building a path for each
  // entry: a setup disk's folder may hold thousands of files.
  const fs::path listed = folder.empty() ? fs::path(".") : folder;
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(listed.c_str()), ::closedir);
  if (!dir) return std::nullopt;
  std::string converted;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string_view host(entry->d_name);
    if (host == "." || host == "..") continue;
    const std::string_view text = Comparable(host, encoding, converted);
    for (const std::string& name : names) {
      if (!SameName(text, name, encoding)) continue;
      fs::path found = folder / fs::path(std::string(host));
      if (kind == EntryKind::kAny || fs::is_regular_file(found, ec)) return found;
    }
  }
  return std::nullopt;
}

std::optional<std::filesystem::path> FindNoCase(const std::filesystem::path& folder, std::string_view name,
                                                NameEncoding encoding, EntryKind kind) {
  const std::string names[] = {std::string(name)};
  return FindNoCase(folder, names, encoding, kind);
}

void DriveTable::Map(char letter, std::filesystem::path folder) {
  if (IsDriveLetter(letter)) m_folders[static_cast<std::size_t>((letter | 0x20) - 'a')] = std::move(folder);
}

void DriveTable::Clear() { m_folders = {}; }

const std::filesystem::path* DriveTable::Lookup(char letter) const {
  if (!IsDriveLetter(letter)) return nullptr;
  const auto& slot = m_folders[static_cast<std::size_t>((letter | 0x20) - 'a')];
  return slot ? &*slot : nullptr;
}

DriveTable& Drives() {
  static DriveTable table;
  return table;
}

std::optional<std::filesystem::path> MapWindowsPath(const CString& name) { return MapWindowsPath(name, Drives()); }

std::optional<std::filesystem::path> MapWindowsPath(const CString& name, const DriveTable& drives) {
  return MapWindowsPath(name.view(), drives, NameEncoding::kAnsi);
}

std::optional<std::filesystem::path> MapWindowsPath(std::string_view text, const DriveTable& drives,
                                                    NameEncoding encoding) {
  return MapWindowsPath(text, drives, encoding, nullptr);
}

std::optional<std::filesystem::path> MapWindowsPath(std::string_view text, const DriveTable& drives,
                                                    NameEncoding encoding, FolderListings* listings) {
  std::filesystem::path current;
  if (text.size() >= 2 && IsDriveLetter(text[0]) && text[1] == ':') {
    const std::filesystem::path* folder = drives.Lookup(text[0]);
    if (!folder) return std::nullopt;
    current = *folder;
    text.remove_prefix(2);
  } else if (text.size() >= 2 && IsSeparator(text[0]) && IsSeparator(text[1])) {
    return std::nullopt;  // a UNC name: no network shares here
  } else if (!text.empty() && IsSeparator(text[0])) {
    current = "/";
  }

  bool searching = true;  // stop searching once a component is missing altogether
  for (std::string_view part : SplitComponents(text)) {
    std::filesystem::path exact =
        current / (encoding == NameEncoding::kUtf8 ? std::string(part) : CString(part).ToUtf8());
    std::error_code ec;
    if (!searching || part == "." || part == ".." || std::filesystem::exists(std::filesystem::symlink_status(exact, ec))) {
      current = std::move(exact);
      continue;
    }
    if (auto found = listings ? listings->Find(current, part, encoding) : FindNoCase(current, part, encoding)) {
      current = std::move(*found);
    } else {
      current = std::move(exact);
      searching = false;
    }
  }
  if (current.empty()) current = ".";
  return current;
}

std::optional<std::filesystem::path> FolderListings::Find(const std::filesystem::path& folder, std::string_view name,
                                                          NameEncoding encoding) {
  const std::filesystem::path listed = folder.empty() ? std::filesystem::path(".") : folder;
  struct stat info {};
  if (::stat(listed.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    m_listings.erase(folder);
    return std::nullopt;
  }
  Listing& listing = m_listings[folder];
  if (listing.names.empty() || listing.seconds != info.st_mtim.tv_sec || listing.nanoseconds != info.st_mtim.tv_nsec ||
      listing.device != info.st_dev || listing.inode != info.st_ino) {
    // The time is taken before the listing is read: a change while it is
    // read shows at the next search.
    auto names = ReadListing(folder);
    if (!names) {
      m_listings.erase(folder);
      return std::nullopt;
    }
    listing = {info.st_mtim.tv_sec, info.st_mtim.tv_nsec, info.st_dev, info.st_ino, std::move(*names), false};
  }
  listing.searched = true;
  std::string converted;
  for (const std::string& host : listing.names) {
    if (SameName(Comparable(host, encoding, converted), name, encoding)) return folder / std::filesystem::path(host);
  }
  return std::nullopt;
}

void FolderListings::Added(const std::filesystem::path& file) {
  const auto it = m_listings.find(file.parent_path());
  if (it == m_listings.end()) return;
  // Only a listing checked by the search just before may take the folder's
  // new time: others may have missed someone else's change.
  struct stat info {};
  const std::filesystem::path folder = it->first.empty() ? std::filesystem::path(".") : it->first;
  if (!it->second.searched || ::stat(folder.c_str(), &info) != 0) {
    m_listings.erase(it);
    return;
  }
  Listing& listing = it->second;
  listing.searched = false;
  const std::string name = file.filename().string();
  if (std::find(listing.names.begin(), listing.names.end(), name) == listing.names.end()) listing.names.push_back(name);
  listing.seconds = info.st_mtim.tv_sec;
  listing.nanoseconds = info.st_mtim.tv_nsec;
}

CString HostPathToText(const std::filesystem::path& path) { return CString::FromUtf8(path.generic_string()); }

}  // namespace tvn::path
