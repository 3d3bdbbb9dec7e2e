// Window objects: creation, destruction, geometry, visibility and the surface.
#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>
#include <thread>

#include "platform/user/menu.h"
#include "tests/platform/user/window_test_support.h"

class WndTest : public WindowTest {};

namespace {

// Fails creation from WM_CREATE, as a window whose set-up fails does.
class CFailingWnd : public CWnd {
 protected:
  int OnCreate(const CREATESTRUCT&) override { return -1; }
};

// Deletes itself when its window is gone, as frames do.
class CSelfDeletingWnd : public CWnd {
 public:
  explicit CSelfDeletingWnd(bool* deleted) : m_deleted(deleted) {}
  ~CSelfDeletingWnd() override { *m_deleted = true; }

 protected:
  void PostNcDestroy() override { delete this; }

 private:
  bool* m_deleted;
};

// Keeps what the message being handled looked like from inside its handler.
class CKeyReadingWnd : public CWnd {
 public:
  MSG seen{};

 protected:
  void OnKeyDown(UINT, UINT, UINT) override { seen = GetCurrentMessage(); }
};

}  // namespace

TEST_F(WndTest, AHandlerSeesTheMessageItIsHandling) {
  auto parent = MakeWindow();
  CKeyReadingWnd child;
  ASSERT_TRUE(child.CreateEx(0, CString(), WS_CHILD | WS_VISIBLE, CRect(0, 0, 20, 20), parent.get(), 5));
  child.SendMessage(WM_KEYDOWN, 'A', 0x001E0001);
  EXPECT_EQ(child.seen.message, WM_KEYDOWN);
  EXPECT_EQ(child.seen.wParam, static_cast<WPARAM>('A'));
  EXPECT_EQ(child.seen.lParam, 0x001E0001);
  child.DestroyWindow();
}

TEST_F(WndTest, CreationSendsCreateThenSizeAndPreCreateCanChangeTheStyle) {
  struct CStyledWnd : CRecordingWnd {
    BOOL PreCreateWindow(CREATESTRUCT& cs) override {
      cs.style |= WS_CLIPCHILDREN;
      cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
      return TRUE;
    }
  } wnd;
  ASSERT_TRUE(wnd.CreateEx(WS_EX_CLIENTEDGE, "Title", WS_OVERLAPPEDWINDOW, CRect(0, 0, 200, 100), nullptr, 0));
  ASSERT_GE(wnd.received.size(), 2u);
  EXPECT_EQ(wnd.received[0].message, static_cast<UINT>(WM_CREATE));
  EXPECT_EQ(wnd.received[1].message, static_cast<UINT>(WM_SIZE));
  EXPECT_EQ(wnd.received[1].lParam, MAKELPARAM(200, 100));
  EXPECT_TRUE(wnd.GetStyle() & WS_CLIPCHILDREN);
  EXPECT_FALSE(wnd.GetExStyle() & WS_EX_CLIENTEDGE);
  EXPECT_FALSE(wnd.IsWindowVisible());
  EXPECT_EQ(wnd.GetWindowText(), "Title");

  CFailingWnd failing;
  EXPECT_FALSE(failing.Create("x", 0, CRect(0, 0, 10, 10), nullptr));
  EXPECT_EQ(failing.m_hWnd, nullptr);
}

TEST_F(WndTest, DestroyingAParentDestroysChildrenAndFreesSelfDeletingWindows) {
  std::vector<RecordedMessage> log;
  auto parent = std::make_unique<CRecordingWnd>(&log);
  ASSERT_TRUE(parent->Create("p", WS_VISIBLE, CRect(0, 0, 100, 100), nullptr));
  CRecordingWnd child(&log);
  ASSERT_TRUE(child.Create("c", WS_CHILD, CRect(0, 0, 10, 10), parent.get(), 7));
  bool deleted = false;
  auto* self = new CSelfDeletingWnd(&deleted);
  ASSERT_TRUE(self->Create("s", WS_CHILD, CRect(0, 0, 10, 10), parent.get()));
  EXPECT_EQ(parent->GetDlgItem(7), &child);
  EXPECT_EQ(parent->GetWindow(GW_CHILD), &child);
  EXPECT_EQ(child.GetWindow(GW_HWNDNEXT), self);
  EXPECT_TRUE(parent->IsChild(&child));
  HWND parentHandle = parent->m_hWnd;
  HWND childHandle = child.m_hWnd;
  log.clear();
  parent->PostMessage(WM_CLOSE);  // the default closing destroys the window
  PumpReady();
  EXPECT_EQ(parent->m_hWnd, nullptr);
  EXPECT_EQ(child.m_hWnd, nullptr);
  EXPECT_TRUE(deleted);
  std::vector<std::pair<HWND, UINT>> destroys;
  for (const auto& r : log)
    if (r.message == WM_DESTROY) destroys.emplace_back(r.hwnd, r.message);
  // The parent hears of it first, then its children (the self-deleting one records nothing).
  EXPECT_EQ(destroys, (std::vector<std::pair<HWND, UINT>>{{parentHandle, WM_DESTROY}, {childHandle, WM_DESTROY}}));
}

