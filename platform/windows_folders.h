// Where Windows locations live on this system: one prefix under the user's data folder.
#pragma once

#include <filesystem>
#include <optional>

namespace tvn::sys {

// "$XDG_DATA_HOME/tavelon/" ("~/.local/share/tavelon/" when the variable is
// unset or not absolute): the home of every Windows location.
std::filesystem::path TavelonDataRoot();

// The Windows folder "windows/" and the system folder "windows/system/"
// under that root, made (with every missing parent) when first asked.
// Nothing when the folder cannot be made.
std::optional<std::filesystem::path> WindowsFolder();
std::optional<std::filesystem::path> WindowsSystemFolder();

}  // namespace tvn::sys
