// uninstal's confirmation dialog: its template and its answer.
#include "setuptools/uninstal/uninstall_dlg.h"

#include <utility>

#include "platform/user/message_box_types.h"

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

DialogItemTemplate Item(const char* cls, const char* text, UINT id, DWORD style, int x, int y, int cx, int cy) {
  return DialogItemTemplate{CString(cls), CString(text), id, kChild | style, x, y, cx, cy};
}

// Template 26: "Startup" until the caption replaces it.
DialogTemplate UninstallTemplate() {
  return {CString("Startup"), WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 238, 90,
          {Item("Static", "102", 100, SS_ICON, 8, 8, 21, 20),
           Item("Static", "", CUninstallDlg::kTextId, SS_NOPREFIX, 38, 8, 192, 42),
           Item("Static", "Are you sure you want to continue ?", CUninstallDlg::kQuestionId, SS_LEFT, 38, 54, 192, 10),
           Item("Button", "&Yes", IDOK, BS_PUSHBUTTON | WS_TABSTOP, 62, 70, 50, 14),
           Item("Button", "&No", IDCANCEL, BS_DEFPUSHBUTTON | WS_TABSTOP, 126, 70, 50, 14)}};
}

}  // namespace

CUninstallDlg::CUninstallDlg(CString caption, CString text, CWnd* owner)
    : CDialog(UninstallTemplate(), owner), m_caption(std::move(caption)), m_text(std::move(text)) {}

BOOL CUninstallDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  CenterWindow(Owner());
  SetWindowText(m_caption);
  // The focus starts on No: a focused push button answers Enter itself, and
  // Enter must answer No here, never Yes.
  if (CWnd* no = GetDlgItem(IDCANCEL)) {
    no->SetFocus();
    return FALSE;
  }
  return TRUE;
}

void CUninstallDlg::DoDataExchange(CDataExchange* dx) {
  // The text only goes into the dialog.
  if (!dx->m_bSaveAndValidate) DDX_Text(dx, static_cast<int>(kTextId), m_text);
}

bool CUninstallDlgQuestion::Confirm(const CString& caption, const CString& text) {
  CUninstallDlg dialog(caption, text, m_owner);
  return dialog.DoModal() == IDOK;
}
