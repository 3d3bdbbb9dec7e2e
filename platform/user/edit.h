// CEdit: the edit control, a QLineEdit (or a QPlainTextEdit with
// ES_MULTILINE) answering the EM_ messages, the text, clipboard and undo
// messages.
#pragma once

#include <functional>
#include <optional>

#include "platform/user/child_control.h"
#include "platform/user/edit_messages.h"

class QLineEdit;
class QPlainTextEdit;

// The text is 8-bit code page 1252, as WM_SETTEXT gives it and WM_GETTEXT
// and GetWindowText give it back; a multi-line control ends its lines with
// "\r\n" there, and positions (EM_SETSEL, EM_GETSEL) count those two bytes.
// The clipboard messages use the clipboard's text (CF_TEXT); a password field
// gives nothing to copy. Typed, pasted and replacing text follows
// ES_UPPERCASE/ES_LOWERCASE and stops at the limit (EM_LIMITTEXT, 32767
// until set) and, in a single-line field without ES_AUTOHSCROLL, at the
// field's width; what is refused sends EN_MAXTEXT. Every change other than WM_SETTEXT sets the modified flag,
// which WM_SETTEXT clears; the user's changes notify the parent with
// EN_CHANGE, and focus changes with EN_SETFOCUS and EN_KILLFOCUS.
//
// Keys and characters arrive as WM_KEYDOWN and WM_CHAR (see CChildControl);
// a derived class decides them in OnKeyDown/OnChar and calls Default() for
// the edit's own handling. Ctrl+C, Ctrl+X, Ctrl+V, Ctrl+Z and the Insert
// and Delete combinations become WM_COPY, WM_CUT, WM_PASTE and EM_UNDO
// there, so a derived class's handlers of those messages see them.
//
// Undo has one level: the text and selection before the last change. Undo
// swaps them with the present ones, so a second undo takes back the first.
// A run of typed characters (or of Backspaces, or of Deletes) that carries
// on where the one before ended is one change. WM_SETTEXT and
// EM_EMPTYUNDOBUFFER forget the level.
class CEdit : public CChildControl {
  DECLARE_DYNAMIC(CEdit)

 public:
  static constexpr UINT kDefaultLimit = 32767;

  BOOL Create(DWORD style, const CRect& rect, CWnd* parent, UINT id) { return CWnd::Create({}, style, rect, parent, id); }

  void SetSel(int start, int end, BOOL noScroll = FALSE) {
    (void)noScroll;
    SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end);
  }
  void GetSel(int& start, int& end) const;
  DWORD GetSel() const;
  void ReplaceSel(const CString& text, BOOL canUndo = FALSE) {
    SendMessage(EM_REPLACESEL, static_cast<WPARAM>(canUndo), reinterpret_cast<LPARAM>(&text));
  }
  void LimitText(int chars = 0) { SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(chars)); }
  UINT GetLimitText() const { return m_limit; }
  BOOL GetModify() const { return m_modified ? TRUE : FALSE; }
  void SetModify(BOOL modified = TRUE) { SendMessage(EM_SETMODIFY, static_cast<WPARAM>(modified)); }
  BOOL SetReadOnly(BOOL readOnly = TRUE) { return static_cast<BOOL>(SendMessage(EM_SETREADONLY, static_cast<WPARAM>(readOnly))); }
  int GetLineCount() { return static_cast<int>(SendMessage(EM_GETLINECOUNT)); }
  BOOL CanUndo() { return static_cast<BOOL>(SendMessage(EM_CANUNDO)); }
  BOOL Undo() { return static_cast<BOOL>(SendMessage(EM_UNDO)); }
  void EmptyUndoBuffer() { SendMessage(EM_EMPTYUNDOBUFFER); }
  void Copy() { SendMessage(WM_COPY); }
  void Cut() { SendMessage(WM_CUT); }
  void Paste() { SendMessage(WM_PASTE); }
  void Clear() { SendMessage(WM_CLEAR); }

 protected:
  QWidget* MakeControl(QWidget* host) override;
  UINT CtlColorMessage() const override {
    return (GetStyle() & ES_READONLY) ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
  }
  void OnWindowTextChanged() override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  bool IsMultiLine() const { return (GetStyle() & ES_MULTILINE) != 0; }
  QLineEdit* Line() const;
  QPlainTextEdit* Plain() const;
  // The text and positions in the 1252 world.
  CString ControlText() const;
  void ShowText(const CString& text);
  void Selection(int& start, int& end) const;
  void Select(int start, int end);
  // Puts text in place of the selection as far as the limit lets it; FALSE
  // when nothing of it fitted.
  bool Insert(const CString& text);
  void TypeCharacter(WPARAM ch, LPARAM lParam);
  bool Fits(const CString& text) const;
  void TextChangedByControl();
  void CopySelection() const;

  // The text and selection as the window has them.
  struct EditState {
    CString text;
    int start = 0;
    int end = 0;
  };
  // What an editing message is, for joining runs of it into one change.
  enum class EditKind { kOther, kTyping, kBackspace, kDelete };
  EditState State() const;
  // Runs an editing message; the state before it becomes the undo level
  // when it changed the text, unless it carries on the run before it.
  LRESULT Editing(EditKind kind, const std::function<LRESULT()>& edit);
  BOOL SwapUndo();
  void ForgetUndo();

  UINT m_limit = kDefaultLimit;
  bool m_modified = false;
  bool m_showing = false;  // the control's text is being set from the window's
  bool m_cutting = false;  // a cut is clearing its selection
  std::optional<EditState> m_undo;
  int m_editing = 0;  // editing messages running (one may send another)
  // The kind of the last change and where its caret ended, while a run of
  // that kind may carry on.
  EditKind m_runKind = EditKind::kOther;
  int m_runCaret = -1;
};
