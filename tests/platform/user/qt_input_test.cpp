// Qt input injected into real widgets arrives as Windows messages.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QFocusEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

#include "platform/user/qt_input.h"
#include "tests/platform/user/window_test_support.h"

namespace {

void SendMouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
               Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QPointF local(at);
  QMouseEvent event(type, local, w->mapToGlobal(local), button, held, mods);
  QApplication::sendEvent(w, &event);
}

void SendKey(QWidget* w, QEvent::Type type, int key, Qt::KeyboardModifiers mods, const QString& text = QString(),
             bool autoRepeat = false) {
  QKeyEvent event(type, key, mods, text, autoRepeat);
  QApplication::sendEvent(w, &event);
}

}  // namespace

class QtInputTest : public WindowTest {
 protected:
  void SetUp() override {
    wnd = MakeWindow(CRect(100, 100, 420, 340), CS_DBLCLKS);
    PumpReady();
    wnd->received.clear();
  }
  QWidget* Widget() { return wnd->GetWidget(); }
  std::vector<RecordedMessage> Input() {
    std::vector<RecordedMessage> out;
    for (const auto& r : wnd->received)
      if ((r.message >= WM_KEYFIRST && r.message <= WM_KEYLAST) || (r.message >= WM_MOUSEFIRST && r.message <= WM_MOUSELAST))
        out.push_back(r);
    return out;
  }
  std::unique_ptr<CRecordingWnd> wnd;
};

