// The setup program's start-up: the switch and the source folder, the script beside the program, the background window and the posted run.
#include "setuptools/setup/setup_program.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "platform/base/program_text.h"
#include "platform/user/dialog_colours.h"
#include "platform/user/message_box_types.h"
#include "platform/user/message_loop.h"
#include "platform/sys/windows_locations.h"
#include "setuptools/common/pending_messages.h"
#include "setuptools/common/setup_paths.h"
#include "setuptools/common/setup_strings.h"

bool CSilentCopyUi::DispatchPending() { return DispatchPendingMessages(); }

CSetupProgram::CSetupProgram(std::vector<CString> arguments)
    : CWinApp(LoadSetupString(SetupProgram::kSetup, SetupString::kTitle)), m_arguments(std::move(arguments)) {}

CSetupProgram::~CSetupProgram() {
  if (m_frame) m_frame->DestroyWindow();
}

BOOL CSetupProgram::InitInstance() {
  // setup's texts are UTF-8, host paths among them, on the screen too.
  tvn::text::SetProgramEncoding(tvn::text::TextEncoding::kUtf8);
  namespace fs = std::filesystem;
  const fs::path module = GetModuleDirectory();
  m_services = std::make_unique<CSetupServices>(SetupProgram::kSetup, m_boxes, module);
  m_log = std::make_unique<CUninstallLog>(*m_services);
  const CSetupApp::CommandLine line = CSetupApp::ParseCommandLine(m_arguments);
  m_services->SetSilent(line.silent);
  if (!line.silent) {
    if (CMessageLoop* loop = CMessageLoop::Current()) setup::RegisterSetupWindowClasses(loop->WindowClasses());
  }

  fs::path source = module;
  if (!line.sourceDirectory.IsEmpty()) {
    std::error_code ec;
    source = fs::absolute(fs::path(line.sourceDirectory.str()), ec);
    if (ec) source = fs::path(line.sourceDirectory.str());
  }
  // The Windows and system folders are made on the first run, and recorded
  // with the run's other folders, so uninstal takes them away when empty.
  const tvn::sys::WindowsLocations locations = tvn::sys::GetWindowsLocations();
  m_services->CreateDirectoryChain(HostToScriptPath(locations.systemDir));

  m_frame = std::make_unique<setup::CMainFrame>(
      CString(), [this] { RunSequence(); },
      [this] { return m_services->SetupMessage(SetupString::kExitQuestion, MB_YESNO | MB_ICONHAND) == IDYES; });
  if (!m_frame->CreateFrame(!line.silent)) return FALSE;
  m_pMainWnd = m_frame.get();

  if (const UINT id = m_script.Load(module)) {
    m_services->SetupMessage(id, MB_ICONEXCLAMATION);
    return FALSE;
  }
  SetDialogBkColor(RGB(192, 192, 192));
  ICopyUi* copyUi = &m_copyUi;
  if (!line.silent) {
    m_wizard = std::make_unique<setup::CDialogWizard>(*m_services, m_script, m_frame.get());
    copyUi = m_wizard.get();
  }
  m_app = std::make_unique<CSetupApp>(*m_services, m_script, *m_log, *copyUi,
                                      CSetupApp::Setup{source, fs::path(), locations, {}});
  m_app->InitInstance();
  // The process tests' stand-in for a slow medium: the source read at most
  // this many bytes a second.
  if (const char* rate = std::getenv("TVN_TEST_SOURCE_RATE")) {
    std::uint64_t bytesPerSecond = 0;
    std::from_chars(rate, rate + std::strlen(rate), bytesPerSecond);
    m_app->SetSourceRate(bytesPerSecond);
  }
  if (m_wizard) m_wizard->SetCaption(m_app->Caption());
  m_frame->SetTitle(m_app->BackgroundTitle());
  m_frame->PostMessage(setup::WM_SETUP_RUN);
  return TRUE;
}

void CSetupProgram::LogError(const std::string& text) {
  if (m_services && m_services->IsSilent()) m_services->WriteSetupLog(CString(text));
}

void CSetupProgram::RunSequence() {
  m_status = m_wizard ? m_app->RunInteractive(*m_wizard) : m_app->RunSilent();
  // Destroying the background window ends the loop.
  m_frame->DestroyWindow();
}
