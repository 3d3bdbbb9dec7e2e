// CPicEdit: the masked edit field: an edit control whose keys, characters,
// clipboard and undo go through a picture mask (CPicMask), with field keys
// that move the focus and every key passed to the page first.
#pragma once

#include "behaviour/keyboard.h"
#include "behaviour/pic_mask.h"
#include "platform/user/edit.h"

// The owner that lends the field its colours (the editor response).
class IPicEditOwner {
 public:
  virtual COLORREF GetTextColour() const = 0;
  virtual COLORREF GetBackColour() const = 0;

 protected:
  ~IPicEditOwner() = default;
};

// Without a mask the field is a plain edit, except that the page sees every
// key first, the field keys move the focus and Return in a one-line field
// is swallowed. A key goes to the parent (the page) as WM_KEYDOWN before
// anything else; F3 stops there, and nothing more happens unless the
// presentation view has started a course (any other parent counts as
// started). The parent may end the task and destroy the field while it
// handles the key: nothing of the field is touched after that.
class CPicEdit : public CEdit, private IPicMaskSite {
  DECLARE_DYNAMIC(CPicEdit)

 public:
  CPicEdit();
  explicit CPicEdit(const IPicEditOwner* owner);
  ~CPicEdit() override;

  void SetColors(COLORREF text, COLORREF back);
  void SetFieldKeys(const CKeyboard& previousKey, const CKeyboard& nextKey);
  void SetAutoAdvance(BOOL on) { m_mask.SetAutoAdvance(on != FALSE); }
  void SetSelectOnFocus(BOOL on) { m_selectOnFocus = on != FALSE; }
  void SetInsertAllowed(BOOL on) { m_mask.SetInsertAllowed(on != FALSE); }

  // Takes the field of the given id in a dialog or form view as this one:
  // the parent must be a dialog or form view and the window of that id must
  // be this object's own (the window layer cannot take over another
  // object's window). FALSE otherwise.
  BOOL SubclassEdit(UINT id, CWnd* parent);
  BOOL SubclassEdit(HWND hwnd);
  BOOL IsSubclassed() const { return m_subclassed ? TRUE : FALSE; }

  BOOL SetMaskString(const CString& mask);
  BOOL SetMask(int id);
  void SetPromptChar(char prompt) { m_mask.SetPromptChar(prompt); }
  BOOL SetData(const CString& text, int start, BOOL push, BOOL strict);
  BOOL GetData(char* buffer, int size, BOOL trim);
  void GetDataText(CString& result, BOOL trim);
  CString GetDataText(BOOL trim) {
    CString text;
    GetDataText(text, trim);
    return text;
  }
  void ClearData();

  CPicMask& Mask() { return m_mask; }
  const CPicMask& Mask() const { return m_mask; }

  void FocusNextControl() override { FocusNextTabStop(FALSE); }
  void FocusPrevControl() override { FocusNextTabStop(TRUE); }

 protected:
  BOOL CtlColor(ControlColours& colours) override;
  void OnKeyDown(UINT vk, UINT repeat, UINT flags) override;
  void OnSysKeyDown(UINT vk, UINT repeat, UINT flags) override;
  void OnChar(UINT ch, UINT repeat, UINT flags) override;
  void OnSetFocus(CWnd* oldWnd) override;
  void OnKillFocus(CWnd* newWnd) override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnMouseMove(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  virtual BOOL OnEditCopy();
  virtual BOOL OnEditPaste();
  virtual BOOL OnEditCut();
  virtual BOOL OnEditUndo();
  virtual BOOL OnCanUndo();
  virtual void OnEmptyUndoBuffer();
  virtual BOOL OnEditClear();

 private:
  // IPicMaskSite
  void ShowText(const CString& text) override;
  void ShowSelection(int start, int end) override;
  void Beep() override;

  // Sends the key to the page first; FALSE when the field must stop (F3,
  // the view not started, or the field gone).
  bool PassToPage(UINT vk, LPARAM lParam);
  // The key-down handling with the key's own lParam, for real keys and for
  // the clear command, which is a Delete key.
  void HandleKeyDown(UINT vk, LPARAM lParam);
  void ReadSelection();
  bool IsParentDialogOrFormView() const;

  CPicMask m_mask{*this};
  CKeyboard m_previousKey;
  CKeyboard m_nextKey;
  bool m_hasFieldKeys = false;
  bool m_subclassed = false;
  bool m_selectOnFocus = true;
  bool m_keyHandled = false;
  bool m_mouseActivated = false;
  bool m_mouseSelecting = false;
  CPoint m_caretPoint;
  bool m_hasColours = false;
  COLORREF m_textColour = 0;
  COLORREF m_backColour = 0xFFFFFF;
};

// Dialog-data helpers for a masked field in a dialog, for any exchange with
// m_bSaveAndValidate and Dialog(). The first two take the field and set its
// mask (nothing when the field already has its mask); FALSE when that fails.
template <class Exchange>
BOOL DDX_PicEditMask(Exchange* dx, int id, CPicEdit& edit, int maskId) {
  if (edit.IsSubclassed()) return TRUE;
  return edit.SubclassEdit(static_cast<UINT>(id), &dx->Dialog()) && edit.SetMask(maskId);
}
template <class Exchange>
BOOL DDX_PicEditMaskString(Exchange* dx, int id, CPicEdit& edit, const CString& mask) {
  if (edit.IsSubclassed()) return TRUE;
  return edit.SubclassEdit(static_cast<UINT>(id), &dx->Dialog()) && edit.SetMaskString(mask);
}
// Saving gives the entered text (trimmed with trim); loading puts it in.
template <class Exchange>
void DDX_PicEditText(Exchange* dx, CPicEdit& edit, CString& value, BOOL trim) {
  if (!edit.GetSafeHwnd()) return;
  if (dx->m_bSaveAndValidate) edit.GetDataText(value, trim);
  else edit.SetData(value, 0, FALSE, TRUE);
}
