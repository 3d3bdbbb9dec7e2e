// Child controls: list and combo boxes, buttons and statics; input passed
// through messages, notifications, colours, fonts and focus walking.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>

#include "platform/user/button.h"
#include "platform/user/combo_box.h"
#include "platform/gdi/font.h"
#include "platform/user/list_box.h"
#include "tests/platform/user/window_test_support.h"

class ChildControlTest : public WindowTest {
 protected:
  std::unique_ptr<CRecordingWnd> parent = MakeWindow(CRect(0, 0, 400, 300));

  std::vector<WORD> Notifications(UINT id) {
    std::vector<WORD> codes;
    for (const RecordedMessage& m : parent->Messages(WM_COMMAND))
      if (LOWORD(m.wParam) == id) codes.push_back(HIWORD(m.wParam));
    return codes;
  }
};

namespace {

// Records the input messages it gets before handing them to the control.
class CWatchedListBox : public CListBox {
 public:
  std::vector<UINT> seen;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_LBUTTONDOWN || message == WM_KEYDOWN || message == WM_CHAR) seen.push_back(message);
    return CListBox::WindowProc(message, wParam, lParam);
  }
};

class CColouredListBox : public CListBox {
 protected:
  BOOL CtlColor(ControlColours& colours) override {
    colours.text = RGB(200, 0, 0);
    return TRUE;
  }
};

std::vector<CString> Entries(CListBox& list) {
  std::vector<CString> out;
  for (int i = 0; i < list.GetCount(); ++i) {
    CString text;
    list.GetText(i, text);
    out.push_back(text);
  }
  return out;
}

}  // namespace

TEST_F(ChildControlTest, ListBoxSortsWithoutCaseAndFindsByPrefixAfterTheStartWrappingRound) {
  CListBox list;
  ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LBS_SORT | LBS_NOTIFY, CRect(10, 10, 200, 120), parent.get(), 928));
  for (const char* s : {"cherry", "Banana", "\xE9tude", "apple", "banana", "Apricot"}) list.AddString(s);
  // Case does not order; equal entries keep the order they came in; 1252 letters sort after ASCII.
  EXPECT_EQ(Entries(list), (std::vector<CString>{"apple", "Apricot", "Banana", "banana", "cherry", "\xE9tude"}));
  EXPECT_EQ(list.FindString(0, "AP"), 1);   // starts after index 0
  EXPECT_EQ(list.FindString(-1, "ap"), 0);
  EXPECT_EQ(list.FindString(4, "a"), 0);    // wraps round
  EXPECT_EQ(list.FindString(0, "kiwi"), static_cast<int>(LB_ERR));
  EXPECT_EQ(list.FindStringExact(-1, "BANANA"), 2);
  EXPECT_EQ(list.SelectString(0, "b"), 2);
  EXPECT_EQ(list.GetCurSel(), 2);
  EXPECT_EQ(list.SetSel(1), static_cast<int>(LB_ERR));  // single selection
  EXPECT_EQ(list.SetCurSel(-1), static_cast<int>(LB_ERR));
  EXPECT_EQ(list.GetCurSel(), static_cast<int>(LB_ERR));
  CString text = "kept";
  EXPECT_EQ(list.GetText(6, text), static_cast<int>(LB_ERR));
  EXPECT_EQ(text, "kept");
  EXPECT_EQ(list.DeleteString(0), 5);
  EXPECT_EQ(list.InsertString(-1, "zz"), 5);
  EXPECT_EQ(list.InsertString(9, "no"), static_cast<int>(LB_ERR));
  PumpReady();
  EXPECT_TRUE(Notifications(928).empty()) << "changes made by messages notify nobody";

  CListBox multi;
  ASSERT_TRUE(multi.Create(WS_CHILD | WS_VISIBLE | LBS_MULTIPLESEL | WS_HSCROLL, CRect(210, 10, 300, 60), parent.get(), 929));
  for (const char* s : {"one", "two", "three", "four", "five", "six", "seven"}) multi.AddString(s);
  EXPECT_EQ(multi.SetCurSel(1), static_cast<int>(LB_ERR));
  multi.SetSel(1);
  multi.SetSel(3);
  EXPECT_EQ(multi.GetSelItems(), (std::vector<int>{1, 3}));
  EXPECT_EQ(multi.GetSelCount(), 2);
  multi.SetSel(-1, FALSE);
  EXPECT_EQ(multi.GetSelCount(), 0);
  multi.SetHorizontalExtent(500);
  EXPECT_EQ(multi.GetHorizontalExtent(), 500);
  EXPECT_EQ(multi.SetItemHeight(0, 20), 0);
  EXPECT_EQ(multi.GetItemHeight(0), 20);
  EXPECT_EQ(multi.GetTopIndex(), 0);
  multi.SetTopIndex(4);
  EXPECT_EQ(multi.GetTopIndex(), 4);
}

