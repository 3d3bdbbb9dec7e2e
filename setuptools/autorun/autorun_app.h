// CAutorunApp: the CD start program: refreshes outdated system files, then starts the runtime on the course of the first program item.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/sys/child_reaper.h"
#include "platform/base/cstring.h"
#include "platform/base/host_path.h"
#include "platform/sys/windows_locations.h"
#include "setuptools/common/inf_reader.h"
#include "setuptools/common/message_boxes.h"

class CAutorunApp {
 public:
  // Starts a program with its arguments (after its own name) without
  // waiting; false when it could not be started.
  using Starter = std::function<bool(const std::filesystem::path&, const std::vector<std::string>&)>;

  // commandLine: the words after the program's name, joined by blanks.
  // Without a starter the program is started as a child the app's reaper collects.
  CAutorunApp(IMessageBoxes& boxes, std::filesystem::path moduleDirectory, std::string commandLine,
              Starter starter = {});

  // The whole run; false, so that the program ends.
  bool InitInstance();
  // True when outdated system files were found and the user agreed to update them.
  bool CheckSystemFiles();
  // Installs the outdated [system.files] entries; false when a copy error was
  // answered Abort or the session ended.
  bool CopySystemFiles();
  // System folder + destination name of the entry.
  std::filesystem::path GetInstalledPath(const char* line) const;
  bool CheckRestart();
  void RunPresentation();
  bool RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments);

  // The source directory (its one trailing separator removed).
  const std::string& SourceDirectory() const { return m_sourceDirectory; }
  bool RestartRequested() const { return m_restartRequested; }

 private:
  // The entry's source name: field 1 upper-cased, after its first ':'.
  static CString SourceName(const char* line);
  bool IsOutdated(const char* line) const;
  int InstallSystemFile(const char* line);
  int AskCopyError(int code, const CString& fileName);
  std::optional<std::filesystem::path> SourcePath(const CString& name) const;

  IMessageBoxes& m_boxes;
  std::filesystem::path m_moduleDirectory;
  std::string m_sourceDirectory;
  tvn::sys::WindowsLocations m_locations;
  tvn::path::DriveTable m_drives;
  CInfReader m_script;
  CString m_caption;
  Starter m_starter;
  tvn::sys::ChildReaper m_reaper;
  bool m_renameAtReboot = false;  // never set: files in use are replaced at once
  bool m_restartRequested = false;
};
