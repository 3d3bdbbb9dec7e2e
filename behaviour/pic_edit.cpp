// The masked edit field's window: keys to the page first, field keys, the
// mask's keys and characters, focus and mouse rules, clipboard and undo.
#include "behaviour/pic_edit.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "behaviour/response_view.h"
#include "platform/user/clipboard.h"
#include "platform/user/message_box.h"
#include "platform/user/message_box_types.h"
#include "platform/user/message_loop.h"

IMPLEMENT_DYNAMIC(CPicEdit, CEdit)

namespace {

// Bit of a system key's flags (the high word of lParam) that marks it for the page.
constexpr UINT kMenuModeKey = 0x1000;
constexpr UINT kF3 = 0x72;  // stays with the page

bool KeyDown(UINT vk) {
  CMessageLoop* loop = CMessageLoop::Current();
  return loop && loop->GetKeyState(vk) < 0;
}

KeyModifiers Held() { return {KeyDown(VK_CONTROL), KeyDown(VK_SHIFT), KeyDown(VK_MENU)}; }

}  // namespace

CPicEdit::CPicEdit() = default;

CPicEdit::CPicEdit(const IPicEditOwner* owner) {
  if (owner) SetColors(owner->GetTextColour(), owner->GetBackColour());
}

CPicEdit::~CPicEdit() {
  if (m_hWnd) DestroyWindow();
}

void CPicEdit::SetColors(COLORREF text, COLORREF back) {
  m_textColour = text;
  m_backColour = back;
  m_hasColours = true;
  RefreshColours();
}

BOOL CPicEdit::CtlColor(ControlColours& colours) {
  if (!m_hasColours) return FALSE;
  colours.text = m_textColour;
  colours.background = m_backColour;
  return TRUE;
}

void CPicEdit::SetFieldKeys(const CKeyboard& previousKey, const CKeyboard& nextKey) {
  m_previousKey = previousKey;
  m_nextKey = nextKey;
  m_hasFieldKeys = true;
}

bool CPicEdit::IsParentDialogOrFormView() const {
  const CWnd* parent = GetParent();
  if (!parent) return false;
  for (const CRuntimeClass* cls = parent->GetRuntimeClass(); cls; cls = cls->m_pBaseClass) {
    const std::string_view name = cls->m_lpszClassName ? cls->m_lpszClassName : "";
    if (name == "CDialog" || name == "CFormView") return true;
  }
  return false;
}

BOOL CPicEdit::SubclassEdit(UINT id, CWnd* parent) {
  if (id == 0 || !parent || !m_hWnd || GetParent() != parent || !IsParentDialogOrFormView()) return FALSE;
  if (parent->GetDlgItem(static_cast<int>(id)) != this) return FALSE;
  m_subclassed = true;
  m_mask.SetReadOnly((GetStyle() & ES_READONLY) != 0);
  return TRUE;
}

BOOL CPicEdit::SubclassEdit(HWND hwnd) {
  CWnd* wnd = CWnd::FromHandle(hwnd);
  if (!wnd) return FALSE;
  return SubclassEdit(static_cast<UINT>(wnd->GetDlgCtrlID()), wnd->GetParent());
}

// --- What the mask shows ---

void CPicEdit::ShowText(const CString& text) {
  SetWindowText(text);
  if (!m_mask.IsReadOnly()) SetModify(TRUE);
}

void CPicEdit::ShowSelection(int start, int end) { SetSel(start, end); }

void CPicEdit::Beep() { MessageBeep(MB_ICONEXCLAMATION); }

void CPicEdit::ReadSelection() {
  int s = 0, e = 0;
  GetSel(s, e);
  m_mask.SetSelection(s, e);
  m_mask.SetReadOnly((GetStyle() & ES_READONLY) != 0);
}

// --- Data ---

BOOL CPicEdit::SetMaskString(const CString& mask) {
  m_mask.SetReadOnly((GetStyle() & ES_READONLY) != 0);
  m_mask.SetMaskString(mask);
  SetModify(FALSE);
  return TRUE;
}

BOOL CPicEdit::SetMask(int id) {
  m_mask.SetReadOnly((GetStyle() & ES_READONLY) != 0);
  if (!m_mask.SetMask(id)) return FALSE;
  SetModify(FALSE);
  return TRUE;
}