TEST_F(ChildControlTest, InputReachesTheWindowAsMessagesBeforeTheControlActsAndTheUserNotifies) {
  CWatchedListBox list;
  ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | LBS_NOTIFY, CRect(10, 10, 200, 200), parent.get(), 928));
  for (const char* s : {"red", "green", "blue"}) list.AddString(s);
  list.SetItemHeight(0, 20);
  auto* widget = static_cast<QListWidget*>(list.GetControlWidget());
  ASSERT_NE(widget, nullptr);

  // A real click on the second entry: nothing happens until the message is handled.
  const QPoint at = widget->visualItemRect(widget->item(1)).center();
  QMouseEvent press(QEvent::MouseButtonPress, at, widget->viewport()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(widget->viewport(), &press);
  EXPECT_EQ(list.GetCurSel(), static_cast<int>(LB_ERR));
  PumpReady();
  ASSERT_FALSE(list.seen.empty());
  EXPECT_EQ(list.seen.front(), WM_LBUTTONDOWN);
  EXPECT_EQ(list.GetCurSel(), 1);
  PumpReady();
  EXPECT_EQ(Notifications(928), std::vector<WORD>{LBN_SELCHANGE});

  // Keys the program posts act as typed ones: Down moves, a character searches.
  list.PostMessage(WM_KEYDOWN, VK_DOWN, 1);
  PumpReady();
  EXPECT_EQ(list.GetCurSel(), 2);
  list.PostMessage(WM_CHAR, 'r', 1);
  PumpReady();
  EXPECT_EQ(list.GetCurSel(), 0);

  // Tab walks the parent's tab stops, wrapping round.
  CButton ok, hidden;
  ASSERT_TRUE(hidden.Create("x", WS_CHILD | WS_TABSTOP, CRect(0, 250, 50, 270), parent.get(), 2));
  ASSERT_TRUE(ok.Create("OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(250, 250, 300, 270), parent.get(), 1));
  list.SetFocus();
  list.PostMessage(WM_KEYDOWN, VK_TAB, 1);
  PumpReady();
  EXPECT_EQ(CWnd::GetFocus(), &ok);
  ok.PostMessage(WM_KEYDOWN, VK_TAB, 1);
  PumpReady();
  EXPECT_EQ(CWnd::GetFocus(), &list);
}

TEST_F(ChildControlTest, MouseOnAControlKeepsTheKeyStateAndCutsFractionsLikeAWindow) {
  CRecordingWnd watcher;
  CListBox list;
  ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 200, 200), parent.get(), 929));
  auto* widget = static_cast<QListWidget*>(list.GetControlWidget());
  ASSERT_NE(widget, nullptr);
  // Another window holds the capture, so the message the list posts can be watched there.
  ASSERT_TRUE(watcher.Create("watcher", WS_CHILD | WS_VISIBLE, CRect(0, 0, 400, 300), parent.get()));
  watcher.SetCapture();
  const QPointF at(5.75, 6.5);
  QMouseEvent move(QEvent::MouseMove, at, widget->viewport()->mapToGlobal(at), Qt::NoButton, Qt::MiddleButton,
                   Qt::ShiftModifier | Qt::AltModifier);
  QApplication::sendEvent(widget->viewport(), &move);
  ReleaseCapture();
  PumpReady();
  ASSERT_EQ(watcher.Messages(WM_MOUSEMOVE).size(), 1u);
  const RecordedMessage m = watcher.Messages(WM_MOUSEMOVE)[0];
  EXPECT_EQ(m.wParam, MK_MBUTTON | MK_SHIFT);
  const QPoint inList = widget->viewport()->mapTo(list.GetWidget(), QPoint(5, 6));
  CPoint expected(inList.x(), inList.y());
  list.ClientToScreen(&expected);
  watcher.ScreenToClient(&expected);
  EXPECT_EQ(PointFromLParam(m.lParam), expected);
  EXPECT_LT(GetKeyState(VK_SHIFT), 0);
  EXPECT_LT(GetKeyState(VK_MENU), 0);
  EXPECT_LT(GetKeyState(VK_MBUTTON), 0);
  EXPECT_GE(GetKeyState(VK_CONTROL), 0);
}

