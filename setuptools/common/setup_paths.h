// Path text of the setup scripts: macros, splitting and joining, and mapping onto host paths.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

#include "platform/base/cstring.h"
#include "platform/base/host_path.h"

// The folders the path macros stand for, as UTF-8 host paths.
struct MacroFolders {
  CString destination;  // "<defdir>": the current destination, ending in a separator
  CString source;       // "<defsrc>": the source directory, ending in a separator
  CString windows;      // "<windir>" without its separator
  CString system;       // "<sysdir>" without its separator
  CString install;      // the install directory ("<defdrive>" is read from it)
};

// The destination "<defdir>" names while a file-list section is copied: the
// Windows folder for [windows.files], the system folder for [system.files],
// the install directory for every other section.
CString DestinationForSection(std::string_view section, const MacroFolders& folders);

// Replaces "<defdir>", "<defsrc>", "<windir>", "<sysdir>" and "<defdrive>"
// (case-sensitive) in one pass from left to right, so a replacement is never
// scanned again.
CString ExpandMacros(const CString& text, const MacroFolders& folders);

// Every occurrence of pattern replaced, left to right.
CString ReplaceAll(const CString& text, std::string_view pattern, std::string_view replacement);
// Short (8.3) names do not exist here: the path itself.
CString GetShortPath(const CString& path);
// The text after the last separator ('\' or '/'), else after the last ':', else the whole.
CString GetFileNamePart(const CString& path);
// The path without its last component when that component holds a '.' (a
// file name); otherwise the path unchanged.
CString GetDirectoryPart(const CString& path);
// The text up to and including the last separator (else the last ':').
CString GetDirectoryPrefix(const CString& path);
// base joined with rest: a leading drive of rest and leading "./" or ".\"
// pairs are dropped; a separator is added unless base ends in one or in ':'
// ('/' after a host path, else '\'); an empty rest or "." adds nothing.
CString AppendPath(const CString& base, const CString& rest);

// A script path (UTF-8, either separator, drive letters through the table)
// as a host path; components that exist are matched without regard to case
// (folders searched through listings when given).
std::optional<std::filesystem::path> ScriptPathToHost(const CString& path, const tvn::path::DriveTable& drives,
                                                      tvn::path::FolderListings* listings = nullptr);
// A host path as script text.
CString HostToScriptPath(const std::filesystem::path& path);

// The folder of the running program (where INSTALL.INF and setup.log are looked for).
std::filesystem::path GetModuleDirectory();

// Free bytes where the path lies (its nearest existing folder); 0 when unknown.
std::uint64_t GetDriveFreeSpace(const std::filesystem::path& path);