BOOL CPicEdit::SetData(const CString& text, int start, BOOL push, BOOL strict) {
  if (!m_mask.HasMask()) {
    SetWindowText(text);
    return TRUE;
  }
  return m_mask.SetData(text, start, push, strict);
}

BOOL CPicEdit::GetData(char* buffer, int size, BOOL trim) {
  if (m_mask.HasMask()) return m_mask.GetData(buffer, size, trim);
  if (!buffer || size < 1) return FALSE;
  const CString text = GetDataText(trim);
  const auto n = static_cast<std::size_t>(std::min(text.GetLength(), size - 1));
  std::memcpy(buffer, text.GetString(), n);
  buffer[n] = 0;
  return TRUE;
}

void CPicEdit::GetDataText(CString& result, BOOL trim) {
  if (m_mask.HasMask()) {
    result = m_mask.GetDataText(trim);
    return;
  }
  result = GetWindowText();
  if (trim) result.TrimRight(" ");
}

void CPicEdit::ClearData() {
  if (m_hWnd && m_mask.HasMask()) m_mask.ClearData();
}

// --- Keys ---

bool CPicEdit::PassToPage(UINT vk, LPARAM lParam) {
  CWnd* parent = GetParent();
  const HWND self = m_hWnd;
  if (parent) parent->SendMessage(WM_KEYDOWN, vk, lParam);
  // The page may have ended the task and destroyed the field.
  if (CWnd::FromHandle(self) != this) return false;
  if (vk == kF3) return false;
  if (auto* view = dynamic_cast<IResponseView*>(parent); view && !view->IsMode1()) return false;
  return true;
}

void CPicEdit::OnKeyDown(UINT vk, UINT, UINT) { HandleKeyDown(vk, GetCurrentMessage().lParam); }

void CPicEdit::HandleKeyDown(UINT vk, LPARAM lParam) {
  if (!PassToPage(vk, lParam)) return;
  const KeyModifiers held = Held();
  if (m_hasFieldKeys && m_previousKey.Match(vk, 0, held)) {
    m_keyHandled = true;
    FocusPrevControl();
    return;
  }
  if (m_hasFieldKeys && m_nextKey.Match(vk, 0, held)) {
    m_keyHandled = true;
    FocusNextControl();
    return;
  }
  // Any other key lets its character through, also after a field key that
  // brought none (an arrow or function key).
  m_keyHandled = false;
  if (!m_mask.HasMask()) {
    if (vk == VK_RETURN && !(GetStyle() & ES_MULTILINE)) {
      m_keyHandled = true;
      return;
    }
    DefWindowProc(WM_KEYDOWN, vk, lParam);
    return;
  }
  // The clipboard keys reach the mask's own clipboard operations.
  if ((held.ctrl && (vk == 'C' || vk == VK_INSERT)) || (held.ctrl && vk == 'V') || (held.shift && vk == VK_INSERT) ||
      (held.ctrl && vk == 'X') || (held.shift && vk == VK_DELETE) || (held.ctrl && vk == 'Z')) {
    if (vk == 'C' || (vk == VK_INSERT && held.ctrl)) OnEditCopy();
    else if (vk == 'V' || vk == VK_INSERT) OnEditPaste();
    else if (vk == 'Z') OnEditUndo();
    else OnEditCut();
    m_keyHandled = true;
    return;
  }
  ReadSelection();
  if (m_mask.KeyDown(vk, held.shift) == CPicMask::KeyResult::kStandard) DefWindowProc(WM_KEYDOWN, vk, lParam);
}

void CPicEdit::OnSysKeyDown(UINT vk, UINT, UINT flags) {
  const LPARAM lParam = GetCurrentMessage().lParam;
  CWnd* parent = GetParent();
  if (vk == VK_F10) {
    if (parent) parent->SendMessage(WM_KEYDOWN, vk, lParam);
    return;
  }
  const HWND self = m_hWnd;
  if ((flags & kMenuModeKey) && parent) parent->SendMessage(WM_KEYDOWN, vk, lParam);
  if (CWnd::FromHandle(self) == this) Default();
}

void CPicEdit::OnChar(UINT ch, UINT, UINT) {
  if (!m_mask.HasMask()) {
    if (m_keyHandled) {
      m_keyHandled = false;
      return;
    }
    if (GetStyle() & ES_READONLY) return;
    if (ch == '\r' && !(GetStyle() & ES_MULTILINE)) return;
    Default();
    return;
  }
  if (m_keyHandled) {  // a field or clipboard key: the mask ignores what follows
    m_keyHandled = false;
    return;
  }
  ReadSelection();
  m_mask.Char(ch);
}

