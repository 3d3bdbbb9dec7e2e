// Dialog boxes: made from their templates, the nested modal loop, Enter and
// Escape, data exchange and the dialog's item helpers.
#include "platform/user/dialog.h"

#include <mutex>

#include <QImage>

#include "platform/user/button.h"
#include "platform/user/child_control.h"
#include "platform/user/dialog_colours.h"
#include "platform/user/edit.h"
#include "platform/user/wait_rule.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/system_metrics.h"

#include "platform/user/message_box_types.h"
#include "platform/user/message_loop.h"
#include "platform/user/wait_cursor.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

CRect DialogUnitsToPixels(int x, int y, int cx, int cy) {
  const int left = x * kDialogBaseUnitX / 4;
  const int top = y * kDialogBaseUnitY / 8;
  return CRect(left, top, left + cx * kDialogBaseUnitX / 4, top + cy * kDialogBaseUnitY / 8);
}

void CDataExchange::Fail(int controlId) {
  m_failed = true;
  CWnd* control = m_dialog.GetDlgItem(controlId);
  if (!control) return;
  control->SetFocus();
  if (auto* edit = dynamic_cast<CEdit*>(control)) edit->SetSel(0, -1);
}

void DDX_Text(CDataExchange* dx, int id, CString& value) {
  CWnd* control = dx->Failed() ? nullptr : dx->Dialog().GetDlgItem(id);
  if (!control) return;
  if (dx->m_bSaveAndValidate) value = control->GetWindowText();
  else control->SetWindowText(value);
}

void DDX_Check(CDataExchange* dx, int id, int& value) {
  CWnd* control = dx->Failed() ? nullptr : dx->Dialog().GetDlgItem(id);
  if (!control) return;
  if (dx->m_bSaveAndValidate) value = static_cast<int>(control->SendMessage(BM_GETCHECK));
  else control->SendMessage(BM_SETCHECK, static_cast<WPARAM>(value));
}

CDialog::CDialog(DialogTemplate dialogTemplate, CWnd* parent) : m_template(std::move(dialogTemplate)), m_owner(parent) {}

CDialog::~CDialog() { DestroyWindow(); }

BOOL CDialog::CreateFromTemplate(bool visible) {
  CMessageLoop* loop = CMessageLoop::Current();
  if (!loop || m_hWnd) return FALSE;
  m_ended = false;
  m_result = 0;
  CRect rect = DialogUnitsToPixels(m_template.x, m_template.y, m_template.cx, m_template.cy);
  if (m_owner && m_owner->GetSafeHwnd()) {
    CPoint origin(0, 0);
    m_owner->ClientToScreen(&origin);
    rect.OffsetRect(origin.x, origin.y);
  }
  // Hidden until the controls are made and initialised.
  if (!CreateEx(0, m_template.caption, m_template.style & ~WS_VISIBLE, rect, nullptr, 0)) return FALSE;
  if (m_template.style & DS_CENTER) CenterWindow(m_owner);
  for (const DialogItemTemplate& item : m_template.items) {
    std::unique_ptr<CWnd> control = loop->WindowClasses().Make(item.className);
    // A control of a class nobody registered is left out; its data stays with the dialog.
    if (!control) continue;
    const CRect rect = DialogUnitsToPixels(item.x, item.y, item.cx, item.cy);
    if (!control->CreateEx(0, item.text, item.style | WS_CHILD, rect, this, item.id)) continue;
    m_controls.push_back(std::move(control));
  }
  if (SendMessage(WM_INITDIALOG)) {
    // The first tab stop takes the focus, as when the dialog says TRUE.
    if (CWnd* first = GetNextDlgTabItem(nullptr)) first->SetFocus();
  }
  if (visible || (m_template.style & WS_VISIBLE)) {
    ShowWindow(SW_SHOW);
    SetActiveWindow();
  }
  return TRUE;
}

int CDialog::DoModal() {
  m_modal = true;
  const bool ownerWasEnabled = m_owner && m_owner->GetSafeHwnd() && m_owner->IsWindowEnabled();
  if (!CreateFromTemplate(true)) {
    m_modal = false;
    return -1;
  }
  if (ownerWasEnabled) m_owner->EnableWindow(FALSE);
  {
    CWaitCursorPause pause;
    RunModalLoop();
  }
  if (ownerWasEnabled && m_owner->GetSafeHwnd()) m_owner->EnableWindow(TRUE);
  DestroyWindow();
  m_controls.clear();
  m_modal = false;
  return m_result;
}

void CDialog::RunModalLoop() {
  CMessageLoop* loop = CMessageLoop::Current();
  CMessageLoop::ModalScope modal(*loop);
  // The dialog's own keys (Escape among them) are its to handle.
  const WaitPolicy rule{WaitInput::kDispatch, nullptr, false, true};
  bool idleSent = false;
  while (!m_ended && m_hWnd) {
    if (modal.Ending()) {
      // The program, or the course that asked, is closing: the dialog ends as cancelled.
      m_result = IDCANCEL;
      m_ended = true;
      break;
    }
    MSG msg;
    if (!loop->PeekMessage(msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!idleSent && m_owner && m_owner->GetSafeHwnd()) {
        idleSent = true;
        m_owner->SendMessage(WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(m_hWnd));
        continue;
      }
      loop->WaitMessage();
      idleSent = false;
      continue;
    }
    idleSent = false;
    if (DecideFate(rule, msg) == MessageFate::kQuit) {
      // The outer loop ends too.
      loop->PostQuitMessage(static_cast<int>(msg.wParam));
      m_result = IDCANCEL;
      m_ended = true;
      break;
    }
    if (!IsDialogMessage(msg)) loop->DispatchMessage(msg);
  }
}

