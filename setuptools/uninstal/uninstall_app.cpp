// The uninstal run: the log, the question, the files, the folders and the menu groups, all inside the roots.
#include "setuptools/uninstal/uninstall_app.h"

#include <charconv>
#include <cstdlib>

#include "platform/base/codepage.h"
#include "platform/base/program_text.h"
#include "platform/user/dialog_colours.h"
#include "platform/user/message_box_types.h"
#include "setuptools/common/setup_paths.h"
#include "setuptools/common/setup_strings.h"

namespace {

namespace fs = std::filesystem;

// The course type each Tvnrun start registers with the desktop (the file type
// id of its course template).
constexpr std::string_view kCourseFileType = "Tavelon.Presentation";

fs::path Clean(const fs::path& path) {
  std::error_code ec;
  fs::path absolute = fs::absolute(path, ec);
  fs::path clean = (ec ? path : absolute).lexically_normal();
  // "/a/b/" and "/a/b" are one folder.
  if (!clean.has_filename() && clean.has_parent_path() && clean != clean.root_path()) clean = clean.parent_path();
  return clean;
}

// Whether inner lies inside outer (or is it), lexically.
bool IsWithin(const fs::path& inner, const fs::path& outer) {
  auto i = inner.begin();
  for (auto o = outer.begin(); o != outer.end(); ++o, ++i) {
    if (o->empty()) continue;
    if (i == inner.end() || *i != *o) return false;
  }
  return true;
}

}  // namespace

CUninstallApp::CUninstallApp(Services services, fs::path moduleDirectory, std::vector<std::string> arguments)
    : m_services(services), m_moduleDirectory(std::move(moduleDirectory)), m_arguments(std::move(arguments)) {
  m_locations = tvn::sys::GetWindowsLocations();
  tvn::sys::MapAllDrives(m_drives, m_locations.driveRoot);
  m_caption = CString("uninstal");
}

void CUninstallApp::Report(UINT id, UINT type) {
  m_services.boxes.Show(LoadSetupString(SetupProgram::kUninstal, id), m_caption, type);
}

bool CUninstallApp::InitInstance() {
  // uninstal's texts are UTF-8, host paths among them, on the screen too.
  tvn::text::SetProgramEncoding(tvn::text::TextEncoding::kUtf8);
  SetDialogBkColor(0xC0C0C0, RGB(0, 0, 0));
  if (!LoadLog()) return false;
  const CString text = m_log.GetString("dialog.text1");
  if (!m_services.question.Confirm(m_caption, text)) return false;
  DoUninstall();
  if (m_notRemoved.empty()) {
    Report(SetupString::kComplete, MB_ICONINFORMATION);
  } else {
    std::string list;
    for (const std::string& path : m_notRemoved) list += path + "\n";
    m_services.boxes.Show(FormatSetupString(SetupProgram::kUninstal, SetupString::kNotRemoved, CString(list)), m_caption,
                          MB_ICONEXCLAMATION);
  }
  return false;
}

int CUninstallApp::ExitInstance() {
  m_log = CInfReader();
  return 0;
}

