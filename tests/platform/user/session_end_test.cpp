// The end of the session: SIGTERM, SIGHUP and Qt's quit reach the program from
// its loop, and the application tells its main window before closing it.
#include "platform/user/session_end.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>

#include <csignal>

#include "platform/framework/win_app.h"
#include "platform/user/gui_session.h"
#include "tests/platform/user/window_test_support.h"

namespace {

// Qt's events until the count is reached; generous, as the machine may be busy.
bool PumpUntil(const int& count, int wanted) {
  for (int i = 0; i < 2000 && count < wanted; ++i)
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
  return count >= wanted;
}

}  // namespace

TEST(SessionEnd, SignalsAndQtsQuitCallTheProgramFromItsLoopAndTheMainWindowIsToldThenClosed) {
  EnsureQtApplication();
  CManualClock clock(1000);
  CWinApp app("Test App", clock);
  CGuiSession::Attach(app);
  int ends = 0;
  {
    CSessionEndWatcher watcher([&] { ++ends; });
    ASSERT_TRUE(watcher.IsWatching());
    EXPECT_FALSE(CSessionEndWatcher([] {}).IsWatching()) << "one watcher at a time";
    ASSERT_EQ(std::raise(SIGTERM), 0);
    EXPECT_EQ(ends, 0) << "the handler only writes to the pipe";
    EXPECT_TRUE(PumpUntil(ends, 1));
    ASSERT_EQ(std::raise(SIGHUP), 0);
    EXPECT_TRUE(PumpUntil(ends, 2));
    QEvent quit(QEvent::Quit);
    QCoreApplication::sendEvent(QCoreApplication::instance(), &quit);
    EXPECT_EQ(ends, 3);
  }

  std::vector<RecordedMessage> log;
  CRecordingWnd main(&log);
  ASSERT_TRUE(main.CreateEx(0, "Main", WS_OVERLAPPEDWINDOW, CRect(0, 0, 100, 100), nullptr, 0));
  app.m_pMainWnd = &main;
  app.EndSession();
  std::vector<std::pair<UINT, WPARAM>> seen;
  for (const RecordedMessage& m : log)
    if (m.message == WM_ENDSESSION || m.message == WM_CLOSE) seen.emplace_back(m.message, m.wParam);
  EXPECT_EQ(seen, (std::vector<std::pair<UINT, WPARAM>>{{WM_ENDSESSION, TRUE}, {WM_CLOSE, 0}}));

  // Without a main window the loop simply quits.
  app.m_pMainWnd = nullptr;
  app.EndSession();
  MSG msg;
  ASSERT_TRUE(app.PeekMessage(msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
}