BOOL CDialog::Create(CWnd* parent) {
  if (parent) m_owner = parent;
  m_modal = false;
  return CreateFromTemplate(true);
}

void CDialog::EndDialog(int result) {
  m_result = result;
  m_ended = true;
  if (!m_modal && m_hWnd) ShowWindow(SW_HIDE);
}

BOOL CDialog::UpdateData(BOOL save) {
  CDataExchange dx(*this, save);
  DoDataExchange(&dx);
  return dx.Failed() ? FALSE : TRUE;
}

UINT CDialog::GetDefID() const {
  for (const auto& control : m_controls) {
    auto* button = dynamic_cast<CButton*>(control.get());
    if (button && button->GetButtonType() == BS_DEFPUSHBUTTON) return static_cast<UINT>(button->GetDlgCtrlID());
  }
  return IDOK;
}

BOOL CDialog::IsDialogMessage(const MSG& msg) {
  if (!m_hWnd || m_ended) return FALSE;
  CWnd* target = CWnd::FromHandle(msg.hwnd);
  if (!target || (target != this && !IsChild(target))) return FALSE;
  const bool enter = msg.wParam == VK_RETURN, escape = msg.wParam == VK_ESCAPE;
  if (!enter && !escape) return FALSE;
  // A multi-line edit that wants Enter keeps it.
  if (auto* edit = dynamic_cast<CEdit*>(target);
      enter && edit && (edit->GetStyle() & ES_MULTILINE) && (edit->GetStyle() & ES_WANTRETURN)) {
    return FALSE;
  }
  // The character and the release of a key taken as a command go nowhere.
  if (msg.message == WM_CHAR || msg.message == WM_KEYUP) return TRUE;
  if (msg.message != WM_KEYDOWN) return FALSE;
  if (escape) {
    SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return TRUE;
  }
  // A focused push button answers Enter itself; else the default button.
  UINT id = GetDefID();
  if (auto* focused = dynamic_cast<CButton*>(target);
      focused && (focused->GetButtonType() == BS_PUSHBUTTON || focused->GetButtonType() == BS_DEFPUSHBUTTON)) {
    id = static_cast<UINT>(focused->GetDlgCtrlID());
  }
  // Without that button (the copying dialog has only Cancel) Enter does nothing.
  CWnd* button = GetDlgItem(static_cast<int>(id));
  if (!button || !button->IsWindowEnabled()) return TRUE;
  SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<int>(id), BN_CLICKED), reinterpret_cast<LPARAM>(button->GetSafeHwnd()));
  return TRUE;
}

void CDialog::CenterWindow(CWnd* over) {
  if (!m_hWnd) return;
  CRect area(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  if (over && over->GetSafeHwnd()) over->GetWindowRect(&area);
  CRect mine;
  GetWindowRect(&mine);
  const int x = area.left + (area.Width() - mine.Width()) / 2;
  const int y = area.top + (area.Height() - mine.Height()) / 2;
  SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CDialog::SetDlgItemText(int id, const CString& text) {
  if (CWnd* control = GetDlgItem(id)) control->SetWindowText(text);
}

CString CDialog::GetDlgItemText(int id) const {
  CWnd* control = GetDlgItem(id);
  return control ? control->GetWindowText() : CString();
}

void CDialog::CheckDlgButton(int id, UINT check) {
  if (CWnd* control = GetDlgItem(id)) control->SendMessage(BM_SETCHECK, check);
}

UINT CDialog::IsDlgButtonChecked(int id) const {
  CWnd* control = GetDlgItem(id);
  return control ? static_cast<UINT>(control->SendMessage(BM_GETCHECK)) : 0;
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) return OnInitDialog();
  if ((message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN) && wParam) {
    // Statics and check boxes stand on the dialog's face.
    CWnd::WindowProc(message, wParam, lParam);
    auto& colours = *reinterpret_cast<ControlColours*>(wParam);
    const std::optional<DialogColours> program = GetDialogColours();
    if (!colours.background) colours.background = program ? program->background : GetSysColor(COLOR_BTNFACE);
    if (!colours.text && program) colours.text = program->text;
    return TRUE;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (UpdateData(TRUE)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::OnPaint() {
  PAINTSTRUCT ps = BeginPaint();
  if (QImage* surface = GetSurface()) {
    std::lock_guard lock(SurfaceLock());
    CDC dc;
    dc.AttachSurface(surface);
    const std::optional<DialogColours> program = GetDialogColours();
    dc.FillSolidRect(ps.rcPaint, program ? program->background : GetSysColor(COLOR_BTNFACE));
    dc.DetachSurface();
  }
  EndPaint(ps.rcPaint);
}

void CDialog::OnClose() { SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); }

BOOL CDialog::OnDialogCommand(UINT id, WORD code) {
  if (code != BN_CLICKED) return FALSE;
  if (id == IDOK) {
    OnOK();
    return TRUE;
  }
  if (id == IDCANCEL) {
    OnCancel();
    return TRUE;
  }
  return FALSE;
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (OnDialogCommand(LOWORD(wParam), HIWORD(wParam))) return TRUE;
  return CWnd::OnCommand(wParam, lParam);
}
