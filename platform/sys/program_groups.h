// Program groups as freedesktop menu entries: the service that answers Program Manager's command strings in its place.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tvn::sys {

// One command of a command string: "[name(arg1,arg2)]". Arguments are split
// at commas outside double quotes; quotes group and are dropped.
struct ProgmanCommand {
  std::string name;
  std::vector<std::string> arguments;
  // The same arguments as written, quotes kept: a command line's own
  // quoting (additem's first argument, its icon) is read from these.
  std::vector<std::string> written;
};

// Every command of the string, in order; nothing when any part of it is not
// of that form (unbalanced brackets or quotes, text between commands).
std::optional<std::vector<ProgmanCommand>> ParseProgmanCommands(std::string_view text);

// A file-name part made of a group or item name: letters, digits, '-' and
// '_' are kept, every other byte becomes '_'; never empty.
std::string MenuFileName(std::string_view name);

// The folders the menu entries go to.
struct MenuFolders {
  std::filesystem::path applications;  // $XDG_DATA_HOME/applications/tavelon: one folder per group
  std::filesystem::path directories;   // $XDG_DATA_HOME/desktop-directories: tavelon-<group>.directory
  std::filesystem::path menus;         // $XDG_CONFIG_HOME/menus/applications-merged: tavelon-<group>.menu
};
MenuFolders GetMenuFolders();

// A group is applications/<group>/ with one <item>.desktop per item, its
// .directory file and its .menu file, which merges the group into the
// applications menu as a submenu. The current group (the last created or
// shown) receives additem and deleteitem. Removal never follows a symbolic
// link and never descends into folders; the applications folder goes with
// the last group's folder.
class ProgramGroupService {
 public:
  explicit ProgramGroupService(MenuFolders folders = GetMenuFolders()) : m_folders(std::move(folders)) {}

  // Whether the applications folder can be made (the connection's check).
  bool Open();
  // Runs every command of the string; false when it cannot be parsed or a command failed.
  bool Execute(std::string_view commands);
  // A group's answer: "\"<group>\",<folder name>,<item count>" and a line per item
  // ("\"<name>\",\"<Exec>\""), lines ended by CR LF; nothing for an unknown group.
  std::optional<std::string> Request(std::string_view group) const;

  std::filesystem::path GroupFolder(std::string_view group) const;
  // The number of item files in the group's folder; -1 when there is no such group.
  int ItemCount(std::string_view group) const;

 private:
  bool Run(const ProgmanCommand& command);
  bool CreateGroup(const std::string& group);
  bool DeleteGroup(const std::string& group);
  bool AddItem(const ProgmanCommand& command);
  bool DeleteItem(const std::string& item);

  MenuFolders m_folders;
  std::string m_current;  // the current group's name; empty for none
};

// The Exec value for a command line (split by the Windows rules): each
// argument in double quotes with '"', '`', '$' and '\' escaped, '%' doubled,
// then the string escapes of a desktop entry applied. Empty arguments (an
// item without one is sent as "") are left out.
std::string DesktopExecValue(std::string_view commandLine);

}  // namespace tvn::sys
