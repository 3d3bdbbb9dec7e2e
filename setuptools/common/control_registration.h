// Registering the self-registering controls that [register.control] lists.
#pragma once

#include <filesystem>

#include "platform/base/cstring.h"
#include "setuptools/common/inf_reader.h"
#include "setuptools/common/setup_paths.h"

// Calls the "DllRegisterServer" export of a library (its result is not looked
// at); false when the library or the export is missing.
bool RegisterServer(const std::filesystem::path& library);

// Registers every [register.control] file: field 1 with its macros expanded
// names a file in the system folder (it may not leave it). Missing files,
// failed loads and missing exports pass silently. False when the section is missing.
bool RegisterControls(const CInfReader& script, const MacroFolders& folders, const tvn::path::DriveTable& drives);