TEST_F(QtInputTest, ButtonsBecomeMouseMessagesWithFlagsAndClientPoint) {
  ASSERT_NE(Widget(), nullptr);
  SendMouse(Widget(), QEvent::MouseButtonPress, {30, 40}, Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
  SendMouse(Widget(), QEvent::MouseButtonRelease, {31, 41}, Qt::LeftButton, Qt::NoButton);
  SendMouse(Widget(), QEvent::MouseButtonPress, {5, 6}, Qt::RightButton, Qt::RightButton | Qt::LeftButton);
  SendMouse(Widget(), QEvent::MouseButtonRelease, {5, 6}, Qt::RightButton, Qt::LeftButton, Qt::ControlModifier);
  PumpReady();
  auto in = Input();
  ASSERT_EQ(in.size(), 4u);
  EXPECT_EQ(in[0].message, 513u);
  EXPECT_EQ(in[0].wParam, MK_LBUTTON | MK_SHIFT);
  EXPECT_EQ(PointFromLParam(in[0].lParam), CPoint(30, 40));
  EXPECT_EQ(in[1].message, 514u);
  EXPECT_EQ(in[1].wParam, 0u);
  EXPECT_EQ(in[2].message, 516u);
  EXPECT_EQ(in[2].wParam, MK_RBUTTON | MK_LBUTTON);
  // The released button is no longer held; the view adds MK_RBUTTON itself.
  EXPECT_EQ(in[3].message, 517u);
  EXPECT_EQ(in[3].wParam, MK_LBUTTON | MK_CONTROL);
  EXPECT_EQ(in[3].wParam | MK_RBUTTON, MK_LBUTTON | MK_RBUTTON | MK_CONTROL);
}

TEST_F(QtInputTest, DoubleClicksNeedTheClassStyleAndCursorIsAskedFirst) {
  SendMouse(Widget(), QEvent::MouseButtonDblClick, {1, 2}, Qt::LeftButton, Qt::LeftButton);
  PumpReady();
  ASSERT_GE(wnd->received.size(), 2u);
  EXPECT_EQ(wnd->received[0].message, static_cast<UINT>(WM_SETCURSOR));
  EXPECT_EQ(HIWORD(static_cast<std::uintptr_t>(wnd->received[0].lParam)), WM_LBUTTONDBLCLK);
  EXPECT_EQ(LOWORD(static_cast<std::uintptr_t>(wnd->received[0].lParam)), HTCLIENT);
  EXPECT_EQ(wnd->received[1].message, static_cast<UINT>(WM_LBUTTONDBLCLK));

  auto plain = MakeWindow(CRect(0, 0, 50, 50), 0);
  PumpReady();
  plain->received.clear();
  SendMouse(plain->GetWidget(), QEvent::MouseButtonDblClick, {1, 2}, Qt::LeftButton, Qt::LeftButton);
  PumpReady();
  EXPECT_EQ(plain->Messages(WM_LBUTTONDBLCLK).size(), 0u);
  EXPECT_EQ(plain->Messages(WM_LBUTTONDOWN).size(), 1u);
}

TEST_F(QtInputTest, CaptureSendsAllMouseInputToTheCapturingWindowInItsCoordinates) {
  CRecordingWnd child;
  ASSERT_TRUE(child.Create("child", WS_CHILD | WS_VISIBLE, CRect(50, 60, 150, 160), wnd.get()));
  child.SetCapture();
  EXPECT_EQ(CWnd::GetCapture(), &child);
  SendMouse(Widget(), QEvent::MouseMove, {10, 20}, Qt::NoButton, Qt::NoButton);
  PumpReady();
  ASSERT_EQ(child.Messages(WM_MOUSEMOVE).size(), 1u);
  EXPECT_EQ(PointFromLParam(child.Messages(WM_MOUSEMOVE)[0].lParam), CPoint(-40, -40));
  EXPECT_TRUE(wnd->Messages(WM_MOUSEMOVE).empty());
  ReleaseCapture();
  SendMouse(Widget(), QEvent::MouseMove, {10, 20}, Qt::NoButton, Qt::NoButton);
  PumpReady();
  EXPECT_EQ(wnd->Messages(WM_MOUSEMOVE).size(), 1u);
  // The cursor position is kept in screen coordinates.
  CPoint pos;
  ASSERT_TRUE(GetCursorPos(&pos));
  CPoint expected(10, 20);
  wnd->ClientToScreen(&expected);
  EXPECT_EQ(pos, expected);
}

TEST_F(QtInputTest, KeypadSevenIsNumpadKeyAndTypesTheDigit) {
  SendKey(Widget(), QEvent::KeyPress, Qt::Key_7, Qt::KeypadModifier, "7");
  SendKey(Widget(), QEvent::KeyRelease, Qt::Key_7, Qt::KeypadModifier, "7");
  PumpReady();
  auto in = Input();
  ASSERT_EQ(in.size(), 3u);
  EXPECT_EQ(in[0].message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(in[0].wParam, 103u);
  EXPECT_EQ(KeypadDigitAsCharacter(static_cast<UINT>(in[0].wParam)), 55u);
  EXPECT_EQ(in[1].message, static_cast<UINT>(WM_CHAR));
  EXPECT_EQ(in[1].wParam, 55u);
  EXPECT_EQ(in[2].message, static_cast<UINT>(WM_KEYUP));
  EXPECT_TRUE(in[2].lParam & KF_UP_BIT);
  EXPECT_TRUE(in[2].lParam & KF_REPEAT_BIT);
  EXPECT_EQ(KeypadDigitAsCharacter(VK_F5), VK_F5);
}

TEST_F(QtInputTest, SystemKeysF10AltAndAltGr) {
  SendKey(Widget(), QEvent::KeyPress, Qt::Key_F10, Qt::NoModifier);
  SendKey(Widget(), QEvent::KeyPress, Qt::Key_Alt, Qt::NoModifier);
  SendKey(Widget(), QEvent::KeyPress, Qt::Key_A, Qt::AltModifier, "a");
  SendKey(Widget(), QEvent::KeyPress, Qt::Key_Q, Qt::AltModifier | Qt::ControlModifier, "@");
  PumpReady();
  auto in = Input();
  ASSERT_EQ(in.size(), 6u);
  EXPECT_EQ(in[0].message, static_cast<UINT>(WM_SYSKEYDOWN));
  EXPECT_EQ(in[0].wParam, VK_F10);
  EXPECT_EQ(in[1].message, static_cast<UINT>(WM_SYSKEYDOWN));
  EXPECT_EQ(in[1].wParam, VK_MENU);
  EXPECT_EQ(in[2].message, static_cast<UINT>(WM_SYSKEYDOWN));
  EXPECT_EQ(in[2].wParam, static_cast<WPARAM>('A'));
  EXPECT_TRUE(in[2].lParam & KF_ALTDOWN_BIT);
  EXPECT_EQ(in[3].message, static_cast<UINT>(WM_SYSCHAR));
  EXPECT_EQ(in[4].message, static_cast<UINT>(WM_KEYDOWN));  // AltGr combination
  EXPECT_EQ(in[5].message, static_cast<UINT>(WM_CHAR));
  EXPECT_EQ(in[5].wParam, static_cast<WPARAM>('@'));
}

TEST_F(QtInputTest, KeysGoToTheFocusWindowAndKeepTheKeyState) {
  CRecordingWnd child;
  ASSERT_TRUE(child.Create("child", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), wnd.get()));
  child.SetFocus();
  SendKey(Widget(), QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
  SendKey(Widget(), QEvent::KeyPress, Qt::Key_Escape, Qt::ControlModifier, "\x1b");
  PumpReady();
  EXPECT_LT(GetKeyState(VK_CONTROL), 0);
  EXPECT_LT(GetKeyState(VK_ESCAPE), 0);
  ASSERT_EQ(child.Messages(WM_KEYDOWN).size(), 2u);
  EXPECT_EQ(child.Messages(WM_KEYDOWN)[1].wParam, VK_ESCAPE);
  EXPECT_EQ(child.Messages(WM_CHAR).size(), 1u);
  SendKey(Widget(), QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
  SendKey(Widget(), QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, "\x1b");
  SendKey(Widget(), QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, "\x1b", true);
  PumpReady();
  EXPECT_GE(GetKeyState(VK_CONTROL), 0);
  auto downs = child.Messages(WM_KEYDOWN);
  ASSERT_EQ(downs.size(), 4u);
  EXPECT_FALSE(downs[2].lParam & KF_REPEAT_BIT);  // first press after the release
  EXPECT_TRUE(downs[3].lParam & KF_REPEAT_BIT);   // held down
}

TEST(VirtualKeys, QtKeysMapToWindowsCodes) {
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_A, Qt::NoModifier), 0x41u);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_7, Qt::NoModifier), 0x37u);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Exclam, Qt::ShiftModifier), 0x31u);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_F1, Qt::NoModifier), VK_F1);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_F12, Qt::NoModifier), VK_F1 + 11);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Home, Qt::KeypadModifier), VK_HOME);  // keypad without Num Lock
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_0, Qt::KeypadModifier), VK_NUMPAD0);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_9, Qt::KeypadModifier), VK_NUMPAD9);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Plus, Qt::KeypadModifier), VK_ADD);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Plus, Qt::ShiftModifier), VK_OEM_PLUS);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Asterisk, Qt::KeypadModifier), VK_MULTIPLY);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Slash, Qt::KeypadModifier), VK_DIVIDE);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Period, Qt::KeypadModifier), VK_DECIMAL);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Enter, Qt::KeypadModifier), VK_RETURN);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_BracketLeft, Qt::NoModifier), VK_OEM_4);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Escape, Qt::NoModifier), VK_ESCAPE);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_unknown, Qt::NoModifier), 0u);
  EXPECT_TRUE(IsExtendedKey(Qt::Key_Left, Qt::NoModifier));
  EXPECT_FALSE(IsExtendedKey(Qt::Key_Left, Qt::KeypadModifier));
  EXPECT_TRUE(IsExtendedKey(Qt::Key_Enter, Qt::KeypadModifier));
  EXPECT_EQ(MouseButtonMessage(QEvent::MouseButtonRelease, Qt::MiddleButton, true), static_cast<UINT>(WM_MBUTTONUP));
  EXPECT_EQ(MouseButtonMessage(QEvent::MouseButtonPress, Qt::BackButton, true), 0u);
}