TEST_F(WndTest, ChildGeometryAndScreenCoordinates) {
  auto top = MakeWindow(CRect(100, 50, 500, 350));
  CRecordingWnd child;
  ASSERT_TRUE(child.Create("c", WS_CHILD | WS_VISIBLE, CRect(80, 60, 720, 540), top.get()));
  CRect client;
  child.GetClientRect(&client);
  EXPECT_EQ(client, CRect(0, 0, 640, 480));
  CPoint p(1, 2);
  child.ClientToScreen(&p);
  EXPECT_EQ(p, CPoint(181, 112));
  child.ScreenToClient(&p);
  EXPECT_EQ(p, CPoint(1, 2));
  CRect window;
  child.GetWindowRect(&window);
  EXPECT_EQ(window, CRect(180, 110, 820, 590));
  child.received.clear();
  child.MoveWindow(0, 0, 800, 600);
  ASSERT_EQ(child.Messages(WM_SIZE).size(), 1u);
  EXPECT_EQ(child.Messages(WM_SIZE)[0].lParam, MAKELPARAM(800, 600));
  ASSERT_NE(child.GetSurface(), nullptr);
  EXPECT_EQ(child.GetSurface()->size(), QSize(800, 600));
  EXPECT_EQ(child.GetWidget()->geometry(), QRect(0, 0, 800, 600));
  // Same size again: no WM_SIZE.
  child.MoveWindow(5, 5, 800, 600);
  EXPECT_EQ(child.Messages(WM_SIZE).size(), 1u);
}

TEST_F(WndTest, AMenuBarTakesItsHeightFromTheClientArea) {
  auto top = MakeWindow(CRect(0, 0, 400, 300));
  CMenu menu;
  menu.CreateMenu();
  menu.AppendMenu(MF_STRING, 100, "&Exit");
  top->received.clear();
  ASSERT_TRUE(top->SetMenu(&menu));
  CRect client;
  top->GetClientRect(&client);
  EXPECT_EQ(client.Width(), 400);
  EXPECT_LT(client.Height(), 300);
  EXPECT_GT(client.Height(), 200);
  EXPECT_EQ(top->Messages(WM_SIZE).size(), 1u);
  CPoint origin(0, 0);
  top->ClientToScreen(&origin);
  EXPECT_EQ(origin, CPoint(0, 300 - client.Height()));
  top->SetMenu(static_cast<HMENU>(nullptr));
  top->GetClientRect(&client);
  EXPECT_EQ(client.Height(), 300);
}

TEST_F(WndTest, ShowingInvalidatesAndVisibilityFollowsTheParent) {
  CRecordingWnd top;
  ASSERT_TRUE(top.Create("t", WS_OVERLAPPEDWINDOW, CRect(0, 0, 100, 100), nullptr));
  CRecordingWnd child;
  ASSERT_TRUE(child.Create("c", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &top));
  EXPECT_FALSE(child.IsWindowVisible());
  EXPECT_FALSE(top.ShowWindow(SW_SHOW));
  EXPECT_TRUE(top.IsWindowVisible());
  EXPECT_TRUE(child.IsWindowVisible());
  EXPECT_TRUE(top.GetWidget()->window()->isVisible());
  ASSERT_EQ(top.Messages(WM_SHOWWINDOW).size(), 1u);
  PumpReady();
  EXPECT_EQ(top.Messages(WM_PAINT).size(), 1u);
  EXPECT_TRUE(top.ShowWindow(SW_HIDE));
  EXPECT_FALSE(child.IsWindowVisible());
  EXPECT_FALSE(top.EnableWindow(FALSE));
  EXPECT_FALSE(top.IsWindowEnabled());
  EXPECT_TRUE(top.EnableWindow(TRUE));
}

