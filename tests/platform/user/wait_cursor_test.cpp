// The wait cursor: nesting, helper threads and modal dialogs shown under it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <chrono>
#include <future>
#include <thread>

#include "platform/user/cursor.h"
#include "platform/user/message_box_types.h"
#include "platform/user/qt_dialogs.h"
#include "platform/user/wait_cursor.h"
#include "tests/platform/user/window_test_support.h"

namespace {

using namespace std::chrono_literals;

TEST(WaitCursor, NestsAndHelperThreadsNeitherShowNorEndIt) {
  EnsureQtApplication();
  ASSERT_EQ(OverrideCursorId(), 0u);
  {
    CWaitCursor outer;
    EXPECT_EQ(OverrideCursorId(), IDC_WAIT);
    { CWaitCursor inner; }
    EXPECT_EQ(OverrideCursorId(), IDC_WAIT);  // the outer one still shows
  }
  EXPECT_EQ(OverrideCursorId(), 0u);

  // A helper thread's wait cursor shows nothing, and ending it does not end
  // the one the user-interface thread shows meanwhile.
  std::promise<void> made;
  std::promise<void> release;
  std::future<void> released = release.get_future();
  UINT seenByHelper = 1;
  std::thread helper([&] {
    CWaitCursor wait;
    seenByHelper = OverrideCursorId();
    made.set_value();
    released.wait_for(60s);
  });
  ASSERT_EQ(made.get_future().wait_for(60s), std::future_status::ready);
  EXPECT_EQ(OverrideCursorId(), 0u);
  {
    CWaitCursor wait;
    release.set_value();
    helper.join();
    EXPECT_EQ(OverrideCursorId(), IDC_WAIT);
  }
  EXPECT_EQ(seenByHelper, 0u);
  EXPECT_EQ(OverrideCursorId(), 0u);
}

TEST(WaitCursor, AModalDialogTakesInputWithoutItAndItComesBackAfter) {
  EnsureQtApplication();
  CQtDialogs dialogs;
  UINT duringBox = IDC_WAIT;
  {
    CWaitCursor outer;
    {
      CWaitCursor inner;
      QTimer::singleShot(0, [&] {
        duringBox = OverrideCursorId();
        if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) box->reject();
      });
      dialogs.MessageBox({nullptr, "Unable to create the data source.", "Setup", MB_OK | MB_ICONEXCLAMATION});
      EXPECT_EQ(duringBox, 0u);
      EXPECT_EQ(OverrideCursorId(), IDC_WAIT);
    }
    EXPECT_EQ(OverrideCursorId(), IDC_WAIT);  // both came back
  }
  EXPECT_EQ(OverrideCursorId(), 0u);
}

}  // namespace
