// Messages, the silent log, file errors, deletion and directory chains of a setup run.
#include "setuptools/common/setup_services.h"

#include <cerrno>
#include <fstream>
#include <system_error>

#include "platform/base/exceptions.h"
#include "platform/sys/file_error_messages.h"
#include "platform/user/message_box_types.h"
#include "platform/sys/windows_locations.h"
#include "setuptools/common/setup_paths.h"

CSetupServices::CSetupServices(SetupProgram program, IMessageBoxes& boxes, std::filesystem::path moduleDirectory)
    : m_program(program), m_boxes(boxes), m_moduleDirectory(std::move(moduleDirectory)) {
  auto locations = tvn::sys::GetWindowsLocations();
  tvn::sys::MapAllDrives(m_drives, locations.driveRoot);
  m_prefix = locations.prefix;
  m_roots.push_back(m_prefix);
  m_caption = LoadSetupString(program, SetupString::kTitle);
}

bool CSetupServices::IsInsideRoots(const std::filesystem::path& path) const {
  return tvn::sys::IsInsideRoots(path, m_roots);
}

std::optional<std::filesystem::path> CSetupServices::WritablePath(const CString& scriptPath) {
  auto host = ScriptPathToHost(scriptPath, m_drives, &m_listings);
  if (!host || !IsInsideRoots(*host)) return std::nullopt;
  return host;
}

int CSetupServices::SetupMessage(const CString& text, UINT type) {
  if (m_silent) {
    WriteSetupLog(text);
    return IDOK;
  }
  return m_boxes.Show(text, m_caption, type);
}

int CSetupServices::SetupMessage(UINT id, UINT type) { return SetupMessage(LoadSetupString(m_program, id), type); }

void CSetupServices::WriteSetupLog(const CString& text) {
  auto mode = std::ios::binary | (m_logStarted ? std::ios::app : std::ios::trunc);
  m_logStarted = true;
  std::ofstream log(m_moduleDirectory / "setup.log", mode);
  if (!log) return;
  log << text.view() << '\n';
}

void CSetupServices::ReportFileError(const CString& fileName, int cause, bool writing, UINT defaultId) {
  UINT id = tvn::sys::FileErrorMessageId(cause, writing, defaultId);
  SetupMessage(FormatSetupString(m_program, id, fileName), MB_ICONEXCLAMATION);
}

void CSetupServices::ReportMemoryError() { SetupMessage(SetupString::kOutOfMemory, MB_ICONEXCLAMATION); }

int CSetupServices::DeleteFileReport(const CString& path, bool report) {
  int cause = CFileException::none;
  auto host = ScriptPathToHost(path, m_drives);
  if (!host) {
    cause = CFileException::badPath;
  } else if (!IsInsideRoots(*host)) {
    cause = CFileException::accessDenied;
  } else {
    std::error_code ec;
    std::filesystem::file_status status = std::filesystem::symlink_status(*host, ec);
    if (ec || !std::filesystem::exists(status)) {
      cause = CFileException::fileNotFound;
    } else if (std::filesystem::is_directory(status)) {
      cause = CFileException::accessDenied;  // a file is asked for, never a folder
    } else if (!std::filesystem::remove(*host, ec) || ec) {
      cause = CFileException::OsErrorToCause(ec ? ec.value() : EACCES);
    }
  }
  if (cause != CFileException::none && report) ReportFileError(path, cause, true, SetupString::kWriteGeneric);
  return cause;
}

bool CSetupServices::CreateDirectoryChain(const CString& directory) {
  auto host = ScriptPathToHost(directory, m_drives);
  if (!host) return false;
  std::error_code ec;
  std::filesystem::path target = std::filesystem::absolute(*host, ec).lexically_normal();
  if (ec) return false;
  if (std::filesystem::is_directory(target, ec)) return true;
  if (!IsInsideRoots(target)) return false;
  std::filesystem::path prefix;
  for (const auto& part : target) {
    if (part.empty()) continue;
    prefix /= part;
    if (std::filesystem::is_directory(prefix, ec)) continue;
    if (!std::filesystem::create_directory(prefix, ec) || ec) return false;
    // Folders above the prefix (a first run's data folder) are made but not
    // recorded: the uninstaller never takes them away. The parents made for
    // a typed install directory are recorded with the rest.
    if (IsInsideRoots(prefix) || !tvn::sys::IsInsideRoots(m_prefix, {prefix}))
      m_created.push_back(HostToScriptPath(prefix));
  }
  return true;
}
