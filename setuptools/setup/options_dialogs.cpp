// The options dialog's boxes, sizes and layout, and the terms dialog.
#include "setuptools/setup/options_dialogs.h"

#include <algorithm>
#include <string>

#include "platform/user/message_box_types.h"

namespace setup {

namespace {

UINT Box(int i) { return kFirstComponentBox + static_cast<UINT>(i); }
UINT Size(int i) { return kFirstComponentSize + static_cast<UINT>(i); }

// Kilobytes as shown: a negative size counts as 0.
std::uint32_t Kilobytes(std::int32_t size) { return size > 0 ? static_cast<std::uint32_t>(size) / 1000u : 0u; }

CRect RectInDialog(const CWnd& dialog, const CWnd& control) {
  CRect rect;
  control.GetWindowRect(&rect);
  dialog.ScreenToClient(&rect);
  return rect;
}

}  // namespace

COptionsDlg::COptionsDlg(const SetupDialogContext& context, CString heading, std::vector<SetupComponent>& components)
    : CSetupDlg(kOptionsTemplate, context), m_heading(std::move(heading)), m_components(components) {}

int COptionsDlg::Count() const { return static_cast<int>(std::min<std::size_t>(m_components.size(), kMaxComponents)); }

BOOL COptionsDlg::OnInitDialog() {
  CSetupDlg::OnInitDialog();
  SetDlgItemText(102, m_heading);
  const int count = Count();
  for (int i = 0; i < count; ++i) {
    SetDlgItemText(static_cast<int>(Box(i)), m_components[static_cast<std::size_t>(i)].label);
    CheckDlgButton(static_cast<int>(Box(i)), m_components[static_cast<std::size_t>(i)].selected ? 1 : 0);
    SetDlgItemText(static_cast<int>(Size(i)),
                   CString(std::to_string(Kilobytes(m_components[static_cast<std::size_t>(i)].size))));
  }
  for (int i = count; GetDlgItem(static_cast<int>(Box(i))); ++i) {
    GetDlgItem(static_cast<int>(Box(i)))->ShowWindow(SW_HIDE);
    if (CWnd* size = GetDlgItem(static_cast<int>(Size(i)))) size->ShowWindow(SW_HIDE);
  }
  if (count >= 2) LayOut();
  Recalculate();
  return TRUE;
}

void COptionsDlg::LayOut() {
  const int count = Count();
  CWnd* first = GetDlgItem(static_cast<int>(Box(0)));
  CWnd* last = GetDlgItem(static_cast<int>(Box(count - 1)));
  CWnd* firstSize = GetDlgItem(static_cast<int>(Size(0)));
  if (!first || !last || !firstSize) return;
  const CRect top = RectInDialog(*this, *first);
  const CRect bottom = RectInDialog(*this, *last);
  const int sizeLeft = RectInDialog(*this, *firstSize).left;
  const int h = bottom.Height();
  const int span = bottom.bottom - top.top;
  // The boxes never overlap in the template, so the span holds them all.
  const int gap = std::max(0, span - count * h) / (count - 1);
  int y = top.top;
  for (int i = 0; i < count; ++i) {
    if (CWnd* box = GetDlgItem(static_cast<int>(Box(i))))
      box->SetWindowPos(nullptr, bottom.left, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    if (CWnd* size = GetDlgItem(static_cast<int>(Size(i))))
      size->SetWindowPos(nullptr, sizeLeft, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    y += h + gap;
  }
}

void COptionsDlg::Recalculate() {
  std::uint64_t total = 0;
  for (int i = 0; i < Count(); ++i) {
    const std::uint32_t value =
        IsDlgButtonChecked(static_cast<int>(Box(i))) ? Kilobytes(m_components[static_cast<std::size_t>(i)].size) : 0u;
    SetDlgItemText(static_cast<int>(Size(i)), CString(std::to_string(value)));
    total += value;
  }
  SetDlgItemText(static_cast<int>(kComponentTotal), CString(std::to_string(total)));
}

void COptionsDlg::OnOK() {
  for (int i = 0; i < Count(); ++i)
    m_components[static_cast<std::size_t>(i)].selected = IsDlgButtonChecked(static_cast<int>(Box(i))) != 0;
  CSetupDlg::OnOK();
}

BOOL COptionsDlg::OnDialogCommand(UINT id, WORD code) {
  if (code == BN_CLICKED && id >= Box(0) && id < Box(kMaxComponents)) {
    Recalculate();
    return TRUE;
  }
  return CSetupDlg::OnDialogCommand(id, code);
}

CTermsDlg::CTermsDlg(const SetupDialogContext& context, CString text)
    : CSetupDlg(kTermsTemplate, context), m_text(std::move(text)) {}

void CTermsDlg::DoDataExchange(CDataExchange* dx) {
  if (!dx->m_bSaveAndValidate) DDX_Text(dx, static_cast<int>(kTermsEditId), m_text);
}

}  // namespace setup
