// The Windows and system folders under the user's data folder, made on demand.
#include "platform/windows_folders.h"

#include <stdlib.h>

#include <system_error>

namespace tvn::sys {
namespace {

std::optional<std::filesystem::path> Made(const std::filesystem::path& folder) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec || !std::filesystem::is_directory(folder, ec)) return std::nullopt;
  return folder;
}

}  // namespace

std::filesystem::path TavelonDataRoot() {
  // The base directory specification: a relative value is invalid and ignored.
  const char* data = ::getenv("XDG_DATA_HOME");
  std::filesystem::path base;
  if (data && data[0] == '/') {
    base = data;
  } else {
    const char* home = ::getenv("HOME");
    base = std::filesystem::path(home && home[0] ? home : "/") / ".local" / "share";
  }
  return base / "tavelon";
}

std::optional<std::filesystem::path> WindowsFolder() { return Made(TavelonDataRoot() / "windows"); }

std::optional<std::filesystem::path> WindowsSystemFolder() { return Made(TavelonDataRoot() / "windows" / "system"); }

}  // namespace tvn::sys