TEST_F(WndTest, AFocusedChildHidingOrGoingHandsTheFocusToItsParent) {
  auto top = MakeWindow();
  CRecordingWnd page;
  ASSERT_TRUE(page.Create("page", WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 200), top.get()));
  auto focusOn = [&](CWnd& wnd) {
    wnd.SetFocus();
    page.received.clear();
  };
  auto pageTookIt = [&](const char* how) {
    EXPECT_EQ(CWnd::GetFocus(), &page) << how;
    EXPECT_EQ(page.Messages(WM_SETFOCUS).size(), 1u) << how;
    EXPECT_EQ(top->GetWidget()->window()->focusWidget(), page.GetWidget()) << how << ": real keys reach the page too";
  };
  {
    CRecordingWnd control;
    ASSERT_TRUE(control.Create("c", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &page));
    focusOn(control);
    control.ShowWindow(SW_HIDE);
    pageTookIt("hidden");
    focusOn(control);
    control.ShowWindow(SW_HIDE);
    EXPECT_EQ(CWnd::GetFocus(), &control) << "hiding a window already hidden moves nothing";
    control.ShowWindow(SW_SHOW);
    focusOn(control);
    control.DestroyWindow();
    pageTookIt("destroyed");
  }
  {
    CRecordingWnd box;
    ASSERT_TRUE(box.Create("box", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 50), &page));
    CRecordingWnd inner;
    ASSERT_TRUE(inner.Create("inner", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &box));
    focusOn(inner);
    box.DestroyWindow();
    pageTookIt("a window holding the focus destroyed");
  }
  {
    // The parent hands the focus it gets to its child, as a frame gives it to its active view.
    CRecordingWnd view;
    ASSERT_TRUE(view.Create("view", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 50), &page));
    page.hook = [&](UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
      if (message == WM_SETFOCUS && view.GetSafeHwnd()) view.SetFocus();
      return std::nullopt;
    };
    focusOn(view);
    view.DestroyWindow();
    page.hook = nullptr;
    EXPECT_EQ(CWnd::GetFocus(), &page) << "handed back to the window going";
  }
  // A window going with its parent does not hand the focus to the parent on its way out.
  CRecordingWnd control;
  ASSERT_TRUE(control.Create("c", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &page));
  focusOn(control);
  top->DestroyWindow();
  EXPECT_EQ(CWnd::GetFocus(), nullptr);
  EXPECT_TRUE(page.Messages(WM_SETFOCUS).empty());
}

TEST_F(WndTest, DefaultPaintValidatesAndShowsTheSurface) {
  auto wnd = MakeWindow(CRect(0, 0, 64, 48));
  PumpReady();
  // Drawing code paints into the surface and reports the area.
  wnd->hook = [&](UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (message != WM_PAINT) return std::nullopt;
    PAINTSTRUCT ps = wnd->BeginPaint();
    wnd->GetSurface()->fill(QColor(255, 0, 0));
    wnd->EndPaint(ps.rcPaint);
    return 0;
  };
  wnd->Invalidate();
  wnd->UpdateWindow();
  EXPECT_FALSE(wnd->GetUpdateRect(nullptr));
  EXPECT_EQ(wnd->GetSurface()->pixel(10, 10), qRgb(255, 0, 0));
  QImage shown = wnd->GetWidget()->grab().toImage();
  EXPECT_EQ(QColor(shown.pixel(10, 10)), QColor(255, 0, 0));
}

TEST_F(WndTest, SurfaceChangesFromAHelperThreadReachTheScreenOnTheLoopThread) {
  auto wnd = MakeWindow(CRect(0, 0, 64, 48));
  PumpReady();
  wnd->received.clear();
  CRecordingWnd* target = wnd.get();
  std::thread helper([target] {
    std::lock_guard lock(target->SurfaceLock());
    target->GetSurface()->fill(QColor(0, 0, 255));
    CRect area(0, 0, 64, 48);
    target->SurfaceChanged(&area);
    target->InvalidateRect(&area, FALSE);
    EXPECT_EQ(target->SetTimer(5, 10), 0u);  // timers belong to the loop's thread
  });
  helper.join();
  PumpReady();
  QImage shown = wnd->GetWidget()->grab().toImage();
  EXPECT_EQ(QColor(shown.pixel(5, 5)), QColor(0, 0, 255));
  EXPECT_EQ(wnd->Messages(WM_PAINT).size(), 1u);  // the invalidation came through
}

