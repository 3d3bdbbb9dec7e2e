// Mapping of the Windows-style file names that courses use onto Linux paths.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/base/cstring.h"

namespace tvn::path {

// Drive letters mapped to host folders. By default no drive is mapped, and
// course-relative lookups find files named with a drive.
class DriveTable {
 public:
  void Map(char letter, std::filesystem::path folder);
  void Clear();
  // The folder of a drive letter (either case), or null when it is not mapped.
  const std::filesystem::path* Lookup(char letter) const;

 private:
  std::array<std::optional<std::filesystem::path>, 26> m_folders;
};

// The process's drive table, filled once at start-up from the runtime's settings.
DriveTable& Drives();

// Maps a name to a host path: '\' and '/' both separate, a drive letter goes
// through the table, a leading separator is the host root, anything else is
// relative to the current directory. Where a component does not exist with
// the exact case, the directory is searched for one that matches without
// regard to case. Gives nothing for an unmapped drive or a UNC name.
std::optional<std::filesystem::path> MapWindowsPath(const CString& name, const DriveTable& drives);
std::optional<std::filesystem::path> MapWindowsPath(const CString& name);

// How the bytes of a name are encoded: course text is code page 1252; the
// setup tools keep names (host paths among them) in UTF-8 and match them
// without regard to ASCII case.
enum class NameEncoding { kAnsi, kUtf8 };
std::optional<std::filesystem::path> MapWindowsPath(std::string_view name, const DriveTable& drives,
                                                    NameEncoding encoding);

// A host path as 8-bit text with '/' separators (for messages and variables).
CString HostPathToText(const std::filesystem::path& path);

}  // namespace tvn::path
