// Windows names to Linux paths, with a case-insensitive search per component.
#include "platform/base/host_path.h"

#include <dirent.h>

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

// A name as the host file system spells it.
std::string HostName(std::string_view name, NameEncoding encoding) {
  return encoding == NameEncoding::kUtf8 ? std::string(name) : codepage::ToUtf8(name);
}

}  // namespace

std::optional<std::filesystem::path> FindNoCase(const std::filesystem::path& folder, std::span<const std::string> names,
                                                NameEncoding encoding, EntryKind kind) {
  namespace fs = std::filesystem;
  const bool utf8 = encoding == NameEncoding::kUtf8;
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
    std::string_view text = host;
    if (!utf8) {
      converted = codepage::FromUtf8(host);
      text = converted;
    }
    for (const std::string& name : names) {
      const bool same = utf8 ? codepage::EqualsNoCaseAscii(text, name) : codepage::EqualsNoCase(text, name);
      if (!same) continue;
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
    if (auto found = FindNoCase(current, part, encoding)) {
      current = std::move(*found);
    } else {
      current = std::move(exact);
      searching = false;
    }
  }
  if (current.empty()) current = ".";
  return current;
}

CString HostPathToText(const std::filesystem::path& path) { return CString::FromUtf8(path.generic_string()); }

}  // namespace tvn::path
