// Mapping of the Windows-style file names that courses use onto Linux paths.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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

// Folder listings kept between the case-insensitive searches of one writer
// that maps many names into the same folders (setup's copy step), so a
// folder of thousands of files is not read again for every new name. A
// listing is read again whenever its folder's modification time has changed,
// except by the names the writer reports itself.
class FolderListings {
 public:
  // The entry of folder named like name without regard to case (the exact
  // name is known to be absent), as FindNoCase finds it.
  std::optional<std::filesystem::path> Find(const std::filesystem::path& folder, std::string_view name,
                                            NameEncoding encoding);
  // The writer made file, right after a search in its folder: the folder's
  // listing gains its name and the folder's present time. Any other listing
  // of that folder is dropped.
  void Added(const std::filesystem::path& file);

 private:
  struct Listing {
    std::int64_t seconds = 0, nanoseconds = 0;  // the folder's modification time when read
    std::uint64_t device = 0, inode = 0;
    std::vector<std::string> names;  // in listing order
    bool searched = false;           // checked against the folder by the last search
  };
  std::map<std::filesystem::path, Listing> m_listings;
};

// MapWindowsPath searching folders through listings (which may be null).
std::optional<std::filesystem::path> MapWindowsPath(std::string_view name, const DriveTable& drives,
                                                    NameEncoding encoding, FolderListings* listings);

// Which entries FindNoCase takes: any, or regular files only (symbolic links followed).
enum class EntryKind { kAny, kRegularFile };

// The entry of folder named like one of names without regard to case, or
// nothing. An entry spelled exactly as one of the names wins (the first such
// name in order); failing that, the first entry in the folder's listing that
// matches any of them.
// Names in code page 1252 are matched with its fold against the host names
// read as UTF-8; UTF-8 names with the ASCII fold against the host names'
// bytes. A listing never holds "." or "..", so those are found only exactly.
// An empty folder is the current directory; the path found starts with the
// folder as given.
std::optional<std::filesystem::path> FindNoCase(const std::filesystem::path& folder, std::span<const std::string> names,
                                                NameEncoding encoding, EntryKind kind = EntryKind::kAny);
std::optional<std::filesystem::path> FindNoCase(const std::filesystem::path& folder, std::string_view name,
                                                NameEncoding encoding, EntryKind kind = EntryKind::kAny);

// A host path as 8-bit text with '/' separators (for messages and variables).
CString HostPathToText(const std::filesystem::path& path);

}  // namespace tvn::path
