// What the child controls show, grabbed off screen: the drop-down list
// closed and open, frames from the window's styles for every kind, the list
// box's rows and the marks of check and radio buttons. Points and regions
// are checked with a tolerance; fonts and the widget style may differ.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include <memory>

#include "platform/gdi/system_metrics.h"
#include "platform/richedit/rich_edit_view.h"
#include "platform/user/button.h"
#include "platform/user/combo_box.h"
#include "platform/user/edit.h"
#include "platform/user/list_box.h"
#include "tests/platform/user/window_test_support.h"
#include "tests/support/screen_picture.h"

using tvn::testing::ScreenPicture;

namespace {

constexpr COLORREF kPage = RGB(255, 255, 255);
constexpr COLORREF kFrame = RGB(0, 0, 0);

class ControlPictureTest : public WindowTest {
 protected:
  ControlPictureTest() {
    // The parent shows white around its children.
    std::lock_guard lock(parent->SurfaceLock());
    parent->GetSurface()->fill(Qt::white);
  }
  ScreenPicture Shot(const char* name) {
    PumpReady();
    ScreenPicture shot(*parent->GetWidget());
    shot.Keep(name);
    return shot;
  }
  // The rectangle of a child in the parent's client area.
  CRect Placed(CWnd& child) {
    CRect r;
    child.GetWindowRect(&r);
    parent->ScreenToClient(&r);
    return r;
  }
  static void Key(QWidget* target, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
  }

  std::unique_ptr<CRecordingWnd> parent = MakeWindow(CRect(0, 0, 400, 300));
};

QRect Q(const CRect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

}  // namespace

TEST_F(ControlPictureTest, TheDropDownShowsItsChoiceAndOpensItsListRightBelowTheField) {
  CComboBox combo;
  ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_HASSTRINGS | CBS_NOINTEGRALHEIGHT,
                           CRect(60, 90, 280, 250), parent.get(), 927));
  for (const char* s : {"SMALL", "MEDIUM", "LARGE"}) combo.AddString(s);
  EXPECT_EQ(combo.SelectString(0, "LA"), 2);
  const CRect field = Placed(combo);
  EXPECT_LT(field.Height(), 40);
  EXPECT_EQ(field.Width(), 220) << "the bar style is the list's: the field keeps its width";
  auto* qt = static_cast<QComboBox*>(combo.GetControlWidget());
  EXPECT_EQ(qt->geometry(), QRect(0, 0, 220, field.Height())) << "the control fills its window";

  ScreenPicture closed = Shot("drop_down_closed");
  const QRect text(field.left + 4, field.top + 3, 100, field.Height() - 6);
  const QRect arrow(field.right - 18, field.top + 3, 14, field.Height() - 6);
  EXPECT_GT(closed.Ink(text, kPage), 10) << "the choice's text";
  EXPECT_GT(closed.Ink(arrow, kPage), 4) << "the arrow";
  EXPECT_TRUE(closed.Near(field.left + 100, field.bottom + 10, kPage)) << "nothing below the field while closed";

  combo.ShowDropDown(TRUE);
  ASSERT_TRUE(combo.GetDroppedState());
  QWidget* popup = qt->view()->window();
  const QPoint fieldBottom = combo.GetWidget()->mapToGlobal(QPoint(0, field.Height()));
  EXPECT_LE(std::abs(popup->geometry().top() - fieldBottom.y()), 2);
  EXPECT_EQ(popup->geometry().left(), fieldBottom.x());
  EXPECT_EQ(popup->width(), 220);
  EXPECT_LE(std::abs(popup->height() - (160 - field.Height())), combo.GetItemHeight(0));
  ScreenPicture open(*popup);
  open.Keep("drop_down_open");
  auto row = [&](int i) {
    const QRect r = qt->view()->visualRect(qt->model()->index(i, 0));
    return QRect(qt->view()->viewport()->mapTo(popup, r.topLeft()), r.size());
  };
  EXPECT_TRUE(open.Near(0, popup->height() / 2, kFrame, 40)) << "a line round the list";
  EXPECT_TRUE(open.Near(popup->width() - 1, popup->height() - 1, kFrame, 40));
  const QColor highlight = qt->view()->palette().color(QPalette::Highlight);
  const COLORREF marked = RGB(highlight.red(), highlight.green(), highlight.blue());
  const QRect current = row(2);
  EXPECT_GT(open.Count(current, marked), current.width() * current.height() / 3) << "the current entry is highlighted";
  EXPECT_LT(open.Count(row(0), marked), row(0).width() * row(0).height() / 10);
  EXPECT_GT(open.Ink(row(0).adjusted(2, 1, -row(0).width() / 2, -1), kPage), 10) << "entries readable";

  Key(qt->view(), Qt::Key_Escape);
  EXPECT_FALSE(combo.GetDroppedState()) << "Escape closes the list";
  EXPECT_EQ(combo.GetCurSel(), 2);
  combo.ShowDropDown(TRUE);
  Key(qt->view(), Qt::Key_Up);
  Key(qt->view(), Qt::Key_Return);
  EXPECT_FALSE(combo.GetDroppedState()) << "a choice closes the list";
  EXPECT_EQ(combo.GetCurSel(), 1);
  EXPECT_EQ(qt->currentText(), "MEDIUM") << "and shows in the field";

  // More entries than the list holds: the window's bar style is the list's scroll bar.
  for (int i = 0; i < 12; ++i) combo.AddString("MORE");
  combo.ShowDropDown(TRUE);
  EXPECT_TRUE(qt->view()->verticalScrollBar()->isVisible());
  combo.ShowDropDown(FALSE);
}

