// The two step sequences of setup (wizard and silent), the disk-space and restart checks and the install directory's checks.
#include "setuptools/setup/setup_app.h"

#include <cstdlib>
#include <system_error>

#include "platform/user/message_box_types.h"
#include "setuptools/common/control_registration.h"
#include "setuptools/common/program_runner.h"
#include "setuptools/common/setup_strings.h"

namespace {

namespace fs = std::filesystem;

// Whether folder is the path itself or one of its parents (both cleaned up lexically).
bool IsSameOrAbove(const fs::path& folder, const fs::path& path) {
  std::string a = folder.lexically_normal().string();
  std::string b = path.lexically_normal().string();
  while (a.size() > 1 && a.back() == '/') a.pop_back();
  while (b.size() > 1 && b.back() == '/') b.pop_back();
  if (a == "/" || a == b) return true;
  return b.size() > a.size() && b.compare(0, a.size(), a) == 0 && b[a.size()] == '/';
}

}  // namespace

bool CSetupApp::CheckDiskSpace() {
  std::uint64_t required = 0;
  const std::string minspace = m_script.GetString("disk.space.minspace").str();
  for (char c : minspace) {
    if (c < '0' || c > '9') break;
    // Held at the largest value rather than wrapping round to a small one.
    if (required > (UINT64_MAX - 9) / 10) {
      required = UINT64_MAX;
      break;
    }
    required = required * 10 + static_cast<unsigned>(c - '0');
  }
  const auto components = static_cast<std::uint64_t>(GetComponentsSize());
  m_requiredBytes = required > UINT64_MAX - components ? UINT64_MAX : required + components;
  const auto folder = ScriptPathToHost(m_installText, m_services.Drives());
  const std::uint64_t free = folder ? GetDriveFreeSpace(*folder) : 0;
  return free > m_requiredBytes;
}

bool CSetupApp::CheckRestart() {
  const bool wanted = m_renameAtReboot || (m_script.GetString("bootup.CmdLine").IsEmpty() &&
                                           m_script.GetString("data.restartwindows").CompareNoCase("TRUE") == 0);
  if (!wanted) return false;
  return m_services.SetupMessage(SetupString::kRestart, MB_OKCANCEL | MB_ICONHAND) == IDOK;
}

void CSetupApp::AppendSeparator() {
  const std::string_view text = m_installText.view();
  if (text.empty() || (text.back() != '/' && text.back() != '\\')) m_installText = CString(m_installText.str() + "/");
}

bool CSetupApp::CreateInstallDirectory() {
  const auto host = ScriptPathToHost(m_installText, m_services.Drives());
  bool usable = host && host->is_absolute();
  if (usable) {
    // Never the prefix, the drive root, the Windows or system folder, the
    // home folder, or a folder above one of them: uninstal would take them away.
    const auto& where = m_setup.locations;
    std::vector<fs::path> kept = {where.prefix, where.driveRoot, where.windowsDir, where.systemDir};
    if (const char* home = std::getenv("HOME"); home && *home) kept.emplace_back(home);
    for (const fs::path& folder : kept) {
      if (IsSameOrAbove(*host, folder)) usable = false;
    }
  }
  if (usable) {
    m_services.AddRoot(*host);
    usable = m_services.CreateDirectoryChain(m_installText);
  }
  if (!usable) {
    m_services.SetupMessage(FormatSetupString(SetupProgram::kSetup, SetupString::kCannotCreateDirectory, m_installText),
                            MB_ICONINFORMATION);
    return false;
  }
  m_setup.installDirectory = host->lexically_normal();
  m_destination = CString(host->lexically_normal().string());
  if (!m_destination.view().ends_with('/')) m_destination = CString(m_destination.str() + "/");
  m_savedInstall = m_destination;
  return true;
}

int CSetupApp::TermsStep(ISetupWizard& wizard) {
  if (!HasTerms()) return WizardResult::kContinue;
  const auto text = LoadTerms();
  return text ? wizard.Terms(*text) : WizardResult::kContinue;
}

bool CSetupApp::CopyAndRegister(ISetupWizard* wizard) {
  m_log.Open(m_script.GetString("data.uninstall"), m_installText, m_caption);
  MarkExistingItems();
  m_setup.componentSections.clear();
  for (const SetupComponent& component : m_components) {
    if (component.selected) m_setup.componentSections.push_back(component.section);
  }
  if (wizard) wizard->ShowCopying();
  const bool copied = CopyAllDisks();
  if (wizard) wizard->CloseCopying();
  if (!copied) return false;
  m_copied = true;
  const MacroFolders folders = Macros();
  const ProgramRunContext context{m_script, m_services, folders};
  if (RunPrograms(context, "after") == RunResult::kExit) return false;
  RegisterControls(m_script, folders, m_services.Drives());
  CreateProgramGroups();
  WriteIniFiles();
  WriteRegistry();
  if (!InstallOdbc()) return false;
  WriteLogTail();
  return true;
}