TEST_F(WndTest, SetWindowPosPlacesAndAppliesFrameStyles) {
  auto top = MakeWindow(CRect(0, 0, 300, 200));
  top->SetWindowPos(HWND_TOP, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  CRect r;
  top->GetWindowRect(&r);
  EXPECT_EQ(r, CRect(10, 20, 310, 220));
  top->SetWindowPos(HWND_TOP, 0, 0, 640, 480, SWP_NOMOVE | SWP_NOZORDER);
  top->GetWindowRect(&r);
  EXPECT_EQ(r, CRect(10, 20, 650, 500));

  QWidget* shell = top->GetWidget()->window();
  top->ModifyStyle(WS_CAPTION | WS_THICKFRAME, 0);
  top->SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  EXPECT_TRUE(top->GetExStyle() & WS_EX_TOPMOST);
  EXPECT_TRUE(shell->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(shell->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(shell->isVisible());
  // Without a sizing border the user cannot resize it, but the program can.
  EXPECT_EQ(shell->minimumSize(), shell->maximumSize());
  top->MoveWindow(0, 0, 801, 601);
  EXPECT_EQ(shell->size(), QSize(801, 601));
  top->ModifyStyle(0, WS_CAPTION | WS_SYSMENU | WS_THICKFRAME);
  top->SetWindowPos(HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_FRAMECHANGED);
  EXPECT_FALSE(shell->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_FALSE(shell->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_NE(shell->minimumSize(), shell->maximumSize());
  top->SetWindowPos(HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_HIDEWINDOW);
  EXPECT_FALSE(top->IsWindowVisible());
}

TEST_F(WndTest, RedrawWindowPaintsAtOnceAndReachesChildren) {
  auto top = MakeWindow(CRect(0, 0, 100, 100));
  CRecordingWnd child;
  ASSERT_TRUE(child.Create("c", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), top.get()));
  PumpReady();
  top->received.clear();
  child.received.clear();
  top->RedrawWindow(nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  EXPECT_EQ(top->Messages(WM_PAINT).size(), 1u);
  EXPECT_EQ(child.Messages(WM_PAINT).size(), 1u);
  EXPECT_EQ(PumpReady(), 0);
  top->RedrawWindow(nullptr, RDW_INVALIDATE);
  EXPECT_TRUE(top->GetUpdateRect(nullptr));
  EXPECT_FALSE(child.GetUpdateRect(nullptr));
}

TEST_F(WndTest, WindowsAtPointsAndTheTabOrder) {
  auto top = MakeWindow(CRect(1000, 1000, 1300, 1200));
  CRecordingWnd a, b, c, d;
  ASSERT_TRUE(a.Create("a", WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(0, 0, 50, 50), top.get()));
  ASSERT_TRUE(b.Create("b", WS_CHILD | WS_VISIBLE, CRect(60, 0, 110, 50), top.get()));
  ASSERT_TRUE(c.Create("c", WS_CHILD | WS_TABSTOP, CRect(120, 0, 170, 50), top.get()));
  ASSERT_TRUE(d.Create("d", WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(0, 0, 20, 20), top.get()));
  EXPECT_EQ(CWnd::WindowFromPoint(CPoint(1005, 1005)), &d);  // made last: on top
  EXPECT_EQ(CWnd::WindowFromPoint(CPoint(1030, 1030)), &a);
  EXPECT_EQ(CWnd::WindowFromPoint(CPoint(1130, 1010)), top.get());  // c is hidden
  EXPECT_EQ(CWnd::WindowFromPoint(CPoint(5, 5)), nullptr);
  EXPECT_EQ(top->ChildWindowFromPoint(CPoint(70, 10)), &b);
  EXPECT_EQ(top->ChildWindowFromPoint(CPoint(-1, 10)), nullptr);
  EXPECT_EQ(top->GetNextDlgTabItem(&a), &d);
  EXPECT_EQ(top->GetNextDlgTabItem(&d), &a);
  EXPECT_EQ(top->GetNextDlgTabItem(&a, TRUE), &d);
  EXPECT_EQ(top->GetNextDlgTabItem(nullptr), &a);
  d.EnableWindow(FALSE);
  EXPECT_EQ(top->GetNextDlgTabItem(&a), &a);
  EXPECT_EQ(b.GetNextDlgTabItem(nullptr), nullptr);
}
