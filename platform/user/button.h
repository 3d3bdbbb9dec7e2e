// CButton and CStatic: push buttons, check boxes and radio buttons on Qt's
// buttons, and static texts on a QLabel.
#pragma once

#include "platform/user/child_control.h"

// The kind comes from the style (BS_PUSHBUTTON, BS_DEFPUSHBUTTON,
// BS_CHECKBOX, BS_AUTOCHECKBOX, BS_RADIOBUTTON, BS_AUTORADIOBUTTON). A click
// notifies the parent with BN_CLICKED. Automatic check boxes toggle and
// automatic radio buttons check themselves and clear the other radio buttons
// of their group (the siblings between two WS_GROUP controls); the others
// leave their state to the program (BM_SETCHECK).
class CButton : public CChildControl {
  DECLARE_DYNAMIC(CButton)

 public:
  BOOL Create(const CString& caption, DWORD style, const CRect& rect, CWnd* parent, UINT id) {
    return CWnd::Create(caption, style, rect, parent, id);
  }
  int GetCheck() { return static_cast<int>(SendMessage(BM_GETCHECK)); }
  void SetCheck(int check) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
  // As if the user clicked it.
  void Click() { SendMessage(BM_CLICK); }
  DWORD GetButtonType() const { return GetStyle() & BS_TYPEMASK; }

 protected:
  QWidget* MakeControl(QWidget* host) override;
  UINT CtlColorMessage() const override { return WM_CTLCOLORBTN; }
  void OnWindowTextChanged() override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  bool IsRadio() const { return GetButtonType() == BS_RADIOBUTTON || GetButtonType() == BS_AUTORADIOBUTTON; }
  void Clicked();
  void ClearGroup();
};

class CStatic : public CChildControl {
  DECLARE_DYNAMIC(CStatic)

 public:
  BOOL Create(const CString& text, DWORD style, const CRect& rect, CWnd* parent, UINT id = 0xFFFF) {
    return CWnd::Create(text, style, rect, parent, id);
  }

 protected:
  QWidget* MakeControl(QWidget* host) override;
  UINT CtlColorMessage() const override { return WM_CTLCOLORSTATIC; }
  void OnWindowTextChanged() override;
};
