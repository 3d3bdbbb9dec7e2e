// The paragraph dialog: its template, initialisation, data exchange and OK.
#include "controls/paragraph_dlg.h"

#include "model/string_table.h"
#include "platform/user/control_messages.h"
#include "platform/user/edit_messages.h"
#include "platform/user/message_box_types.h"

namespace {

constexpr UINT kNoId = 0xFFFF;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
// The widest indent the dialog takes, either way: 22 inches.
constexpr int kIndentLimit = 31680;

DialogItemTemplate Item(const char* cls, const char* text, UINT id, DWORD style, int x, int y, int cx, int cy) {
  return DialogItemTemplate{CString(cls), CString(text), id, kChild | style, x, y, cx, cy};
}

}  // namespace

DialogTemplate ParagraphDialogTemplate() {
  DialogTemplate t;
  t.caption = "Paragraph";
  t.style |= DS_CENTER;
  t.cx = 186;
  t.cy = 80;
  t.items = {
      Item("Static", "&Left:", kNoId, 0, 7, 9, 48, 8),
      Item("Edit", "", IDC_PARA_LEFT, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 58, 7, 64, 12),
      Item("Static", "&Right:", kNoId, 0, 7, 25, 48, 8),
      Item("Edit", "", IDC_PARA_RIGHT, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 58, 23, 64, 12),
      Item("Static", "&First line:", kNoId, 0, 7, 41, 48, 8),
      Item("Edit", "", IDC_PARA_FIRST, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 58, 39, 64, 12),
      Item("Static", "&Alignment:", IDC_PARA_ALIGN_LABEL, 0, 7, 58, 48, 8),
      Item("ComboBox", "", IDC_PARA_ALIGN, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 58, 56, 64, 60),
      Item("Button", "OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 129, 7, 50, 14),
      Item("Button", "Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 129, 24, 50, 14),
  };
  return t;
}

CParagraphDlg::CParagraphDlg(const PARAFORMAT& format, BOOL allowAlignment, CWnd* parent)
    : CDialog(ParagraphDialogTemplate(), parent), m_model(format, allowAlignment), m_pf(m_model.m_pf) {}

BOOL CParagraphDlg::OnInitDialog() {
  if (!m_model.m_allowAlignment) {
    if (CWnd* combo = GetDlgItem(IDC_PARA_ALIGN)) combo->EnableWindow(FALSE);
    if (CWnd* label = GetDlgItem(IDC_PARA_ALIGN_LABEL)) label->EnableWindow(FALSE);
  }
  m_model.LoadIndents();
  return CDialog::OnInitDialog();
}

void CParagraphDlg::DoDataExchange(CDataExchange* dx) {
  DDX_ComboStrings(dx, IDC_PARA_ALIGN, StringId::kAlignmentLeft);
  DDX_CBIndex(dx, IDC_PARA_ALIGN, m_model.m_alignment);
  const struct {
    int id;
    int* value;
  } indents[] = {{IDC_PARA_FIRST, &m_model.m_firstLine}, {IDC_PARA_LEFT, &m_model.m_left}, {IDC_PARA_RIGHT, &m_model.m_right}};
  for (const auto& indent : indents) {
    if (!DDX_Measurement(dx, indent.id, *indent.value)) return;
    if (!DDV_MinMaxMeasurement(dx, indent.id, *indent.value, -kIndentLimit, kIndentLimit)) return;
  }
}

void CParagraphDlg::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
  m_model.StoreIndents();
}
