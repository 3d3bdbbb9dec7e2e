// Writing UNINSTAL.INF: the head, installed files, directories and program groups.
#include "setuptools/common/uninstall_log.h"

#include <algorithm>
#include <system_error>

#include "setuptools/common/setup_paths.h"
#include "setuptools/common/setup_strings.h"

namespace {
constexpr std::string_view kEnd = "\r\n";
}

std::string CUninstallLog::FormatHead(const CString& caption) {
  CString clean = caption;
  clean.Remove('"');
  clean.Remove(';');
  CString head = LoadSetupString(SetupProgram::kSetup, SetupString::kUninstallHead);
  head.Replace("%1", clean.view());
  head.Replace("%2", clean.view());
  return head.str();
}

std::optional<std::string> CUninstallLog::FormatPathLine(const CString& path) {
  if (path.IsEmpty()) return std::nullopt;
  std::string line = "\"" + path.str() + "\"";
  // Read back exactly as the uninstaller will.
  CInfReader reader;
  if (reader.LoadBytes("[default.files]\r\n" + line + "\r\n", CInfReader::Encoding::kUtf8, false) != 0) {
    return std::nullopt;
  }
  const char* first = reader.GetSection("default.files");
  if (!first || reader.NextLine(first) || CInfReader::GetField(first, 1) != path) return std::nullopt;
  return line;
}

bool CUninstallLog::Open(const CString& uninstallValue, const CString& installDirectory, const CString& caption) {
  Close();
  if (CString(uninstallValue).CompareNoCase("TRUE") != 0) return true;
  auto folder = m_services.WritablePath(installDirectory);
  if (!folder) return false;
  m_path = *folder / "UNINSTAL.INF";
  m_earlierCreated = ReadEarlierCreated(m_path);
  m_file.open(m_path, std::ios::binary | std::ios::trunc);
  if (!m_file) return false;
  m_open = true;
  Write(FormatHead(caption) + std::string(kEnd));
  return true;
}

std::vector<CString> CUninstallLog::ReadEarlierCreated(const std::filesystem::path& path) {
  std::vector<CString> folders;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return folders;
  CInfReader earlier;
  if (earlier.LoadLog(path) != 0) return folders;
  for (const char* line = earlier.GetSection("created.directories"); line; line = earlier.NextLine(line)) {
    const CString folder = CInfReader::GetField(line, 1);
    const auto host = folder.IsEmpty() ? std::nullopt : m_services.WritablePath(folder);
    if (host && std::filesystem::is_directory(std::filesystem::symlink_status(*host, ec))) folders.push_back(folder);
  }
  return folders;
}

void CUninstallLog::Write(std::string_view text) {
  if (!m_open) return;
  m_file.write(text.data(), static_cast<std::streamsize>(text.size()));
  m_file.flush();
}

bool CUninstallLog::WriteQuoted(const CString& path, std::string_view prefix) {
  if (!m_open) return false;
  auto line = FormatPathLine(path);
  if (!line) {
    m_services.WriteSetupLog("Not listed in UNINSTAL.INF (the name cannot be read back): " + path);
    return false;
  }
  Write(std::string(prefix) + *line + std::string(kEnd));
  return true;
}

bool CUninstallLog::LogLine(const CString& path) { return WriteQuoted(path, ""); }

void CUninstallLog::LogOwnPath() {
  if (m_open) LogLine(HostToScriptPath(m_path));
}

void CUninstallLog::WriteDirectoriesLog(const CString& installDirectory) {
  if (!m_open) return;
  CString folder = installDirectory;
  while (folder.GetLength() > 1 && (folder.view().back() == '/' || folder.view().back() == '\\')) {
    folder = folder.Left(folder.GetLength() - 1);
  }
  Write("\r\n[default.directory]\r\n");
  WriteQuoted(folder, "");
  Write("\r\n[created.directories]\r\n");
  const auto& created = m_services.CreatedDirectories();
  for (auto it = created.rbegin(); it != created.rend(); ++it) WriteQuoted(*it, "");
  // An earlier run into this folder made these; the new log stands for both runs.
  for (const CString& folder : m_earlierCreated) {
    if (std::find(created.begin(), created.end(), folder) == created.end()) WriteQuoted(folder, "");
  }
}

bool CUninstallLog::WriteGroupsLog(const CInfReader& script) {
  const char* first = script.GetSection("progman.groups");
  if (!first) return false;
  if (!m_open) return true;
  Write("\r\n[progman.groups]\r\n");
  for (const char* line = first; line; line = script.NextLine(line)) {
    // A group marked "delete" is to go, not to be listed; it hides only itself.
    if (CInfReader::GetField(line, 2).CompareNoCase("delete") == 0) continue;
    WriteQuoted(CInfReader::GetField(line, 1), "\t");
  }
  for (const char* line = first; line; line = script.NextLine(line)) {
    CString group = CInfReader::GetField(line, 1);
    Write("\r\n[" + group.str() + "]\r\n");
    for (const char* item = script.GetSection(group.view()); item; item = script.NextLine(item)) {
      WriteQuoted(CInfReader::GetField(item, 1), "\t");
    }
  }
  return true;
}

void CUninstallLog::Close() {
  if (m_file.is_open()) m_file.close();
  m_open = false;
  m_earlierCreated.clear();
}