TEST_F(ChildControlTest, DropDownListKeepsItsFieldHeightAndSelectsWithoutNotifying) {
  CComboBox combo;
  ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_SORT, CRect(20, 20, 220, 220), parent.get(), 927));
  CRect rect;
  combo.GetWindowRect(&rect);
  EXPECT_LT(rect.Height(), 60);
  EXPECT_EQ(combo.GetDroppedHeight(), 200);
  for (const char* s : {"pear", "Plum", "apple"}) combo.AddString(s);
  CString text;
  combo.GetLBText(2, text);
  EXPECT_EQ(text, "Plum");
  EXPECT_EQ(combo.GetCurSel(), static_cast<int>(CB_ERR));
  EXPECT_EQ(combo.SelectString(0, "P"), 1);
  EXPECT_EQ(combo.SetCurSel(7), static_cast<int>(CB_ERR));
  EXPECT_EQ(combo.GetCurSel(), static_cast<int>(CB_ERR));
  EXPECT_EQ(combo.SetCurSel(2), 2);
  PumpReady();
  EXPECT_TRUE(Notifications(927).empty());
  // The user's choice notifies.
  static_cast<QComboBox*>(combo.GetControlWidget())->setCurrentIndex(0);
  PumpReady();
  EXPECT_EQ(Notifications(927), std::vector<WORD>{CBN_SELCHANGE});

  // A bigger font makes a higher field; the asked height stays the list's room.
  CFont big;
  LOGFONT lf{};
  lf.lfHeight = -40;
  big.CreateFontIndirect(&lf);
  const int before = rect.Height();
  combo.SetFont(&big);
  combo.GetWindowRect(&rect);
  EXPECT_GT(rect.Height(), before);
  EXPECT_EQ(combo.GetDroppedHeight(), 200);
  EXPECT_EQ(combo.GetFont(), &big);
}

TEST_F(ChildControlTest, ButtonsCheckAsTheirKindSaysAndRadioGroupsEndAtTheNextGroup) {
  CButton autoCheck, manualCheck, r1, r2, r3, other;
  ASSERT_TRUE(autoCheck.Create("&Auto", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, CRect(0, 0, 100, 20), parent.get(), 11));
  ASSERT_TRUE(manualCheck.Create("Manual", WS_CHILD | WS_VISIBLE | BS_CHECKBOX, CRect(0, 20, 100, 40), parent.get(), 12));
  ASSERT_TRUE(r1.Create("1", WS_CHILD | WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON, CRect(0, 40, 100, 60), parent.get(), 13));
  ASSERT_TRUE(r2.Create("2", WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON, CRect(0, 60, 100, 80), parent.get(), 14));
  ASSERT_TRUE(r3.Create("3", WS_CHILD | WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON, CRect(0, 80, 100, 100), parent.get(), 15));
  ASSERT_TRUE(other.Create("Go", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, CRect(0, 100, 100, 120), parent.get(), 16));

  autoCheck.Click();
  manualCheck.Click();
  EXPECT_EQ(autoCheck.GetCheck(), 1);
  EXPECT_EQ(manualCheck.GetCheck(), 0);
  manualCheck.SetCheck(BST_CHECKED);
  EXPECT_EQ(manualCheck.GetCheck(), 1);

  r3.Click();
  r1.Click();
  r2.Click();
  EXPECT_EQ(r1.GetCheck(), 0);
  EXPECT_EQ(r2.GetCheck(), 1);
  EXPECT_EQ(r3.GetCheck(), 1) << "another group";
  other.Click();
  EXPECT_EQ(other.GetCheck(), 0);
  PumpReady();
  for (UINT id = 11; id <= 16; ++id) EXPECT_EQ(Notifications(id).size(), 1u) << "every click notifies, " << id;

  autoCheck.SetWindowText("Renamed");
  EXPECT_EQ(static_cast<QAbstractButton*>(autoCheck.GetControlWidget())->text(), "Renamed");
  CStatic label;
  ASSERT_TRUE(label.Create("Name:", WS_CHILD | WS_VISIBLE | SS_RIGHT, CRect(120, 0, 200, 20), parent.get()));
  EXPECT_EQ(static_cast<QLabel*>(label.GetControlWidget())->text(), "Name:");
}

TEST_F(ChildControlTest, ColoursComeFromTheControlFirstThenFromTheParent) {
  parent->hook = [](UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
    if (message != WM_CTLCOLORLISTBOX) return std::nullopt;
    auto* colours = reinterpret_cast<ControlColours*>(wParam);
    colours->text = RGB(0, 0, 255);
    colours->background = RGB(255, 255, 0);
    return 1;
  };
  CListBox plain;
  ASSERT_TRUE(plain.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 100), parent.get(), 1));
  const QPalette p = plain.GetControlWidget()->palette();
  EXPECT_EQ(p.color(QPalette::Text), QColor(0, 0, 255));
  EXPECT_EQ(p.color(QPalette::Base), QColor(255, 255, 0));

  CColouredListBox own;
  ASSERT_TRUE(own.Create(WS_CHILD | WS_VISIBLE, CRect(100, 0, 200, 100), parent.get(), 2));
  EXPECT_EQ(own.GetControlWidget()->palette().color(QPalette::Text), QColor(200, 0, 0));
  EXPECT_TRUE(parent->Messages(WM_CTLCOLORLISTBOX).size() == 1u) << "the parent is asked only when the control does not answer";
}
