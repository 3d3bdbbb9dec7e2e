// The autorun run: the script beside the program, the system-file check and copy, the restart question, the runtime's start.
#include "setuptools/autorun/autorun_app.h"

#include <fstream>
#include <system_error>

#include "platform/base/codepage.h"
#include "platform/base/program_text.h"
#include "platform/user/dialog_colours.h"
#include "platform/user/message_box_types.h"
#include "platform/sys/process.h"
#include "platform/sys/staged_file.h"
#include "setuptools/common/copy_error_text.h"
#include "setuptools/common/lz_expand.h"
#include "setuptools/common/pending_messages.h"
#include "setuptools/common/setup_paths.h"
#include "setuptools/common/setup_strings.h"
#include "setuptools/common/version_checks.h"
#include "setuptools/common/version_install.h"

namespace {

namespace fs = std::filesystem;

// Replaces "<defsrc>" and "<sysdir>" only, in one pass from left to right.
std::string ReplaceCourseMacros(std::string_view text, const std::string& source, const std::string& system) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    if (text.substr(i, 8) == "<defsrc>") {
      out += source + "/";
      i += 8;
    } else if (text.substr(i, 8) == "<sysdir>") {
      out += system + "/";
      i += 8;
    } else {
      out += text[i++];
    }
  }
  return out;
}

}  // namespace

CAutorunApp::CAutorunApp(IMessageBoxes& boxes, fs::path moduleDirectory, std::string commandLine, Starter starter)
    : m_boxes(boxes), m_moduleDirectory(std::move(moduleDirectory)), m_starter(std::move(starter)) {
  m_locations = tvn::sys::GetWindowsLocations();
  tvn::sys::MapAllDrives(m_drives, m_locations.driveRoot);
  m_caption = LoadSetupString(SetupProgram::kAutorun, SetupString::kTitle);
  m_sourceDirectory = commandLine.size() > 2 ? commandLine : m_moduleDirectory.string();
  if (!m_sourceDirectory.empty() && (m_sourceDirectory.back() == '\\' || m_sourceDirectory.back() == '/')) {
    m_sourceDirectory.pop_back();
  }
}

bool CAutorunApp::InitInstance() {
  // autorun's texts are UTF-8, host paths among them, in its boxes too.
  tvn::text::SetProgramEncoding(tvn::text::TextEncoding::kUtf8);
  if (const UINT id = m_script.Load(m_moduleDirectory)) {
    m_boxes.Show(LoadSetupString(SetupProgram::kAutorun, id), m_caption, MB_ICONEXCLAMATION);
    return false;
  }
  SetDialogBkColor(0xC0C0C0);
  if (CheckSystemFiles() && !ProgramClosing()) {
    CopySystemFiles();
    // A restart has no counterpart here: the answer is kept and the runtime still starts.
    if (!ProgramClosing() && CheckRestart()) m_restartRequested = true;
  }
  // A session that has ended meanwhile (seen by a box or the copy) starts nothing.
  if (!ProgramClosing()) RunPresentation();
  return false;
}

CString CAutorunApp::SourceName(const char* line) {
  const std::string field = tvn::codepage::UpperAscii(CInfReader::GetField(line, 1).view());
  // After the first ':' ("1:NAME", "12:NAME"); a field without one is the name.
  const std::size_t colon = field.find(':');
  return CString(colon == std::string::npos ? field : field.substr(colon + 1));
}

std::optional<fs::path> CAutorunApp::SourcePath(const CString& name) const {
  if (name.IsEmpty() || name.view().find_first_of("/\\") != std::string_view::npos) return std::nullopt;
  return ScriptPathToHost(CString(m_sourceDirectory + "/" + name.str()), m_drives);
}

fs::path CAutorunApp::GetInstalledPath(const char* line) const {
  const CString name = SourceName(line);
  std::string destination = CInfReader::GetField(line, 4).str();
  if (destination.empty()) {
    destination = name.str();
    if (!destination.empty() && destination.back() == '_') {
      if (auto source = SourcePath(name)) {
        std::ifstream in(*source, std::ios::binary);
        char head[kSzddHeaderSize] = {};
        in.read(head, sizeof head);
        const std::string expanded =
            SzddExpandedName(destination, std::string_view(head, static_cast<std::size_t>(in.gcount())));
        if (!expanded.empty()) destination = GetFileNamePart(CString(expanded)).str();
      }
    }
  }
  // The destination stays a name inside the system folder.
  destination = GetFileNamePart(CString(destination)).str();
  if (destination.empty() || destination == "." || destination == "..") return {};
  auto host = ScriptPathToHost(CString((m_locations.systemDir / destination).string()), m_drives);
  return host ? *host : m_locations.systemDir / destination;
}

