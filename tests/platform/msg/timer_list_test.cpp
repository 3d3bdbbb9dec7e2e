// Timers by window and id: due times, replacement, late timers.
#include "platform/msg/timer_list.h"

#include <gtest/gtest.h>

namespace {
const HWND kA = reinterpret_cast<HWND>(0x10);
const HWND kB = reinterpret_cast<HWND>(0x14);
}  // namespace

TEST(CTimerList, FiresWhenDueAndThenOneIntervalLater) {
  CTimerList timers;
  timers.Set(kA, 18, 100, 1000);
  EXPECT_FALSE(timers.TakeDue(1099));
  EXPECT_EQ(timers.TimeToNext(1099), 1u);
  auto msg = timers.TakeDue(1100);
  ASSERT_TRUE(msg);
  EXPECT_EQ(msg->hwnd, kA);
  EXPECT_EQ(msg->message, WM_TIMER);
  EXPECT_EQ(msg->wParam, 18u);
  EXPECT_FALSE(timers.TakeDue(1100));
  // Very late: fires once, then waits a full interval from now.
  ASSERT_TRUE(timers.TakeDue(5000));
  EXPECT_FALSE(timers.TakeDue(5050));
  EXPECT_TRUE(timers.TakeDue(5100));
}

TEST(CTimerList, SettingAnIdAgainReplacesTheTimer) {
  CTimerList timers;
  timers.Set(kA, 37, 100, 0);
  timers.Set(kA, 37, 500, 50);  // restarted with the new interval
  EXPECT_FALSE(timers.TakeDue(100));
  EXPECT_FALSE(timers.TakeDue(549));
  EXPECT_TRUE(timers.TakeDue(550));
  // The same id on another window is another timer.
  timers.Set(kB, 37, 10, 550);
  EXPECT_TRUE(timers.Has(kA, 37));
  EXPECT_TRUE(timers.Has(kB, 37));
  EXPECT_TRUE(timers.Kill(kA, 37));
  EXPECT_FALSE(timers.Kill(kA, 37));
  EXPECT_TRUE(timers.Has(kB, 37));
}

TEST(CTimerList, MostOverdueFirstFilterAndWraparound) {
  CTimerList timers;
  timers.Set(kA, 1, 300, 0);
  timers.Set(kB, 2, 100, 0);
  EXPECT_EQ(timers.TakeDue(400)->wParam, 2u);
  // Filtered to one window; a look without taking does not reschedule.
  EXPECT_EQ(timers.TakeDue(400, kA, false)->wParam, 1u);
  EXPECT_EQ(timers.TakeDue(400, kA, true)->wParam, 1u);
  EXPECT_FALSE(timers.TakeDue(400, kA));
  timers.KillAll(kA);
  EXPECT_FALSE(timers.Has(kA, 1));

  // The millisecond clock wraps after 49 days; due times compare by difference.
  CTimerList wrap;
  wrap.Set(kA, 5, 100, 0xFFFFFFF0u);
  EXPECT_FALSE(wrap.TakeDue(0xFFFFFFFFu));
  EXPECT_TRUE(wrap.TakeDue(0x60u));
  EXPECT_FALSE(CTimerList().TimeToNext(0));
}
