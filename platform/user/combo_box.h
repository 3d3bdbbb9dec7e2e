// CComboBox: a drop-down list (non-editable) on a QComboBox, answering the CB_ messages.
#pragma once

#include "platform/user/child_control.h"

class QComboBox;
class QRect;

// The window is as high as its selection field (and its frame); the height
// it was asked for is the room of the dropped list, which opens right below
// the field, as wide as the window. Entries, sorting and search follow the
// list box's rules. The user's choice notifies the parent with CBN_SELCHANGE.
class CComboBox : public CChildControl {
  DECLARE_DYNAMIC(CComboBox)

 public:
  BOOL Create(DWORD style, const CRect& rect, CWnd* parent, UINT id) { return CWnd::Create({}, style, rect, parent, id); }

  int AddString(const CString& text) { return Call(CB_ADDSTRING, 0, &text); }
  int InsertString(int index, const CString& text) { return Call(CB_INSERTSTRING, static_cast<WPARAM>(index), &text); }
  int DeleteString(int index) { return Call(CB_DELETESTRING, static_cast<WPARAM>(index), nullptr); }
  void ResetContent() { SendMessage(CB_RESETCONTENT); }
  int GetCount() { return Call(CB_GETCOUNT, 0, nullptr); }
  int GetCurSel() { return Call(CB_GETCURSEL, 0, nullptr); }
  int SetCurSel(int index) { return Call(CB_SETCURSEL, static_cast<WPARAM>(index), nullptr); }
  int GetLBText(int index, CString& text) { return Call(CB_GETLBTEXT, static_cast<WPARAM>(index), &text); }
  int FindString(int startAfter, const CString& text) { return Call(CB_FINDSTRING, static_cast<WPARAM>(startAfter), &text); }
  int SelectString(int startAfter, const CString& text) {
    return Call(CB_SELECTSTRING, static_cast<WPARAM>(startAfter), &text);
  }
  void ShowDropDown(BOOL show = TRUE) { SendMessage(CB_SHOWDROPDOWN, show); }
  BOOL GetDroppedState() { return Call(CB_GETDROPPEDSTATE, 0, nullptr) != 0; }
  // -1: the selection field.
  int GetItemHeight(int index) { return Call(CB_GETITEMHEIGHT, static_cast<WPARAM>(index), nullptr); }
  int MeasureText(const CString& text) const;
  // The height asked for at creation or in the last move: the dropped list's room.
  int GetDroppedHeight() const { return m_droppedHeight; }

 protected:
  QWidget* MakeControl(QWidget* host) override;
  UINT CtlColorMessage() const override { return WM_CTLCOLORLISTBOX; }
  void OnFontChanged() override;
  CRect ConstrainWindowRect(const CRect& rect) const override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  int Call(UINT message, WPARAM wParam, const CString* text) {
    return static_cast<int>(SendMessage(message, wParam, reinterpret_cast<LPARAM>(text)));
  }
  QComboBox* Combo() const;
  // Where the opened list stands on the screen.
  QRect ListRectOnScreen() const;
  int FieldHeight() const;
  int ItemHeight() const;
  int Insert(int index, const CString& text);
  int Find(int startAfter, const CString& text, bool exact);

  mutable int m_droppedHeight = 0;
  int m_itemHeight = 0;  // 0: from the font
};
