// The wizard's steps as modal dialogs, the copying dialog kept up to date, and the copy loop's message pump.
#include "setuptools/setup/dialog_wizard.h"

#include <algorithm>
#include <limits>

#include "platform/user/message_box_types.h"
#include "platform/user/message_loop.h"
#include "platform/user/wait_rule.h"
#include "setuptools/setup/main_frame.h"
#include "setuptools/setup/options_dialogs.h"

namespace setup {

namespace {
constexpr UINT kF3 = 0x72;
// A dialog that could not be made counts as Exit: nothing is installed unasked.
int Answer(int result) { return result < 0 ? WizardResult::kExit : result; }
}  // namespace

CDialogWizard::CDialogWizard(CSetupServices& services, const CInfReader& script, CWnd* owner)
    : m_services(services), m_script(script), m_owner(owner) {}

CDialogWizard::~CDialogWizard() { CloseCopying(); }

int CDialogWizard::Startup() {
  CStartupDlg dialog(Context(), m_script.GetString("dialog.text1"), m_script.GetString("dialog.text2"));
  return Answer(dialog.DoModal());
}

int CDialogWizard::Terms(const CString& text) {
  CTermsDlg dialog(Context(), text);
  return Answer(dialog.DoModal());
}

int CDialogWizard::Options(std::vector<SetupComponent>& components) {
  COptionsDlg dialog(Context(), m_script.GetString("custom.dialog.text1"), components);
  return Answer(dialog.DoModal());
}

int CDialogWizard::Directory(CString& directory) {
  CDirectoryDlg dialog(Context(), directory);
  const int result = Answer(dialog.DoModal());
  if (result == WizardResult::kContinue) directory = dialog.Directory();
  return result;
}

void CDialogWizard::ShowCopying() {
  CloseCopying();
  m_cancelled = false;
  m_copying = std::make_unique<CCopyProgressDlg>(Context());
  // Without the dialog every update does nothing.
  if (!m_copying->Create()) {
    m_copying.reset();
    return;
  }
  m_copying->UpdateWindow();
}

void CDialogWizard::CloseCopying() {
  if (!m_copying) return;
  m_copying->DestroyWindow();
  m_copying.reset();
}

int CDialogWizard::ShowTimedMessage(const CString& text, int seconds) {
  return setup::ShowTimedMessage(text, seconds, m_owner);
}

void CDialogWizard::SetGaugeRange(long long files) {
  if (!m_copying) return;
  m_copying->SetRange(static_cast<std::int32_t>(std::clamp<long long>(files, 0, std::numeric_limits<std::int32_t>::max())));
  m_copying->SetPos(0);
}

void CDialogWizard::StepGauge() {
  if (m_copying) m_copying->Step(1);
}

void CDialogWizard::ShowNames(const CString& source, const CString& target) {
  if (!m_copying) return;
  if (!source.IsEmpty()) m_copying->SetItemText(kCopyingFileId, source);
  if (!target.IsEmpty()) m_copying->SetItemText(kCopyingTargetId, target);
}

bool CDialogWizard::IsCopyCancelled() { return m_cancelled || (m_copying && m_copying->IsCancelled()); }

int CDialogWizard::FileCopyErrorDialog(const CString& text) {
  CCopyErrorDlg dialog(Context(), text);
  const int result = dialog.DoModal();
  return result < 0 ? 3 : result;
}

int CDialogWizard::DiskDialog(const CString& text, CString& sourceDirectory) {
  CDiskPromptDlg dialog(Context(), text, sourceDirectory);
  const int result = Answer(dialog.DoModal());
  if (result == IDOK) sourceDirectory = dialog.SourceDirectory();
  return result;
}

bool CDialogWizard::DispatchPending() {
  WaitPolicy rule{WaitInput::kDispatch, nullptr, false};
  // F3 asks whether to leave; the copying dialog's keys are its own.
  rule.preDispatch = [this](MSG& msg) {
    if (msg.message == WM_KEYDOWN && msg.wParam == kF3) {
      m_f3 = true;
      return true;
    }
    return m_copying && m_copying->IsDialogMessage(msg);
  };
  CWait wait(std::move(rule));
  return wait.PumpWaiting() != FALSE;
}

bool CDialogWizard::IsF3Pressed() { return std::exchange(m_f3, false); }

bool CDialogWizard::AskExit() {
  if (!m_owner || !m_owner->GetSafeHwnd()) return false;
  if (!m_owner->SendMessage(WM_SETUP_ASK_EXIT)) return false;
  m_cancelled = true;
  if (m_copying) m_copying->ShowWindow(SW_HIDE);
  return true;
}

}  // namespace setup