TEST_F(QtInputTest, WheelGoesToTheFocusWindowWithItsDeltaAndScreenPoint) {
  auto sendWheel = [](QWidget* w, QPointF local, int delta) {
    QWheelEvent wheel(local, w->mapToGlobal(local), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::ShiftModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &wheel);
  };
  sendWheel(Widget(), QPointF(7, 8), -120);
  PumpReady();
  auto wheels = wnd->Messages(WM_MOUSEWHEEL);
  ASSERT_EQ(wheels.size(), 1u);
  EXPECT_EQ(static_cast<SHORT>(HIWORD(wheels[0].wParam)), -120);
  EXPECT_EQ(LOWORD(wheels[0].wParam), MK_SHIFT);
  CPoint screen(7, 8);
  wnd->ClientToScreen(&screen);
  EXPECT_EQ(PointFromLParam(wheels[0].lParam), screen);

  // The window under the pointer is asked first; one that does not scroll
  // with the wheel passes it on to the focus window.
  CRecordingWnd child;
  ASSERT_TRUE(child.Create("child", WS_CHILD | WS_VISIBLE, CRect(20, 20, 60, 60), wnd.get()));
  wnd->SetFocus();
  sendWheel(child.GetWidget(), QPointF(3, 4), 240);
  PumpReady();
  ASSERT_EQ(child.Messages(WM_QTWHEEL).size(), 1u);
  EXPECT_TRUE(child.Messages(WM_MOUSEWHEEL).empty());
  wheels = wnd->Messages(WM_MOUSEWHEEL);
  ASSERT_EQ(wheels.size(), 2u);
  EXPECT_EQ(static_cast<SHORT>(HIWORD(wheels[1].wParam)), 240);
  screen = CPoint(3, 4);
  child.ClientToScreen(&screen);
  EXPECT_EQ(PointFromLParam(wheels[1].lParam), screen);
}