TEST_F(ControlPictureTest, EveryControlDrawsTheFrameItsStylesAskInsideItsRectangle) {
  static constexpr COLORREF kBack = RGB(255, 250, 180);
  parent->hook = [](UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
    if (message < WM_CTLCOLOREDIT || message > WM_CTLCOLORSTATIC) return std::nullopt;
    reinterpret_cast<ControlColours*>(wParam)->background = kBack;
    return 1;
  };
  struct Made {
    const char* kind;
    std::unique_ptr<CChildControl> control;
  };
  auto make = [&](int kind, DWORD frame, DWORD exStyle, int row) -> Made {
    const CRect rect(10 + 95 * kind, 10 + 60 * row, 95 + 95 * kind, 50 + 60 * row);
    const DWORD style = WS_CHILD | WS_VISIBLE | frame;
    switch (kind) {
      case 0: {
        auto e = std::make_unique<CEdit>();
        EXPECT_TRUE(e->CreateEx(exStyle, CString(), style, rect, parent.get(), 1));
        return {"edit", std::move(e)};
      }
      case 1: {
        auto e = std::make_unique<CEdit>();
        EXPECT_TRUE(e->CreateEx(exStyle, CString(), style | ES_MULTILINE | WS_VSCROLL, rect, parent.get(), 2));
        return {"multi-line edit", std::move(e)};
      }
      case 2: {
        auto l = std::make_unique<CListBox>();
        EXPECT_TRUE(l->CreateEx(exStyle, CString(), style | WS_VSCROLL, rect, parent.get(), 3));
        return {"list box", std::move(l)};
      }
      default: {
        auto r = std::make_unique<CRichEditView>();
        r->SetBackgroundColor(kBack);
        EXPECT_TRUE(r->CreateEx(exStyle, CString(), style | ES_MULTILINE, rect, parent.get(), 4));
        return {"rich edit", std::move(r)};
      }
    }
  };
  std::vector<Made> bordered, bare, edged;
  for (int kind = 0; kind < 4; ++kind) {
    bordered.push_back(make(kind, WS_BORDER, 0, 0));
    bare.push_back(make(kind, 0, 0, 1));
    edged.push_back(make(kind, WS_BORDER, WS_EX_CLIENTEDGE, 2));
  }
  // A drop-down keeps its field's face inside the frame.
  CComboBox combo;
  ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | CBS_DROPDOWNLIST, CRect(10, 190, 200, 290), parent.get(), 5));
  ScreenPicture shot = Shot("frames");
  const CRect field = Placed(combo);
  EXPECT_EQ(combo.GetControlWidget()->geometry(), Q(CRect(1, 1, 189, field.Height() - 1)));
  for (CPoint edge : {CPoint(10, field.top + 10), CPoint(199, field.top + 10), CPoint(100, field.top), CPoint(100, field.bottom - 1)})
    EXPECT_TRUE(shot.Near(edge.x, edge.y, kFrame, 40)) << "drop-down edge at " << edge.x << "," << edge.y;
  for (const Made& m : bordered) {
    const CRect r = Placed(*m.control);
    const int midY = (r.top + r.bottom) / 2;
    for (CPoint edge : {CPoint(r.left, midY), CPoint(r.right - 1, midY), CPoint(r.left + 30, r.top), CPoint(r.left + 30, r.bottom - 1)})
      EXPECT_TRUE(shot.Near(edge.x, edge.y, kFrame, 40)) << m.kind << " edge at " << edge.x << "," << edge.y;
    EXPECT_TRUE(shot.Near(r.left + 1, midY, kBack)) << m.kind << ": the text area starts inside the frame";
    EXPECT_TRUE(shot.Near(r.left - 1, midY, kPage)) << m.kind << ": the frame is inside the rectangle";
    EXPECT_EQ(m.control->GetControlWidget()->geometry(), Q(CRect(1, 1, r.Width() - 1, r.Height() - 1))) << m.kind;
  }
  for (const Made& m : bare) {
    const CRect r = Placed(*m.control);
    const int midY = (r.top + r.bottom) / 2;
    EXPECT_TRUE(shot.Near(r.left, midY, kBack)) << m.kind << ": no frame, the background to the edge";
    EXPECT_TRUE(shot.Near(r.left + 30, r.top, kBack)) << m.kind;
  }
  for (const Made& m : edged) {
    const CRect r = Placed(*m.control);
    const int midY = (r.top + r.bottom) / 2;
    EXPECT_TRUE(shot.Near(r.left + 1, midY, GetSysColor(COLOR_BTNSHADOW), 40)) << m.kind << ": the sunken edge";
    EXPECT_TRUE(shot.Near(r.left + 3, midY, kBack)) << m.kind;
    EXPECT_EQ(m.control->GetControlWidget()->geometry().topLeft(), QPoint(3, 3)) << m.kind;
  }
}

