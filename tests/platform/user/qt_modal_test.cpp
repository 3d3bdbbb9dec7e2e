// Qt's modal windows keep the program running: under a real message box (and
// every other Qt dialog and the pop-up menu) the program's timers, posts,
// calls from other threads, paints and idle turns go on; the program closing
// ends them as cancelled.
#include "platform/user/qt_modal.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <thread>

#include "platform/user/gui_session.h"
#include "platform/user/mail_dialog.h"
#include "platform/user/menu.h"
#include "platform/user/qt_dialogs.h"
#include "tests/platform/user/window_test_support.h"

namespace {

using namespace std::chrono_literals;

// A loop that counts its idle turns (where the program animates its page).
class CIdleCountingLoop final : public CMessageLoop {
 public:
  using CMessageLoop::CMessageLoop;
  BOOL OnIdle(LONG count) override {
    ++turns;
    return count < 2 ? TRUE : FALSE;
  }
  int turns = 0;
};

class QtModalTest : public ::testing::Test {
 protected:
  QtModalTest() {
    EnsureQtApplication();
    auto counting = std::make_unique<CIdleCountingLoop>(clock);
    idle = counting.get();
    loop = std::move(counting);
    CGuiSession::Attach(*loop);
    loop->SetEventSource(std::make_unique<CClockDrivenSource>(clock));
    EXPECT_TRUE(wnd.CreateEx(0, "Page", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 200, 150), nullptr, 0));
    while (loop->PeekMessage(msg, nullptr, 0, 0, PM_REMOVE)) loop->DispatchMessage(msg);
  }
  ~QtModalTest() override { wnd.DestroyWindow(); }

  // Closes whatever Qt modal window is up once the condition holds, looking
  // every 10 ms; closes it anyway after a generous bound.
  void CloseWhen(std::function<bool()> done) {
    const auto started = std::chrono::steady_clock::now();
    closer.disconnect();
    QObject::connect(&closer, &QTimer::timeout, [this, done, started] {
      if (!done() && std::chrono::steady_clock::now() - started < 60s) return;
      closer.stop();
      if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
      else if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->reject();
    });
    closer.start(10);
  }
  size_t Timers() const { return wnd.Messages(WM_TIMER).size(); }

  CManualClock clock{1000};
  std::unique_ptr<CMessageLoop> loop;
  CIdleCountingLoop* idle = nullptr;
  CRecordingWnd wnd;
  QTimer closer;
  MSG msg{};
};

TEST_F(QtModalTest, UnderARealBoxTimersPostsCallsFromAnotherThreadAndPaintsGoOn) {
  wnd.SetTimer(7, 50);
  // What another thread sends while the box is up must be handled while it is.
  std::promise<void> boxShown;
  std::thread helper([this, shown = boxShown.get_future()]() mutable {
    if (shown.wait_for(60s) != std::future_status::ready) return;
    loop->PostMessage(wnd.m_hWnd, WM_USER + 9, 0, 0);
    loop->PostCall([this] { wnd.SendMessage(WM_USER + 10); });
  });
  bool postSeenUnderBox = false, callSeenUnderBox = false, paintUnderBox = false;
  wnd.hook = [&](UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
    const bool boxUp = QApplication::activeModalWidget() != nullptr;
    if (message == WM_USER + 9) postSeenUnderBox = boxUp;
    if (message == WM_USER + 10) callSeenUnderBox = boxUp;
    if (message == WM_PAINT && boxUp) paintUnderBox = true;
    return std::nullopt;
  };
  QTimer::singleShot(0, [&] {
    wnd.Invalidate();
    boxShown.set_value();
  });
  const int idleBefore = idle->turns;
  // The box goes once everything was seen under it, so a loaded machine cannot
  // close it first.
  CloseWhen([&] {
    return idle->turns - idleBefore >= 3 && Timers() >= 5u && postSeenUnderBox && callSeenUnderBox && paintUnderBox;
  });
  CQtDialogs dialogs;
  EXPECT_EQ(dialogs.MessageBox({&wnd, "Keep going", "Test", MB_OKCANCEL}), IDCANCEL);
  helper.join();
  EXPECT_GE(idle->turns - idleBefore, 3) << "idle turns (animation) go on as well";
  EXPECT_GE(Timers(), 5u);
  EXPECT_TRUE(postSeenUnderBox);
  EXPECT_TRUE(callSeenUnderBox);
  EXPECT_TRUE(paintUnderBox);
}

