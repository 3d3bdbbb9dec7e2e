// CListBox: a list box on a QListWidget, answering the LB_ messages.
#pragma once

#include <vector>

#include "platform/user/child_control.h"

class QListWidget;

// Entries are 8-bit text kept as given. With LBS_SORT an entry goes in after
// the entries that do not sort after it, compared without case in code page
// 1252. LBS_MULTIPLESEL lets each click toggle an entry. The user's
// selection changes and double clicks notify the parent (LBS_NOTIFY) with
// LBN_SELCHANGE and LBN_DBLCLK; changes by messages notify nobody.
class CListBox : public CChildControl {
  DECLARE_DYNAMIC(CListBox)

 public:
  BOOL Create(DWORD style, const CRect& rect, CWnd* parent, UINT id) { return CWnd::Create({}, style, rect, parent, id, CS_DBLCLKS); }

  int AddString(const CString& text) { return Call(LB_ADDSTRING, 0, &text); }
  int InsertString(int index, const CString& text) { return Call(LB_INSERTSTRING, static_cast<WPARAM>(index), &text); }
  int DeleteString(int index) { return CallIndex(LB_DELETESTRING, static_cast<WPARAM>(index), 0); }
  void ResetContent() { SendMessage(LB_RESETCONTENT); }
  int GetCount() { return CallIndex(LB_GETCOUNT, 0, 0); }
  // LB_ERR for an index outside the list.
  int GetText(int index, CString& text) { return Call(LB_GETTEXT, static_cast<WPARAM>(index), &text); }
  int GetCurSel() { return CallIndex(LB_GETCURSEL, 0, 0); }
  int SetCurSel(int index) { return CallIndex(LB_SETCURSEL, static_cast<WPARAM>(index), 0); }
  int GetSel(int index) { return CallIndex(LB_GETSEL, static_cast<WPARAM>(index), 0); }
  int SetSel(int index, BOOL select = TRUE) { return CallIndex(LB_SETSEL, static_cast<WPARAM>(select), index); }
  int GetSelCount() { return CallIndex(LB_GETSELCOUNT, 0, 0); }
  // The selected entries in list order.
  std::vector<int> GetSelItems();
  int FindString(int startAfter, const CString& text) { return Call(LB_FINDSTRING, static_cast<WPARAM>(startAfter), &text); }
  int FindStringExact(int startAfter, const CString& text) {
    return Call(LB_FINDSTRINGEXACT, static_cast<WPARAM>(startAfter), &text);
  }
  int SelectString(int startAfter, const CString& text) {
    return Call(LB_SELECTSTRING, static_cast<WPARAM>(startAfter), &text);
  }
  int GetTopIndex() { return CallIndex(LB_GETTOPINDEX, 0, 0); }
  int SetTopIndex(int index) { return CallIndex(LB_SETTOPINDEX, static_cast<WPARAM>(index), 0); }
  int GetItemHeight(int index) { return CallIndex(LB_GETITEMHEIGHT, static_cast<WPARAM>(index), 0); }
  int SetItemHeight(int index, UINT height) { return CallIndex(LB_SETITEMHEIGHT, static_cast<WPARAM>(index), height); }
  int GetHorizontalExtent() { return CallIndex(LB_GETHORIZONTALEXTENT, 0, 0); }
  void SetHorizontalExtent(int extent) { SendMessage(LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(extent)); }
  // The width of the text in the list's font, in pixels.
  int MeasureText(const CString& text) const;

 protected:
  QWidget* MakeControl(QWidget* host) override;
  UINT CtlColorMessage() const override { return WM_CTLCOLORLISTBOX; }
  void OnFontChanged() override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  int Call(UINT message, WPARAM wParam, const CString* text) {
    return static_cast<int>(SendMessage(message, wParam, reinterpret_cast<LPARAM>(text)));
  }
  int CallIndex(UINT message, WPARAM wParam, LPARAM lParam) { return static_cast<int>(SendMessage(message, wParam, lParam)); }
  QListWidget* List() const;
  bool Multiple() const { return (GetStyle() & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0; }
  int Insert(int index, const CString& text);
  int Find(int startAfter, const CString& text, bool exact);
  // Every entry's height and width follow the item height and the extent.
  void ApplyItemSize(int row);
  int ItemHeight() const;

  int m_itemHeight = 0;  // 0: from the font
  int m_extent = 0;
};
