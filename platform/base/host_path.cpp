// Windows names to Linux paths, with a case-insensitive search per component.
#include "platform/base/host_path.h"

#include <system_error>
#include <vector>

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

char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

bool EqualAsciiNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

// The entry of dir whose name matches component without regard to case.
std::optional<std::filesystem::path> FindNoCase(const std::filesystem::path& dir, std::string_view component,
                                                NameEncoding encoding) {
  std::error_code ec;
  std::filesystem::directory_iterator it(dir.empty() ? std::filesystem::path(".") : dir, ec);
  if (ec) return std::nullopt;
  for (const auto& entry : it) {
    std::string name = entry.path().filename().string();
    bool same = encoding == NameEncoding::kUtf8 ? EqualAsciiNoCase(name, component)
                                                : CString::FromUtf8(name).CompareNoCase(component) == 0;
    if (same) return dir / entry.path().filename();
  }
  return std::nullopt;
}

}  // namespace

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