TEST_F(ControlPictureTest, ListBoxRowsAndTheMarksOfCheckAndRadioButtons) {
  CListBox list;
  ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL, CRect(10, 10, 150, 150), parent.get(), 928));
  for (const char* s : {"Red", "Green", "Blue"}) list.AddString(s);
  list.SetCurSel(1);
  CButton check, checked, radio, chosen;
  ASSERT_TRUE(check.Create("Check", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, CRect(200, 10, 330, 34), parent.get(), 11));
  ASSERT_TRUE(checked.Create("Check", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, CRect(200, 40, 330, 64), parent.get(), 12));
  ASSERT_TRUE(radio.Create("Radio", WS_CHILD | WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON, CRect(200, 80, 330, 104),
                           parent.get(), 13));
  ASSERT_TRUE(chosen.Create("Radio", WS_CHILD | WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON, CRect(200, 110, 330, 134),
                            parent.get(), 14));
  checked.SetCheck(BST_CHECKED);
  chosen.SetCheck(BST_CHECKED);
  ScreenPicture shot = Shot("list_and_buttons");

  const int item = list.GetItemHeight(0);
  const QRect rows(11, 11, 138, 3 * item);
  auto rowRect = [&](int i) { return QRect(rows.left(), rows.top() + i * item, rows.width(), item); };
  const QColor hl = list.GetControlWidget()->palette().color(QPalette::Highlight);
  const COLORREF highlight = RGB(hl.red(), hl.green(), hl.blue());
  EXPECT_GT(shot.Count(rowRect(1), highlight), rowRect(1).width() * item / 3) << "the chosen row is highlighted";
  EXPECT_GT(shot.Ink(rowRect(0).adjusted(0, 0, -80, 0), kPage), 10) << "the first row's text";
  EXPECT_TRUE(shot.Near(80, 10 + 3 * item + 20, kPage)) << "no rows below the entries, and no bar without need";
  EXPECT_TRUE(shot.Near(147, 140, kPage));

  // The mark is where on and off differ: at the left, never over the label.
  auto differ = [&](const QRect& area, int dy) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
      for (int x = area.left(); x <= area.right(); ++x) n += shot.At(x, y) != shot.At(x, y + dy) ? 1 : 0;
    return n;
  };
  for (int top : {10, 80}) {
    EXPECT_GT(differ(QRect(200, top, 24, 24), 30), 4) << "the mark of the button at " << top;
    EXPECT_EQ(differ(QRect(240, top, 90, 24), 30), 0) << "the label of the button at " << top;
    // Dark text on the button's light face.
    const QRect label(226, top, 100, 24);
    const int dark = shot.Count(label, RGB(0, 0, 0), 100);
    EXPECT_GT(dark, 10) << "the label's text at " << top;
    EXPECT_LT(dark, label.width() * label.height() / 3) << "the label's face at " << top;
  }
}