// --- Focus and mouse ---

void CPicEdit::OnSetFocus(CWnd* oldWnd) {
  CEdit::OnSetFocus(oldWnd);
  // A field key pressed here before the focus left brought its character (if
  // any) then: what comes now is new input, also a character an input method
  // commits with no key before it.
  m_keyHandled = false;
  // The button is already down when a click brought the focus.
  m_mouseActivated = KeyDown(VK_LBUTTON);
  if (m_mask.HasMask()) {
    if (m_selectOnFocus) SetSel(0, -1);
    else m_mask.SetCaret(-1, 1, 0);
  } else if (m_selectOnFocus && !m_mouseActivated) {
    SetSel(0, -1);
  }
}

void CPicEdit::OnKillFocus(CWnd* newWnd) {
  m_mouseActivated = false;
  CEdit::OnKillFocus(newWnd);
}

void CPicEdit::OnLButtonDown(UINT flags, CPoint point) {
  CEdit::OnLButtonDown(flags, point);
  if (!m_mask.HasMask()) return;
  int s = 0, e = 0;
  GetSel(s, e);
  if (s != e) return;
  const int end = m_mask.FindEndOfData(s);
  if (end != s) {
    SetSel(end, end);
    m_mouseSelecting = true;
    m_caretPoint = point;
  }
}

void CPicEdit::OnMouseMove(UINT flags, CPoint point) {
  if (m_mouseSelecting && point.x >= m_caretPoint.x) return;
  CEdit::OnMouseMove(flags, point);
}

void CPicEdit::OnLButtonUp(UINT flags, CPoint point) {
  m_mouseSelecting = false;
  CEdit::OnLButtonUp(flags, point);
}

// --- Clipboard and undo ---

LRESULT CPicEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COPY: return OnEditCopy();
    case WM_PASTE: return OnEditPaste();
    case WM_CUT: return OnEditCut();
    case WM_UNDO:
    case EM_UNDO: return OnEditUndo();
    case EM_CANUNDO: return OnCanUndo();
    case EM_EMPTYUNDOBUFFER: OnEmptyUndoBuffer(); return 0;
    case WM_CLEAR: return OnEditClear();
    default: return CEdit::WindowProc(message, wParam, lParam);
  }
}

BOOL CPicEdit::OnEditCopy() {
  if (!m_mask.HasMask()) return static_cast<BOOL>(DefWindowProc(WM_COPY, 0, 0));
  ReadSelection();
  CClipboard::SetText(m_mask.CopyText());
  return TRUE;
}

BOOL CPicEdit::OnEditPaste() {
  if (!m_mask.HasMask()) return static_cast<BOOL>(DefWindowProc(WM_PASTE, 0, 0));
  ReadSelection();
  if (m_mask.IsReadOnly() || !CClipboard::HasText()) return FALSE;
  return m_mask.Paste(CClipboard::GetText());
}

BOOL CPicEdit::OnEditCut() {
  if (!m_mask.HasMask()) return static_cast<BOOL>(DefWindowProc(WM_CUT, 0, 0));
  ReadSelection();
  CClipboard::SetText(m_mask.Cut());
  return TRUE;
}

BOOL CPicEdit::OnEditUndo() {
  if (!m_mask.HasMask()) return static_cast<BOOL>(DefWindowProc(EM_UNDO, 0, 0));
  ReadSelection();
  return m_mask.Undo();
}

BOOL CPicEdit::OnCanUndo() {
  if (!m_mask.HasMask()) return static_cast<BOOL>(DefWindowProc(EM_CANUNDO, 0, 0));
  ReadSelection();
  return m_mask.CanUndo() ? TRUE : FALSE;
}

void CPicEdit::OnEmptyUndoBuffer() {
  if (!m_mask.HasMask()) {
    DefWindowProc(EM_EMPTYUNDOBUFFER, 0, 0);
    return;
  }
  m_mask.EmptyUndoBuffer();
}

BOOL CPicEdit::OnEditClear() {
  // Exactly the Delete key: the page sees it first, then the field handles it.
  // One press of the extended key with scan code 0x53.
  constexpr LPARAM kDeleteKeyData = 1 | (0x53 << 16) | (1 << 24);
  HandleKeyDown(VK_DELETE, kDeleteKeyData);
  return TRUE;
}