bool CAutorunApp::IsOutdated(const char* line) const {
  const CString version = CInfReader::GetField(line, 6);
  if (version.IsEmpty()) return false;
  const fs::path installed = GetInstalledPath(line);
  std::error_code ec;
  if (installed.empty() || !fs::is_regular_file(installed, ec)) return false;
  const CString current = GetFileVersionString(installed);
  return !current.IsEmpty() && CompareVersionStrings(version, current) > 0;
}

bool CAutorunApp::CheckSystemFiles() {
  std::string list;
  for (const char* line = m_script.GetSection("system.files"); line; line = m_script.NextLine(line)) {
    if (IsOutdated(line)) list += GetInstalledPath(line).filename().string() + "\n";
  }
  if (list.empty()) return false;
  const std::string text = "Tavelon has detected that the following MS Windows files need updating:\n\n" + list +
                           "\nDo you want to install these files now?\n\nWARNING: If you do not install these files, "
                           "then Tavelon may not run correctly.";
  return m_boxes.Show(CString(text), m_caption, MB_YESNO) == IDYES;
}

bool CAutorunApp::CopySystemFiles() {
  for (const char* line = m_script.GetSection("system.files"); line; line = m_script.NextLine(line)) {
    if (!IsOutdated(line)) continue;
    if (!DispatchPendingMessages()) return false;  // the session ended
    for (;;) {
      const int code = InstallSystemFile(line);
      if (code == 0) break;
      const int answer = AskCopyError(code, SourceName(line));
      if (answer == IDABORT) return false;
      if (answer != IDRETRY) break;
    }
  }
  return true;
}

int CAutorunApp::InstallSystemFile(const char* line) {
  using namespace VersionInstallBit;
  const CString name = SourceName(line);
  const auto source = SourcePath(name);
  std::error_code ec;
  if (!source || !fs::is_regular_file(*source, ec)) return 2;
  const fs::path installed = GetInstalledPath(line);
  if (installed.empty()) return 5;
  if (!tvn::sys::WindowsSystemFolder()) return 5;
  const std::string targetName = installed.filename().string();
  const fs::path directory = FindSharedFileDirectory(targetName, m_locations, installed.parent_path());
  const VersionInstallResult result = VersionInstallFile(false, source->parent_path(), source->filename().string(),
                                                         directory, targetName);
  if (const auto failure = VersionInstallFailure(result)) return *failure;
  if (result.bits & kFileInUse) {
    // The staged copy replaces the running file at once; the program keeps
    // its old file until it ends, so no restart is needed.
    if (!(result.bits & kTempFile) || !tvn::sys::ReplaceFile(result.temporary, directory / targetName)) {
      RemoveStagedCopy(result);
      return 5;
    }
    return 0;
  }
  // A mismatch keeps the installed file: the entries carry no CHECK flag.
  RemoveStagedCopy(result);
  return 0;
}

int CAutorunApp::AskCopyError(int code, const CString& fileName) {
  // System files are written into the system folder.
  const CString text = CopyErrorText(SetupProgram::kAutorun, code, fileName, m_locations.systemDir);
  return m_boxes.Show(text, m_caption, MB_ABORTRETRYIGNORE | MB_ICONEXCLAMATION);
}

bool CAutorunApp::CheckRestart() {
  const bool wanted =
      m_renameAtReboot || (m_script.GetString("bootup.CmdLine").IsEmpty() &&
                           tvn::codepage::EqualsNoCaseAscii(m_script.GetString("data.restartwindows").view(), "true"));
  if (!wanted) return false;
  return m_boxes.Show(LoadSetupString(SetupProgram::kAutorun, SetupString::kRestart), m_caption,
                      MB_OKCANCEL | MB_ICONHAND) == IDOK;
}

void CAutorunApp::RunPresentation() {
  const char* groups = m_script.GetSection("progman.groups");
  if (!groups) return;
  const CString group = CInfReader::GetField(groups, 1);
  std::string course;
  if (const char* item = m_script.GetSection(group.view())) {
    course = ReplaceCourseMacros(CInfReader::GetField(item, 3).view(), m_sourceDirectory, m_locations.systemDir.string());
  }
  const std::string runtime = m_sourceDirectory + "/tvnrun.exe";
  const std::string commandLine = runtime + " \"" + course + "\"";
  // "tvnrun.exe" is the runtime's Windows name: the file found without its
  // extension and without regard to case.
  const auto program = tvn::sys::ResolveProgram(runtime);
  std::vector<std::string> arguments;
  if (!course.empty()) arguments.push_back(course);
  if (!program || !RunProgram(*program, arguments)) {
    m_boxes.Show(FormatSetupString(SetupProgram::kAutorun, SetupString::kRunProgram, CString(commandLine)), m_caption,
                 MB_OK);
  }
}

bool CAutorunApp::RunProgram(const fs::path& program, const std::vector<std::string>& arguments) {
  if (m_starter) return m_starter(program, arguments);
  return tvn::sys::StartProcess(program, arguments, m_reaper).started;
}
