// CUninstallLog: the writer of UNINSTAL.INF, the list of what a setup run put on the machine.
#pragma once

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/cstring.h"
#include "setuptools/common/inf_reader.h"
#include "setuptools/common/setup_services.h"

// The file is UTF-8 with CR LF line ends. Paths stand in double quotes, so
// blanks, ',' and '=' survive the reader; a path the reader would not give
// back exactly is not written (see LogLine). Each line reaches the file as it
// is written, so a run that is killed leaves the lines logged so far.
class CUninstallLog {
 public:
  explicit CUninstallLog(CSetupServices& services) : m_services(services) {}

  // When the script's data.uninstall is "TRUE" (any case): creates
  // installDirectory/UNINSTAL.INF afresh and writes the head with the
  // caption. The folders an earlier run's log lists as created, and which
  // are still there, are kept for this run's list (see WriteDirectoriesLog).
  // False only when the file should be written and cannot be.
  bool Open(const CString& uninstallValue, const CString& installDirectory, const CString& caption);
  bool IsOpen() const { return m_open; }
  const std::filesystem::path& Path() const { return m_path; }

  // One installed file. A path that would not read back exactly (it holds
  // ';', '"', ']', CR or LF, or outer blanks) is named in setup.log instead:
  // a cut path could name another file. True when written.
  bool LogLine(const CString& path);
  // The log's own path, so the uninstaller removes it last.
  void LogOwnPath();
  // [default.directory] with the install directory, then
  // [created.directories] newest first: this run's, then an earlier run's
  // that this run did not make again.
  void WriteDirectoriesLog(const CString& installDirectory);
  // [progman.groups] and the item names of each group section; false when
  // the script has no [progman.groups].
  bool WriteGroupsLog(const CInfReader& script);
  void Close();

  // The head for a caption ('"' and ';' removed).
  static std::string FormatHead(const CString& caption);
  // The quoted line for a path, or nothing when it would not read back as it is.
  static std::optional<std::string> FormatPathLine(const CString& path);

 private:
  // Writes the text and hands it to the system at once.
  void Write(std::string_view text);
  bool WriteQuoted(const CString& path, std::string_view prefix);
  // The folders a log already at path lists under [created.directories]
  // that are folders inside the roots now.
  std::vector<CString> ReadEarlierCreated(const std::filesystem::path& path);

  CSetupServices& m_services;
  std::filesystem::path m_path;
  std::ofstream m_file;
  bool m_open = false;
  std::vector<CString> m_earlierCreated;
};
