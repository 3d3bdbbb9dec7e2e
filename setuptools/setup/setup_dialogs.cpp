// The wizard dialogs' common behaviour and the Startup, Directory, disk, copy-error and message dialogs.
#include "setuptools/setup/setup_dialogs.h"

#include "platform/user/message_box_types.h"
#include "platform/user/message_loop.h"
#include "setuptools/common/setup_strings.h"

namespace setup {

CSetupDlg::CSetupDlg(UINT templateId, const SetupDialogContext& context)
    : CDialog(SetupTemplate(templateId), context.owner), m_context(context) {}

BOOL CSetupDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  CenterWindow(m_context.owner);
  SetWindowText(m_context.caption);
  return TRUE;
}

void CSetupDlg::OnCancel() {
  if (m_context.services.SetupMessage(SetupString::kExitQuestion, MB_YESNO | MB_ICONHAND) == IDYES) EndDialog(IDCANCEL);
}

BOOL CSetupDlg::OnDialogCommand(UINT id, WORD code) {
  if (id == kBackId && code == BN_CLICKED) {
    EndDialog(static_cast<int>(kBackId));
    return TRUE;
  }
  return CDialog::OnDialogCommand(id, code);
}

CStartupDlg::CStartupDlg(const SetupDialogContext& context, CString text1, CString text2)
    : CSetupDlg(kStartupTemplate, context), m_text1(std::move(text1)), m_text2(std::move(text2)) {}

void CStartupDlg::DoDataExchange(CDataExchange* dx) {
  DDX_Text(dx, 102, m_text1);
  DDX_Text(dx, 103, m_text2);
}

CDirectoryDlg::CDirectoryDlg(const SetupDialogContext& context, CString directory)
    : CSetupDlg(kDirectoryTemplate, context), m_directory(std::move(directory)) {}

void CDirectoryDlg::DoDataExchange(CDataExchange* dx) { DDX_Text(dx, static_cast<int>(kPathEditId), m_directory); }

CDiskPromptDlg::CDiskPromptDlg(const SetupDialogContext& context, CString prompt, CString sourceDirectory)
    : CSetupDlg(kDiskTemplate, context), m_prompt(std::move(prompt)), m_source(std::move(sourceDirectory)) {}

BOOL CDiskPromptDlg::OnInitDialog() {
  CSetupDlg::OnInitDialog();
  if (CMessageLoop* loop = CMessageLoop::Current()) loop->Dialogs().Beep(0xFFFFFFFF);
  return TRUE;
}

void CDiskPromptDlg::DoDataExchange(CDataExchange* dx) {
  // The prompt only goes into the dialog.
  if (!dx->m_bSaveAndValidate) DDX_Text(dx, 102, m_prompt);
  DDX_Text(dx, static_cast<int>(kPathEditId), m_source);
}

CCopyErrorDlg::CCopyErrorDlg(const SetupDialogContext& context, CString text)
    : CSetupDlg(kCopyErrorTemplate, context), m_text(std::move(text)) {}

void CCopyErrorDlg::DoDataExchange(CDataExchange* dx) {
  if (!dx->m_bSaveAndValidate) DDX_Text(dx, 102, m_text);
}

BOOL CCopyErrorDlg::OnDialogCommand(UINT id, WORD code) {
  if (code == BN_CLICKED) {
    // The buttons' ids are not their results.
    switch (id) {
      case 5: EndDialog(4); return TRUE;
      case 6: EndDialog(5); return TRUE;
      case 4: EndDialog(3); return TRUE;
      default: break;
    }
  }
  return CSetupDlg::OnDialogCommand(id, code);
}

CMessageDlg::CMessageDlg(CString text, CString caption, int seconds, CWnd* mainWindow)
    : CDialog(SetupTemplate(kMessageTemplate), mainWindow),
      m_text(std::move(text)),
      m_caption(caption.IsEmpty() ? LoadSetupString(SetupProgram::kSetup, SetupString::kTitle) : std::move(caption)),
      m_seconds(seconds),
      m_mainWindow(mainWindow) {}

BOOL CMessageDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetDlgItemText(static_cast<int>(kMessageTextId), m_text);
  SetWindowText(m_caption);
  // Held to a day, so the product in milliseconds stays in range.
  if (m_seconds > 0) SetTimer(kTimerId, static_cast<UINT>(std::min(m_seconds, 86400)) * 1000u);
  if (m_mainWindow && m_mainWindow->GetSafeHwnd()) m_mainWindow->EnableWindow(FALSE);
  return TRUE;
}

void CMessageDlg::OnTimer(UINT) {
  KillTimer(kTimerId);
  EndDialog(IDOK);
}

void CMessageDlg::OnDestroy() {
  if (m_mainWindow && m_mainWindow->GetSafeHwnd()) m_mainWindow->EnableWindow(TRUE);
  CDialog::OnDestroy();
}

int ShowTimedMessage(const CString& text, int seconds, CWnd* mainWindow, const CString& caption) {
  CMessageDlg dialog(text, caption, seconds, mainWindow);
  return dialog.DoModal();
}

}  // namespace setup