TEST_F(QtInputTest, QtFocusByTheUserMovesTheFocusButActivationKeepsIt) {
  CRecordingWnd child;
  ASSERT_TRUE(child.Create("child", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), wnd.get()));
  wnd->SetFocus();
  QFocusEvent click(QEvent::FocusIn, Qt::MouseFocusReason);
  QApplication::sendEvent(child.GetWidget(), &click);
  EXPECT_EQ(CWnd::GetFocus(), wnd.get());  // handled from the queue
  PumpReady();
  EXPECT_EQ(CWnd::GetFocus(), &child);
  EXPECT_EQ(child.Messages(WM_SETFOCUS).size(), 1u);
  QFocusEvent activation(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
  QApplication::sendEvent(Widget(), &activation);
  PumpReady();
  EXPECT_EQ(CWnd::GetFocus(), &child);
  EXPECT_EQ(child.Messages(WM_KILLFOCUS).size(), 0u);
}

TEST_F(QtInputTest, DefaultHandlingOfRightClicksAndAltF4) {
  CRecordingWnd child;
  ASSERT_TRUE(child.Create("child", WS_CHILD | WS_VISIBLE, CRect(10, 10, 60, 60), wnd.get()));
  SendMouse(child.GetWidget(), QEvent::MouseButtonRelease, {3, 4}, Qt::RightButton, Qt::NoButton);
  PumpReady();
  // The child does not answer the context-menu request: its parent hears of it.
  auto menus = wnd->Messages(WM_CONTEXTMENU);
  ASSERT_EQ(menus.size(), 1u);
  EXPECT_EQ(reinterpret_cast<HWND>(menus[0].wParam), child.m_hWnd);
  CPoint at(3, 4);
  child.ClientToScreen(&at);
  EXPECT_EQ(PointFromLParam(menus[0].lParam), at);

  SendKey(Widget(), QEvent::KeyPress, Qt::Key_F4, Qt::AltModifier);
  PumpReady();
  EXPECT_EQ(wnd->Messages(WM_SYSCOMMAND).size(), 1u);
  EXPECT_EQ(wnd->m_hWnd, nullptr);  // closed by the default handling
}
