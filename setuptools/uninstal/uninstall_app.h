// CUninstallApp: the uninstal program: reads UNINSTAL.INF, asks once, removes the logged files, folders and menu entries inside its roots.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/cstring.h"
#include "platform/base/host_path.h"
#include "platform/sys/windows_locations.h"
#include "setuptools/common/inf_reader.h"
#include "setuptools/common/message_boxes.h"
#include "setuptools/common/progman_client.h"
#include "setuptools/uninstal/removal_file_system.h"

// The confirmation question (the "Startup" dialog's text, "&Yes", "&No" the default).
class IUninstallQuestion {
 public:
  virtual ~IUninstallQuestion() = default;
  // True for Yes; No and closing are false.
  virtual bool Confirm(const CString& caption, const CString& text) = 0;
};

class CUninstallApp {
 public:
  struct Services {
    IMessageBoxes& boxes;
    IUninstallQuestion& question;
    IRemovalFileSystem& files;
    IProgmanTransport& progman;
  };
  // arguments: the command line's words after the program's name.
  CUninstallApp(Services services, std::filesystem::path moduleDirectory, std::vector<std::string> arguments);

  // The whole run; false, so that the program ends.
  bool InitInstance();
  // Loads the log (401 or 402 in a box when it cannot) and works out the roots.
  bool LoadLog();
  bool DoUninstall();
  void DeleteFiles();
  // The desktop's course file type goes when it opens courses with a program
  // DeleteFiles removed.
  void RemoveFileAssociation();
  void DeleteDirectories();
  void DeleteDirectoryFiles(const CString& directory);
  void RemoveProgmanGroups();
  int ExitInstance();

  const std::filesystem::path& LogPath() const { return m_logPath; }
  const std::vector<std::filesystem::path>& Roots() const { return m_roots; }
  // Whether a path may be removed: inside the roots and none of the folders that always stay.
  bool MayRemove(const std::filesystem::path& path) const;
  // What was to be removed and stayed (or lay outside the roots), as script text.
  const std::vector<std::string>& NotRemoved() const { return m_notRemoved; }

 private:
  std::optional<std::filesystem::path> HostPath(const CString& path) const;
  // A folder of every installation (the prefix, its drive, the Windows
  // folders) or a parent of the install directory outside the roots:
  // removed only when empty.
  bool IsRemovedOnlyWhenEmpty(const std::filesystem::path& folder) const;
  void AskAndRemoveDirectory(const CString& directory);
  void Report(UINT id, UINT type);

  Services m_services;
  std::filesystem::path m_moduleDirectory;
  std::vector<std::string> m_arguments;
  std::filesystem::path m_logPath;
  CString m_caption;
  CInfReader m_log;
  tvn::sys::WindowsLocations m_locations;
  tvn::path::DriveTable m_drives;
  std::vector<std::filesystem::path> m_roots;
  std::vector<std::filesystem::path> m_kept;    // never emptied or removed (but the shared ones when empty)
  std::vector<std::filesystem::path> m_shared;  // the Windows locations, part of m_kept
  std::optional<std::filesystem::path> m_installRoot;
  std::vector<std::filesystem::path> m_removedFiles;  // by DeleteFiles
  std::vector<std::string> m_notRemoved;
  mutable std::map<std::filesystem::path, bool> m_insideRoots;  // folders checked against the roots
};