void CSetupApp::WriteLogTail() {
  if (m_tailWritten || !m_log.IsOpen()) return;
  m_tailWritten = true;
  // After a failed copy the log still names itself, so uninstal removes it too.
  if (!m_copied) m_log.LogOwnPath();
  m_log.WriteDirectoriesLog(m_installText);
  m_log.WriteGroupsLog(m_script);
}

int CSetupApp::Fail() {
  // What was installed so far stays removable, also while 435 waits for its
  // answer (a logout then ends the program under it).
  WriteLogTail();
  m_services.SetupMessage(SetupString::kIncomplete, MB_ICONHAND);
  return Finish(1);
}

int CSetupApp::Finish(int status) {
  m_log.Close();
  if (status == 0 && m_skippedFiles > 0) {
    m_services.WriteSetupLog(CString("Files skipped after copy errors: " + std::to_string(m_skippedFiles)));
    status = 2;
  }
  // A silent run's last line says how it ended, so its log (begun afresh by
  // its first line) never keeps the failure of the run before.
  if (status == 0 && m_services.IsSilent()) m_services.SetupMessage(SetupString::kComplete, MB_OK);
  return status;
}

int CSetupApp::RunInteractive(ISetupWizard& wizard) {
  ReadCustomDialog();
  Step step = Step::kStartup;
  for (;;) {
    switch (step) {
      case Step::kStartup:
        if (wizard.Startup() == WizardResult::kExit) return Fail();
        step = Step::kTerms;
        break;
      case Step::kTerms: {
        const int result = TermsStep(wizard);
        if (result == WizardResult::kExit) return Fail();
        step = result == WizardResult::kBack ? Step::kStartup : Step::kOptions;
        break;
      }
      case Step::kOptions: {
        const int result = m_components.empty() ? WizardResult::kContinue : wizard.Options(m_components);
        if (result == WizardResult::kExit) return Fail();
        if (result == WizardResult::kBack) step = HasTerms() ? Step::kTerms : Step::kStartup;
        else step = Step::kDirectory;
        break;
      }
      case Step::kDirectory: {
        const int result = wizard.Directory(m_installText);
        AppendSeparator();
        if (result == WizardResult::kExit) return Fail();
        if (result == WizardResult::kBack) {
          step = !m_components.empty() ? Step::kOptions : HasTerms() ? Step::kTerms : Step::kStartup;
        } else {
          step = Step::kDiskSpace;
        }
        break;
      }
      case Step::kDiskSpace:
        if (!CheckDiskSpace()) {
          const CString text = ReplaceAll(LoadSetupString(SetupProgram::kSetup, SetupString::kDiskSpace), "%ld",
                                          std::to_string(m_requiredBytes));
          m_services.SetupMessage(text, MB_ICONHAND);
          step = Step::kDirectory;
        } else {
          step = Step::kCreate;
        }
        break;
      case Step::kCreate:
        if (!CreateInstallDirectory()) return Fail();
        step = Step::kBefore;
        break;
      case Step::kBefore: {
        const MacroFolders folders = Macros();
        const int result = RunPrograms(ProgramRunContext{m_script, m_services, folders}, "before");
        if (result == RunResult::kExit) return Fail();
        step = result == RunResult::kBack ? Step::kDirectory : Step::kCopy;
        break;
      }
      case Step::kCopy:
        if (!CopyAndRegister(&wizard)) return Fail();
        if (!CheckRestart()) wizard.ShowTimedMessage(LoadSetupString(SetupProgram::kSetup, SetupString::kComplete), 3);
        return Finish(0);
    }
  }
}

int CSetupApp::RunSilent() {
  ReadCustomDialog();
  // The separator is added here too: "<defdir>NAME" must not run together.
  AppendSeparator();
  if (!CheckDiskSpace()) {
    m_services.SetupMessage(
        ReplaceAll(LoadSetupString(SetupProgram::kSetup, SetupString::kDiskSpace), "%ld", std::to_string(m_requiredBytes)),
        MB_ICONHAND);
    return Fail();
  }
  if (!CreateInstallDirectory()) return Fail();
  const MacroFolders folders = Macros();
  if (RunPrograms(ProgramRunContext{m_script, m_services, folders}, "before") == RunResult::kExit) return Fail();
  if (!CopyAndRegister(nullptr)) return Fail();
  // Nothing restarts the computer: the question is only logged.
  CheckRestart();
  return Finish(0);
}
