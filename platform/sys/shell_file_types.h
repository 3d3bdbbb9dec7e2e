// Registering a program's document type with the desktop: a shared-mime-info
// package and a desktop entry in the user's data folder.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tvn::sys {

// A document type and the program that opens it.
struct ShellFileType {
  std::string typeId;                   // "Tavelon.Presentation": names the MIME type and both files
  std::string description;              // "Tavelon Presentation": the type's comment
  std::vector<std::string> extensions;  // ".tvn", ".mcl"
  std::string programName;              // the desktop entry's Name
  std::filesystem::path program;        // what the desktop starts with the file
};

// The MIME type of the id: "application/x-" and the id in lower case, every
// byte other than a letter, digit, '.', '+' or '-' as '-'.
std::string ShellMimeType(std::string_view typeId);
// The file name the id gives both files (with ".xml" and ".desktop"):
// letters, digits, '.', '-' and '_' kept, every other byte as '_'.
std::string ShellFileStem(std::string_view typeId);

// The shared-mime-info package: one type with a glob per extension.
std::string MimePackageText(const ShellFileType& type);
// The desktop entry: hidden from menus, the MIME type, and Exec the quoted
// program with "%f".
std::string DesktopEntryText(const ShellFileType& type);

struct ShellRegistration {
  bool packageWritten = false;
  bool entryWritten = false;
  bool failed = false;  // a folder or file could not be made or written
};

// Writes dataHome/mime/packages/<stem>.xml and dataHome/applications/<stem>.desktop
// where they are missing or say something else, each through a temporary file
// renamed over it, then runs update-mime-database or update-desktop-database
// on the folder that changed (without a shell; skipped when not installed).
// Files that already say the same are left untouched. Never throws.
ShellRegistration RegisterShellFileType(const ShellFileType& type, const std::filesystem::path& dataHome);

// Takes the type's desktop entry and package out of dataHome when the entry
// opens files with one of the programs, which are gone (paths compared with
// their folders' links resolved), then runs the update tools on the folders
// that changed. An entry that is no plain file stays. True when the entry was
// removed. Never throws.
bool UnregisterShellFileType(std::string_view typeId, const std::vector<std::filesystem::path>& programs,
                             const std::filesystem::path& dataHome);

}  // namespace tvn::sys