bool CUninstallApp::LoadLog() {
  m_logPath = m_arguments.empty() ? m_moduleDirectory / LoadSetupString(SetupProgram::kUninstal, SetupString::kLogName).str()
                                  : fs::path(m_arguments.front());
  if (const UINT id = m_log.LoadLog(m_logPath)) {
    Report(id, MB_ICONEXCLAMATION);
    return false;
  }
  const CString caption = m_log.GetString("dialog.caption");
  if (!caption.IsEmpty()) m_caption = caption;

  // The folders that always stay: /, the home folder, and the prefix with
  // its drive, the Windows and system folders (these go only when empty).
  m_shared = {Clean(m_locations.prefix), Clean(m_locations.driveRoot), Clean(m_locations.windowsDir),
              Clean(m_locations.systemDir)};
  m_kept = m_shared;
  m_kept.emplace_back("/");
  if (const char* home = std::getenv("HOME"); home && *home) m_kept.push_back(Clean(home));
  m_roots = {Clean(m_locations.prefix)};
  m_installRoot.reset();
  // The install directory is a root when the log lies in it and it is none
  // of the folders that stay nor a folder holding one of the roots.
  const char* first = m_log.GetSection("default.directory");
  if (first) {
    const auto install = HostPath(CInfReader::GetField(first, 1));
    if (install && *install == Clean(Clean(m_logPath).parent_path())) {
      bool allowed = true;
      for (const fs::path& kept : m_kept) allowed = allowed && *install != kept;
      for (const fs::path& root : m_roots) allowed = allowed && !IsWithin(root, *install);
      if (allowed) {
        m_roots.push_back(*install);
        m_installRoot = *install;
      }
    }
  }
  m_insideRoots.clear();
  return true;
}

std::optional<fs::path> CUninstallApp::HostPath(const CString& path) const {
  if (path.IsEmpty()) return std::nullopt;
  // A host path that exists as written is taken at once: the mapping would
  // find every component with its exact case (one look instead of one per component).
  if (path.view().front() == '/' && path.view().find('\\') == std::string_view::npos) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(fs::path(path.str()), ec))) return Clean(fs::path(path.str()));
  }
  auto host = ScriptPathToHost(path, m_drives);
  if (!host || !host->is_absolute()) return std::nullopt;  // the log names only whole paths
  return Clean(*host);
}

bool CUninstallApp::MayRemove(const fs::path& path) const {
  for (const fs::path& kept : m_kept) {
    if (path == kept) return false;
  }
  // The last component is never followed (a link is removed itself, a
  // folder only when it is a real one), so its parent decides; a root itself may go.
  for (const fs::path& root : m_roots) {
    if (path == root) return true;
  }
  if (!path.has_parent_path() || path.parent_path() == path) return false;
  // Logged files share a few folders: each folder's links are resolved once a run.
  const fs::path parent = path.parent_path();
  auto known = m_insideRoots.find(parent);
  if (known == m_insideRoots.end()) known = m_insideRoots.emplace(parent, tvn::sys::IsInsideRoots(parent, m_roots)).first;
  return known->second;
}

bool CUninstallApp::IsRemovedOnlyWhenEmpty(const fs::path& folder) const {
  for (const fs::path& shared : m_shared) {
    if (folder == shared) return true;
  }
  // A parent setup made outside the roots for a typed install directory;
  // never one that holds a folder that always stays (the home folder, the prefix).
  if (!m_installRoot || !IsWithin(*m_installRoot, folder) || tvn::sys::IsInsideRoots(folder, m_roots)) return false;
  for (const fs::path& kept : m_kept) {
    if (IsWithin(kept, folder)) return false;
  }
  return true;
}

bool CUninstallApp::DoUninstall() {
  DeleteFiles();
  RemoveFileAssociation();
  DeleteDirectories();
  RemoveProgmanGroups();
  return true;
}

void CUninstallApp::DeleteFiles() {
  m_removedFiles.clear();
  for (const char* line = m_log.GetSection("default.files"); line; line = m_log.NextLine(line)) {
    const CString path = CInfReader::GetField(line, 1);
    if (tvn::codepage::UpperAscii(CInfReader::GetField(line, 2).view()).find("EXISTED") != std::string::npos) continue;
    if (path.IsEmpty()) continue;
    const auto host = HostPath(path);
    if (!host || !MayRemove(*host)) {
      m_notRemoved.push_back(path.str());
      continue;
    }
    const int cause = m_services.files.RemoveFile(*host);
    if (cause != 0 && m_services.files.Exists(*host)) m_notRemoved.push_back(path.str());
    else m_removedFiles.push_back(*host);
  }
}

void CUninstallApp::RemoveFileAssociation() {
  if (!m_removedFiles.empty()) m_services.files.RemoveFileType(kCourseFileType, m_removedFiles);
}

