// Dialogs from templates: controls by class name at their dialog-unit places, the nested modal loop that keeps other windows' timers and posts flowing, Enter, data exchange, modeless dialogs and a quit message inside a modal one.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

#include "platform/user/button.h"
#include "platform/user/dialog.h"
#include "platform/user/dialog_colours.h"
#include "platform/user/edit.h"
#include "platform/user/message_box_types.h"
#include "platform/user/qt_dialogs.h"
#include "tests/platform/user/window_test_support.h"

namespace {

class CNameDialog : public CDialog {
 public:
  using CDialog::CDialog;
  CString name = "first";
  int check = 1;

 protected:
  void DoDataExchange(CDataExchange* dx) override {
    DDX_Text(dx, 10, name);
    DDX_Check(dx, 11, check);
    DDX_Text(dx, 99, name);  // no such control: the member stays
  }
};

DialogTemplate NameTemplate() {
  const DWORD child = WS_CHILD | WS_VISIBLE;
  return {CString("Name"), WS_POPUP | WS_CAPTION, 100, 40,
          {{"Edit", "", 10, child | WS_TABSTOP | ES_AUTOHSCROLL, 4, 4, 92, 12},
           {"button", "&Keep", 11, child | BS_AUTOCHECKBOX | WS_TABSTOP, 4, 18, 60, 10},
           {"NoSuchClass", "", 12, child, 0, 0, 10, 10},
           {"Button", "OK", IDOK, child | BS_DEFPUSHBUTTON | WS_TABSTOP, 4, 28, 40, 12},
           {"Button", "Other", 13, child | BS_PUSHBUTTON | WS_TABSTOP, 50, 28, 40, 12}}};
}

class DialogTest : public WindowTest {
 protected:
  std::unique_ptr<CRecordingWnd> owner = MakeWindow();
  // Each idle turn of the modal loop takes the next step.
  std::vector<std::function<void(CDialog&)>> steps;
  std::size_t next = 0;
  DialogTest() {
    owner->hook = [this](UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
      if (message != WM_ENTERIDLE) return std::nullopt;
      auto* dialog = dynamic_cast<CDialog*>(CWnd::FromHandle(reinterpret_cast<HWND>(lParam)));
      if (!dialog) return 0;
      if (next < steps.size()) steps[next++](*dialog);
      else dialog->EndDialog(-2);
      return 0;
    };
  }
};

TEST_F(DialogTest, AModalDialogKeepsTheLoopTurningAndEndsByItsButtonsKeysAndData) {
  CNameDialog dialog(NameTemplate(), owner.get());
  auto other = MakeWindow(CRect(500, 100, 600, 200));
  other->SetTimer(7, 50);
  bool posted = false;
  steps = {[&](CDialog& d) {
             // Places in dialog units (6 × 13 base units), an unknown class left out.
             CRect r;
             d.GetClientRect(&r);
             EXPECT_EQ(r.Width(), 150);
             EXPECT_EQ(r.Height(), 65);
             d.GetDlgItem(11)->GetWindowRect(&r);
             d.ScreenToClient(&r);
             EXPECT_EQ(r, CRect(6, 29, 96, 45));
             EXPECT_EQ(d.GetDlgItem(12), nullptr);
             EXPECT_EQ(d.GetDefID(), static_cast<UINT>(IDOK));
             // Data went in; the owner is disabled; the first tab stop has the focus.
             EXPECT_EQ(d.GetDlgItemText(10).str(), "first");
             EXPECT_EQ(d.IsDlgButtonChecked(11), 1u);
             EXPECT_FALSE(owner->IsWindowEnabled());
             EXPECT_EQ(CWnd::GetFocus(), d.GetDlgItem(10));
             // Another window's timer and a posted message are served meanwhile.
             clock.Advance(50);
             other->PostMessage(WM_USER + 5);
           },
           [&](CDialog& d) {
             posted = !other->Messages(WM_USER + 5).empty();
             EXPECT_FALSE(other->Messages(WM_TIMER).empty());
             const CString text("second");
             d.GetDlgItem(10)->SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(&text));
             static_cast<CButton*>(d.GetDlgItem(11))->Click();
             d.GetDlgItem(13)->SetFocus();
             d.GetDlgItem(13)->PostMessage(WM_KEYDOWN, VK_RETURN, 1);  // a focused push button takes Enter
           },
           [&](CDialog& d) {
             EXPECT_FALSE(d.IsEnded());  // 13 is no command of the dialog
             d.GetDlgItem(10)->PostMessage(WM_KEYDOWN, VK_RETURN, 1);
           }};
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_TRUE(posted);
  EXPECT_EQ(dialog.name.str(), "second");
  EXPECT_EQ(dialog.check, 0);
  EXPECT_TRUE(owner->IsWindowEnabled());
  EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
}