TEST_F(QtModalTest, EveryQtDialogAndThePopupMenuRunTheLoop) {
  wnd.SetTimer(7, 50);
  CQtDialogs dialogs;
  auto timersFire = [this](const std::function<void()>& show) {
    const size_t before = Timers();
    CloseWhen([this, before] { return Timers() >= before + 3; });
    show();
    return Timers() - before;
  };
  FileDialogRequest file;
  file.owner = &wnd;
  FontDialogRequest font;
  font.owner = &wnd;
  ColourDialogRequest colour;
  colour.owner = &wnd;
  EXPECT_GE(timersFire([&] { EXPECT_EQ(dialogs.FileDialog(file), std::nullopt); }), 3u);
  EXPECT_GE(timersFire([&] { EXPECT_EQ(dialogs.FontDialog(font), std::nullopt); }), 3u);
  EXPECT_GE(timersFire([&] { EXPECT_EQ(dialogs.ColourDialog(colour), std::nullopt); }), 3u);
  tvn::sys::MailDialogFields mail;
  EXPECT_GE(timersFire([&] { EXPECT_FALSE(tvn::sys::RunMailDialog(mail)); }), 3u);
  CMenu menu;
  menu.CreatePopupMenu();
  menu.AppendMenu(MF_STRING, 100, "Item");
  PopupMenuRequest request;
  request.menu = menu.m_hMenu;
  request.owner = wnd.m_hWnd;
  EXPECT_GE(timersFire([&] { EXPECT_EQ(dialogs.TrackPopupMenu(request), 0u); }), 3u);
}

TEST_F(QtModalTest, AQuitUnderABoxEndsItAndGoesOnToTheRunLoop) {
  CQtDialogs dialogs;
  QTimer::singleShot(0, [&] { loop->PostQuitMessage(3); });
  EXPECT_EQ(dialogs.MessageBox({&wnd, "Quit", "Test", MB_OK}), IDOK);
  ASSERT_TRUE(loop->PeekMessage(msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(QtModalTest, TheProgramClosingEndsTheBoxesAndAnyThatComeAfter) {
  CQtDialogs dialogs;
  // A nested box: both end as cancelled when the program closes.
  int innerAnswer = 0;
  bool laterCall = false;
  wnd.hook = [&](UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (message == WM_USER + 1) {
      innerAnswer = dialogs.MessageBox({&wnd, "Inner", "Test", MB_YESNO});
      return 0;
    }
    if (message == WM_USER + 2) {
      loop->PostWhenUnwound([&] { laterCall = true; });
      loop->BeginProgramClose();
      return 0;
    }
    return std::nullopt;
  };
  QTimer::singleShot(0, [&] {
    wnd.PostMessage(WM_USER + 1);
    QTimer::singleShot(0, [&] { wnd.PostMessage(WM_USER + 2); });
  });
  EXPECT_EQ(dialogs.MessageBox({&wnd, "Outer", "Test", MB_OKCANCEL}), IDCANCEL);
  EXPECT_EQ(innerAnswer, IDNO);
  EXPECT_FALSE(laterCall) << "nothing unwound yet";
  EXPECT_FALSE(loop->PeekMessage(msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_TRUE(laterCall) << "the loop found nothing under way";
  // A box that a closing program still asks for ends at once.
  EXPECT_EQ(dialogs.MessageBox({&wnd, "Later", "Test", MB_OKCANCEL}), IDCANCEL);
}

}  // namespace
