// The program the desktop opens a file with: mimeapps.list and .desktop entries, as FindExecutable answers.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tvn::sys {

// The desktop ids a mimeapps.list (or mimeinfo.cache) gives the MIME type:
// those of "[Default Applications]" first, then "[Added Associations]" and
// "[MIME Cache]", in their order; ids listed under "[Removed Associations]"
// are left out. Values are ";"-separated lists.
std::vector<std::string> AssociationsOf(std::string_view listText, std::string_view mimeType);

// The Exec value of a .desktop file's "[Desktop Entry]" group, its string
// escapes undone; nothing without one.
std::optional<std::string> DesktopExecLine(std::string_view desktopText);

// The program of an Exec value: its first word, quotes and escapes removed;
// nothing when it is empty or is a field code.
std::optional<std::string> ProgramOfExec(std::string_view exec);

// The program the desktop would open the file with (XDG_CONFIG_HOME,
// XDG_CONFIG_DIRS, XDG_DATA_HOME and XDG_DATA_DIRS honoured). Nothing when
// the file does not exist or has no association.
std::optional<std::string> FindExecutableFor(const std::filesystem::path& file);

}  // namespace tvn::sys
