// Where the Windows locations of courses and setup scripts live on this machine, and the check that keeps writers inside them.
#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include "platform/base/host_path.h"

namespace tvn::sys {

// Every location hangs under one prefix, $XDG_DATA_HOME/tavelon/ (by default
// ~/.local/share/tavelon/).
struct WindowsLocations {
  std::filesystem::path prefix;      // .../tavelon
  std::filesystem::path driveRoot;   // .../tavelon/drive_c: every drive letter
  std::filesystem::path windowsDir;  // .../tavelon/windows: win.ini, INI files named without a folder
  std::filesystem::path systemDir;   // .../tavelon/windows/system
};

// $XDG_DATA_HOME and $XDG_CONFIG_HOME (read afresh on every call).
std::filesystem::path XdgDataHome();
std::filesystem::path XdgConfigHome();
// The runtime's profile: tvnrun.ini in $XDG_CONFIG_HOME/tavelon.
std::filesystem::path RuntimeProfilePath();

// The locations for the current environment (read afresh on every call).
WindowsLocations GetWindowsLocations();

// The Windows folder and the system folder, made (with every missing parent)
// when asked. Nothing when the folder cannot be made.
std::optional<std::filesystem::path> WindowsFolder();
std::optional<std::filesystem::path> WindowsSystemFolder();

// Maps every drive letter of the table onto the folder.
void MapAllDrives(path::DriveTable& drives, const std::filesystem::path& folder);

// Whether the path lies inside one of the roots (or is one). Both sides are
// cleaned up lexically first; then the symbolic links of their existing
// parents are resolved, so a link cannot lead a writer out of its root.
bool IsInsideRoots(const std::filesystem::path& target, const std::vector<std::filesystem::path>& roots);

}  // namespace tvn::sys