TEST_F(DialogTest, AModelessDialogHidesWhenEndedAndAQuitEndsAModalOneAndReachesTheOuterLoop) {
  CNameDialog modeless(NameTemplate(), owner.get());
  ASSERT_TRUE(modeless.Create());
  EXPECT_TRUE(modeless.IsWindowVisible());
  EXPECT_TRUE(owner->IsWindowEnabled());
  MSG msg{};
  msg.hwnd = modeless.GetDlgItem(10)->GetSafeHwnd();
  msg.message = WM_KEYDOWN;
  msg.wParam = VK_ESCAPE;
  EXPECT_TRUE(modeless.IsDialogMessage(msg));
  EXPECT_EQ(modeless.Result(), IDCANCEL);
  EXPECT_FALSE(modeless.IsWindowVisible());
  EXPECT_NE(modeless.GetSafeHwnd(), nullptr);
  msg.hwnd = owner->GetSafeHwnd();  // not the dialog's
  EXPECT_FALSE(modeless.IsDialogMessage(msg));

  CNameDialog modal(NameTemplate(), owner.get());
  steps = {[&](CDialog&) { loop->PostQuitMessage(3); }};
  EXPECT_EQ(modal.DoModal(), IDCANCEL);
  EXPECT_TRUE(owner->IsWindowEnabled());
  ASSERT_TRUE(loop->PeekMessage(msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(DialogTest, TheProgramsDialogColoursPaintTheFaceTheControlsOnItAndMessageBoxes) {
  const COLORREF green = RGB(0, 128, 0), yellow = RGB(255, 255, 0);
  auto face = [](QWidget* widget) { return widget->grab().toImage().pixelColor(2, 2); };
  DialogTemplate withStatic = NameTemplate();
  withStatic.items.push_back({"Static", "Label", 14, WS_CHILD | WS_VISIBLE, 4, 42, 60, 10});
  withStatic.cy = 56;
  {
    // Without colours of the program's own: the button face, the controls' own text.
    CNameDialog plain(withStatic, owner.get());
    ASSERT_TRUE(plain.Create());
    PumpReady();
    EXPECT_EQ(face(plain.GetWidget()), QColor(192, 192, 192));
    plain.DestroyWindow();
  }
  SetDialogBkColor(green, yellow);
  CNameDialog dialog(withStatic, owner.get());
  ASSERT_TRUE(dialog.Create());
  PumpReady();
  EXPECT_EQ(face(dialog.GetWidget()), QColor(0, 128, 0));
  for (int id : {11, 14}) {  // a check box and a static stand on the face
    QWidget* control = static_cast<CChildControl*>(dialog.GetDlgItem(id))->GetControlWidget();
    ASSERT_NE(control, nullptr) << id;
    EXPECT_EQ(control->palette().color(QPalette::Window), QColor(0, 128, 0)) << id;
    EXPECT_EQ(control->palette().color(QPalette::WindowText), QColor(255, 255, 0)) << id;
  }
  dialog.DestroyWindow();

  // A message box takes both too.
  QColor boxFace, boxText;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    boxFace = face(box);
    boxText = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))->palette().color(QPalette::WindowText);
    box->button(QMessageBox::Ok)->click();
  });
  CQtDialogs qt;
  EXPECT_EQ(qt.MessageBox({nullptr, "Coloured", "Caption", MB_OK}), IDOK);
  EXPECT_EQ(boxFace, QColor(0, 128, 0));
  EXPECT_EQ(boxText, QColor(255, 255, 0));
}

}  // namespace