void CUninstallApp::DeleteDirectories() {
  CString install;
  if (const char* first = m_log.GetSection("default.directory")) install = CInfReader::GetField(first, 1);
  bool installAsked = false;
  for (const char* line = m_log.GetSection("created.directories"); line; line = m_log.NextLine(line)) {
    const CString directory = CInfReader::GetField(line, 1);
    if (directory.IsEmpty()) continue;
    if (tvn::codepage::EqualsNoCaseAscii(directory.view(), install.view())) {
      if (installAsked) continue;
      installAsked = true;
    }
    AskAndRemoveDirectory(directory);
  }
  if (!installAsked && !install.IsEmpty()) AskAndRemoveDirectory(install);
}

void CUninstallApp::AskAndRemoveDirectory(const CString& directory) {
  const auto host = HostPath(directory);
  // The prefix, its drive and the Windows folders belong to every
  // installation, and a parent of the install directory may hold the
  // learner's own folders: each goes without a word when setup made it and
  // it is left empty, and stays without one otherwise.
  if (host && IsRemovedOnlyWhenEmpty(*host)) {
    m_services.files.RemoveDirectory(*host);
    return;
  }
  for (const fs::path& kept : m_kept) {
    if (host && *host == kept) return;
  }
  if (!host || !MayRemove(*host)) {
    m_notRemoved.push_back(directory.str());
    return;
  }
  if (!m_services.files.Exists(*host)) return;
  const int answer =
      m_services.boxes.Show(FormatSetupString(SetupProgram::kUninstal, SetupString::kDeleteDirectory, directory),
                            m_caption, MB_YESNO | MB_ICONQUESTION);
  if (answer != IDYES) return;
  if (m_services.files.RemoveDirectory(*host)) return;
  DeleteDirectoryFiles(directory);
  if (!m_services.files.RemoveDirectory(*host) && m_services.files.Exists(*host)) m_notRemoved.push_back(directory.str());
}

void CUninstallApp::DeleteDirectoryFiles(const CString& directory) {
  // A bare drive ("C:") is never emptied.
  if (directory.GetLength() <= 2) return;
  const auto host = HostPath(directory);
  if (!host || !MayRemove(*host)) return;
  for (const std::string& name : m_services.files.ListDirectory(*host)) {
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) continue;
    m_services.files.RemoveFile(*host / name);  // folders inside stay, and so does this one then
  }
}

void CUninstallApp::RemoveProgmanGroups() {
  const char* first = m_log.GetSection("progman.groups");
  if (!first) return;
  CProgmanClient client(m_services.progman, [this](UINT id) { Report(id, MB_OK); });
  if (!client.ProgmanConnect()) return;
  auto command = [&](UINT id, const CString& name) {
    client.DdeExecuteCommand(FormatSetupString(SetupProgram::kUninstal, id, name));
  };
  for (const char* line = first; line; line = m_log.NextLine(line)) {
    const CString group = CInfReader::GetField(line, 1);
    if (group.IsEmpty()) continue;
    // The group is made current first, so an item of the same name in
    // another group is never the one deleted.
    command(SetupString::kShowGroupNormal, group);
    for (const char* item = m_log.GetSection(group.view()); item; item = m_log.NextLine(item)) {
      command(SetupString::kRemoveItem, CInfReader::GetField(item, 1));
    }
    CString answer;
    if (!client.DdeRequestItem(group, answer)) continue;
    const auto count = AnswerField(answer.view(), 2);
    if (!count) continue;
    // Only a count that is a number says the group is empty.
    std::string_view digits = *count;
    while (!digits.empty() && digits.front() == ' ') digits.remove_prefix(1);
    long value = 1;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end == digits.data()) continue;
    if (value <= 0) {
      command(SetupString::kShowGroupSix, group);
      command(SetupString::kDeleteGroup, group);
    }
  }
  client.ProgmanDisconnect();
}
