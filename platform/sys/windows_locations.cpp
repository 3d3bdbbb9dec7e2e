// The Windows locations under the XDG data folder, made on demand, and the roots check.
#include "platform/sys/windows_locations.h"

#include <cstdlib>
#include <system_error>

namespace tvn::sys {
namespace {

// A relative XDG folder is invalid and ignored.
std::filesystem::path XdgFolder(const char* variable, const char* underHome) {
  const char* xdg = std::getenv(variable);
  if (xdg && *xdg == '/') return xdg;
  const char* home = std::getenv("HOME");
  std::filesystem::path base = (home && *home) ? home : std::filesystem::temp_directory_path();
  return base / underHome;
}

std::filesystem::path DataHome() { return XdgFolder("XDG_DATA_HOME", ".local/share"); }

// The absolute, cleaned-up path with its existing part's links resolved.
std::filesystem::path Resolved(const std::filesystem::path& path) {
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(path, ec).lexically_normal();
  if (ec) return path.lexically_normal();
  std::filesystem::path resolved = std::filesystem::weakly_canonical(absolute, ec);
  return ec ? absolute : resolved.lexically_normal();
}

std::optional<std::filesystem::path> Made(const std::filesystem::path& folder) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec || !std::filesystem::is_directory(folder, ec)) return std::nullopt;
  return folder;
}

}  // namespace

std::filesystem::path XdgDataHome() { return DataHome(); }
std::filesystem::path XdgConfigHome() { return XdgFolder("XDG_CONFIG_HOME", ".config"); }
std::filesystem::path RuntimeProfilePath() { return XdgConfigHome() / "tavelon" / "tvnrun.ini"; }

WindowsLocations GetWindowsLocations() {
  WindowsLocations locations;
  locations.prefix = DataHome() / "tavelon";
  locations.driveRoot = locations.prefix / "drive_c";
  locations.windowsDir = locations.prefix / "windows";
  locations.systemDir = locations.windowsDir / "system";
  return locations;
}

std::optional<std::filesystem::path> WindowsFolder() { return Made(GetWindowsLocations().windowsDir); }

std::optional<std::filesystem::path> WindowsSystemFolder() { return Made(GetWindowsLocations().systemDir); }

void MapAllDrives(path::DriveTable& drives, const std::filesystem::path& folder) {
  for (char letter = 'A'; letter <= 'Z'; ++letter) drives.Map(letter, folder);
}

bool IsInsideRoots(const std::filesystem::path& target, const std::vector<std::filesystem::path>& roots) {
  if (target.empty()) return false;
  std::filesystem::path resolved = Resolved(target);
  for (const auto& root : roots) {
    if (root.empty()) continue;
    std::filesystem::path base = Resolved(root);
    auto t = resolved.begin();
    auto b = base.begin();
    for (; b != base.end() && t != resolved.end(); ++b, ++t) {
      if (b->empty()) continue;  // the empty last element of a path ending in '/'
      if (*b != *t) break;
    }
    while (b != base.end() && b->empty()) ++b;
    if (b == base.end()) return true;
  }
  return false;
}

}  // namespace tvn::sys
