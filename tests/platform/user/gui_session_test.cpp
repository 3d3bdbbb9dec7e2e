// The Qt session of a program.
#include "platform/user/gui_session.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <clocale>

#include "platform/user/message_loop.h"
#include "platform/user/qt_event_source.h"
#include "tests/platform/user/window_test_support.h"

TEST(GuiSession, NumbersStayInTheCLocaleAndTheLoopListensToQt) {
  EnsureQtApplication();
  // Qt takes the locale from the environment; a decimal comma must not follow.
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no German locale";
  int argc = 1;
  char name[] = "session";
  char* argv[] = {name, nullptr};
  CGuiSession session(argc, argv);
  EXPECT_STREQ(std::localeconv()->decimal_point, ".");
  EXPECT_FALSE(QApplication::quitOnLastWindowClosed());
  CManualClock clock;
  CMessageLoop loop(clock);
  CGuiSession::Attach(loop);
  EXPECT_NE(dynamic_cast<CQtEventSource*>(&loop.EventSource()), nullptr);
}
