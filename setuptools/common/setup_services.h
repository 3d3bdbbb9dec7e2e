// CSetupServices: what every step of a setup run uses: messages or the silent log, file errors, deletion, directories and the roots writers stay in.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/sys/child_reaper.h"
#include "platform/base/cstring.h"
#include "platform/base/host_path.h"
#include "platform/base/win_types.h"
#include "setuptools/common/message_boxes.h"
#include "setuptools/common/setup_strings.h"

class CSetupServices {
 public:
  // moduleDirectory: the folder of the running program (setup.log goes there).
  CSetupServices(SetupProgram program, IMessageBoxes& boxes, std::filesystem::path moduleDirectory);

  SetupProgram Program() const { return m_program; }
  void SetSilent(bool silent) { m_silent = silent; }
  bool IsSilent() const { return m_silent; }
  void SetCaption(const CString& caption) { m_caption = caption; }
  const CString& Caption() const { return m_caption; }
  const std::filesystem::path& ModuleDirectory() const { return m_moduleDirectory; }

  // Drive letters of script paths; every letter is the drive root by default.
  tvn::path::DriveTable& Drives() { return m_drives; }
  const tvn::path::DriveTable& Drives() const { return m_drives; }
  // The folders writers may touch: the prefix of the Windows locations, then
  // the install directory once it is known.
  void AddRoot(const std::filesystem::path& root) { m_roots.push_back(root); }
  bool IsInsideRoots(const std::filesystem::path& path) const;
  // A script path as a host path inside the roots, or nothing. The folders
  // it searches keep their listings for the next call.
  std::optional<std::filesystem::path> WritablePath(const CString& scriptPath);
  // A file was just written at a path WritablePath gave.
  void NoteWritten(const std::filesystem::path& file) { m_listings.Added(file); }

  // A box, or in silent mode a setup.log line; the box's answer, and in
  // silent mode IDOK (OK/Cancel counts as OK, Yes/No as not Yes).
  int SetupMessage(const CString& text, UINT type);
  int SetupMessage(UINT id, UINT type);
  // Appends the text and a line end to setup.log in the module directory;
  // the first line of a run creates the file afresh. A log that cannot be
  // opened loses the line.
  void WriteSetupLog(const CString& text);

  // The message for a file-exception cause with %1 the file name (through SetupMessage).
  void ReportFileError(const CString& fileName, int cause, bool writing, UINT defaultId);
  void ReportMemoryError();

  // Removes a file; 0 or the file-exception cause (with its message when report is set).
  int DeleteFileReport(const CString& path, bool report);

  // Creates the folder and its missing parents, recording each created one
  // (outer first) but those above the prefix. An existing folder records
  // nothing and is no failure; false when a folder could not be created or
  // lies outside the roots.
  // The process's current directory is never changed.
  bool CreateDirectoryChain(const CString& directory);
  // Created folders in creation order, as host paths.
  const std::vector<CString>& CreatedDirectories() const { return m_created; }
  // Records a folder that something else created (a ZIP's folders).
  void RecordCreatedDirectory(const CString& directory) { m_created.push_back(directory); }

  // Collects the exit of the programs the run starts without waiting.
  tvn::sys::ChildReaper& Reaper() { return m_reaper; }

 private:
  SetupProgram m_program;
  IMessageBoxes& m_boxes;
  std::filesystem::path m_moduleDirectory;
  tvn::sys::ChildReaper m_reaper;
  bool m_silent = false;
  bool m_logStarted = false;
  CString m_caption;
  tvn::path::DriveTable m_drives;
  tvn::path::FolderListings m_listings;  // of the folders files are written to
  std::filesystem::path m_prefix;  // of the Windows locations
  std::vector<std::filesystem::path> m_roots;
  std::vector<CString> m_created;
};
