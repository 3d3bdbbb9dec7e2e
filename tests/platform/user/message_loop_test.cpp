// The message loop: order of posted, painted and timed messages, helper
// threads, sending, idle processing and quitting.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/msg/clock.h"
#include "platform/user/gui_session.h"
#include "tests/platform/user/window_test_support.h"

namespace {

constexpr UINT kTaskEntered = WM_USER + 1;
constexpr UINT kRunTask = WM_USER + 2;

std::vector<UINT> MessageNumbers(const std::vector<RecordedMessage>& log, UINT low, UINT high) {
  std::vector<UINT> out;
  for (const auto& r : log)
    if (r.message >= low && r.message <= high) out.push_back(r.message);
  return out;
}

}  // namespace

class MessageLoopTest : public WindowTest {};

TEST_F(MessageLoopTest, PostedMessagesComeInOrderBeforePaintAndTimers) {
  auto wnd = MakeWindow();
  PumpReady();
  wnd->received.clear();
  wnd->SetTimer(18, 10);
  clock.Advance(10);
  wnd->InvalidateRect(nullptr);
  wnd->PostMessage(kTaskEntered, 1, 2);
  wnd->PostMessage(kRunTask);
  PumpReady();
  std::vector<UINT> seen;
  for (const auto& r : wnd->received)
    if (r.message == kTaskEntered || r.message == kRunTask || r.message == WM_PAINT || r.message == WM_TIMER)
      seen.push_back(r.message);
  EXPECT_EQ(seen, (std::vector<UINT>{kTaskEntered, kRunTask, WM_PAINT, WM_TIMER}));
  EXPECT_EQ(wnd->Messages(kTaskEntered)[0].wParam, 1u);
  EXPECT_EQ(wnd->Messages(kTaskEntered)[0].lParam, 2);
}

TEST_F(MessageLoopTest, HelperThreadPostIsHandledOnTheLoopThreadAfterEarlierPosts) {
  auto wnd = MakeWindow();
  std::thread::id handledOn;
  std::vector<WPARAM> order;
  wnd->hook = [&](UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
    if (message == kTaskEntered) {
      order.push_back(wParam);
      if (wParam == 2) handledOn = std::this_thread::get_id();
    }
    return std::nullopt;
  };
  HWND hwnd = wnd->m_hWnd;
  wnd->PostMessage(kTaskEntered, 1);
  std::thread helper([hwnd] { EXPECT_TRUE(PostMessage(hwnd, kTaskEntered, 2, 0)); });
  helper.join();
  wnd->PostMessage(kTaskEntered, 3);
  PumpReady();
  EXPECT_EQ(order, (std::vector<WPARAM>{1, 2, 3}));
  EXPECT_EQ(handledOn, std::this_thread::get_id());
}

TEST_F(MessageLoopTest, SendFromHelperThreadRunsOnLoopThreadAndReturnsTheAnswer) {
  auto wnd = MakeWindow();
  std::thread::id handledOn;
  wnd->hook = [&](UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
    if (message != kRunTask) return std::nullopt;
    handledOn = std::this_thread::get_id();
    return static_cast<LRESULT>(wParam * 2);
  };
  std::atomic<LRESULT> answer = 0;
  CRecordingWnd* target = wnd.get();
  std::thread helper([&] { answer = target->SendMessage(kRunTask, 21); });
  // The loop thread keeps pumping until the helper has its answer.
  for (int i = 0; i < 100000 && answer == 0; ++i) {
    PumpReady();
    std::this_thread::yield();
  }
  helper.join();
  EXPECT_EQ(answer.load(), 42);
  EXPECT_EQ(handledOn, std::this_thread::get_id());
}

TEST_F(MessageLoopTest, SendIsADirectNestedCall) {
  auto wnd = MakeWindow();
  std::vector<UINT> order;
  wnd->hook = [&](UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (message == kTaskEntered) {
      order.push_back(message);
      wnd->SendMessage(kRunTask);  // handled before this handler goes on
      order.push_back(0);
      return 7;
    }
    if (message == kRunTask) order.push_back(message);
    return std::nullopt;
  };
  EXPECT_EQ(wnd->SendMessage(kTaskEntered), 7);
  EXPECT_EQ(order, (std::vector<UINT>{kTaskEntered, kRunTask, 0}));
}

TEST_F(MessageLoopTest, MessagesForDestroyedWindowsAreDropped) {
  auto wnd = MakeWindow();
  HWND hwnd = wnd->m_hWnd;
  wnd->PostMessage(kTaskEntered);
  wnd->SetTimer(5, 1);
  wnd->DestroyWindow();
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_FALSE(PostMessage(hwnd, kTaskEntered, 0, 0));
  EXPECT_EQ(SendMessage(hwnd, kTaskEntered, 0, 0), 0);
  clock.Advance(10);
  EXPECT_EQ(PumpReady(), 0);
  EXPECT_FALSE(loop->HasTimer(hwnd, 5));
  // A new window never gets the old handle.
  auto other = MakeWindow();
  EXPECT_NE(other->m_hWnd, hwnd);
}

TEST_F(MessageLoopTest, TimersFollowTheClockAndAReplacedIdRestarts) {
  auto wnd = MakeWindow();
  PumpReady();
  wnd->SetTimer(37, 100);
  clock.Advance(60);
  wnd->SetTimer(37, 100);  // restarted: now due 100 ms from here
  clock.Advance(60);
  PumpReady();
  EXPECT_TRUE(wnd->Messages(WM_TIMER).empty());
  clock.Advance(40);
  PumpReady();
  ASSERT_EQ(wnd->Messages(WM_TIMER).size(), 1u);
  EXPECT_EQ(wnd->Messages(WM_TIMER)[0].wParam, 37u);
  EXPECT_TRUE(wnd->KillTimer(37));
  clock.Advance(1000);
  PumpReady();
  EXPECT_EQ(wnd->Messages(WM_TIMER).size(), 1u);
  EXPECT_EQ(timeGetTime(), clock.Now());
}

TEST_F(MessageLoopTest, PeekFiltersByWindowAndRangeAndCanLeaveTheMessage) {
  auto a = MakeWindow();
  auto b = MakeWindow();
  PumpReady();
  a->PostMessage(kTaskEntered);
  b->PostMessage(WM_KEYDOWN, VK_ESCAPE);
  b->PostMessage(kRunTask);
  MSG msg;
  ASSERT_TRUE(loop->PeekMessage(msg, b->m_hWnd, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
  ASSERT_TRUE(loop->PeekMessage(msg, nullptr, WM_USER, WM_USER + 10, PM_REMOVE));
  EXPECT_EQ(msg.message, kTaskEntered);
  ASSERT_TRUE(loop->PeekMessage(msg, b->m_hWnd, WM_USER, WM_USER + 10, PM_REMOVE));
  EXPECT_EQ(msg.message, kRunTask);
  ASSERT_TRUE(loop->PeekMessage(msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_FALSE(loop->PeekMessage(msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageLoopTest, PaintMergesInvalidAreasAndIsNotRepeatedWhenIgnored) {
  auto wnd = MakeWindow();
  PumpReady();
  wnd->received.clear();
  CRect a(10, 10, 20, 20), b(50, 5, 60, 15);
  wnd->InvalidateRect(&a, FALSE);
  wnd->InvalidateRect(&b, FALSE);
  CRect update;
  EXPECT_TRUE(wnd->GetUpdateRect(&update));
  EXPECT_EQ(update, CRect(10, 5, 60, 20));
  // A handler that paints nothing: asked once, not forever.
  wnd->hook = [](UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
    return message == WM_PAINT ? std::optional<LRESULT>(0) : std::nullopt;
  };
  PumpReady();
  EXPECT_EQ(wnd->Messages(WM_PAINT).size(), 1u);
  EXPECT_FALSE(wnd->GetUpdateRect(&update));
  // Outside the client area nothing is invalid.
  CRect outside(1000, 1000, 1010, 1010);
  wnd->InvalidateRect(&outside);
  EXPECT_FALSE(wnd->GetUpdateRect(&update));
}

namespace {

// A loop whose idle work is scripted: it wants idle time for a number of turns.
class CIdleLoop : public CMessageLoop {
 public:
  using CMessageLoop::CMessageLoop;
  BOOL OnIdle(LONG count) override {
    idleCounts.push_back(count);
    if (onIdle) onIdle(count);
    return count + 1 < idleTurns ? TRUE : FALSE;
  }
  BOOL OnMessagePumped(const MSG& msg) override {
    pumped.push_back(msg.message);
    return msg.message == WM_USER + 9 ? TRUE : FALSE;  // "animation wants more"
  }
  std::vector<LONG> idleCounts;
  std::vector<UINT> pumped;
  LONG idleTurns = 3;
  std::function<void(LONG)> onIdle;
};

}  // namespace

TEST(MessageLoopRun, IdleTurnsUntilSatisfiedThenMessagesThenQuitCode) {
  CManualClock clock;
  CIdleLoop idle(clock);
  ASSERT_EQ(CMessageLoop::Current(), &idle);
  CRecordingWnd wnd;
  ASSERT_TRUE(wnd.Create("w", 0, CRect(0, 0, 10, 10), nullptr));
  int phase = 0;
  idle.onIdle = [&](LONG count) {
    // At the end of the first round of idle turns post a message, of the
    // second one a message after which the loop wants more, of the third quit.
    if (count != 2) return;
    if (phase == 0) wnd.PostMessage(WM_USER + 5);
    else if (phase == 1) wnd.PostMessage(WM_USER + 9);
    else if (phase == 2) idle.PostQuitMessage(17);
    ++phase;
  };
  EXPECT_EQ(idle.Run(), 17);
  // 0,1,2 then a message restarts at 0; the "more" message restarts at 1.
  EXPECT_EQ(idle.idleCounts, (std::vector<LONG>{0, 1, 2, 0, 1, 2, 1, 2}));
  EXPECT_EQ(idle.pumped, (std::vector<UINT>{WM_USER + 5, WM_USER + 9}));
}

TEST(MessageLoopRun, QuitComesAfterMessagesPostedBeforeIt) {
  CManualClock clock;
  CIdleLoop idle(clock);
  idle.idleTurns = 0;
  CRecordingWnd wnd;
  ASSERT_TRUE(wnd.Create("w", 0, CRect(0, 0, 10, 10), nullptr));
  wnd.PostMessage(WM_USER + 1);
  idle.PostQuitMessage(3);
  wnd.PostMessage(WM_USER + 2);
  EXPECT_EQ(idle.Run(), 3);
  EXPECT_EQ(MessageNumbers(wnd.received, WM_USER, WM_USER + 10), (std::vector<UINT>{WM_USER + 1, WM_USER + 2}));
}

TEST(MessageLoopRun, SleepingLoopWakesForAHelperThreadsPost) {
  CIdleLoop idle;  // steady clock, plain source: really sleeps
  idle.idleTurns = 0;
  CRecordingWnd wnd;
  ASSERT_TRUE(wnd.Create("w", 0, CRect(0, 0, 10, 10), nullptr));
  HWND hwnd = wnd.m_hWnd;
  wnd.hook = [&](UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (message == WM_USER + 3) idle.PostQuitMessage(0);
    return std::nullopt;
  };
  std::thread helper([hwnd] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    PostMessage(hwnd, WM_USER + 3, 0, 0);
  });
  EXPECT_EQ(idle.Run(), 0);
  helper.join();
}

TEST_F(MessageLoopTest, FocusChangesSendKillAndSetFocusWithTheOtherWindow) {
  auto a = MakeWindow();
  auto b = MakeWindow();
  a->SetFocus();
  a->received.clear();
  b->SetFocus();
  ASSERT_EQ(a->Messages(WM_KILLFOCUS).size(), 1u);
  EXPECT_EQ(reinterpret_cast<HWND>(a->Messages(WM_KILLFOCUS)[0].wParam), b->m_hWnd);
  ASSERT_EQ(b->Messages(WM_SETFOCUS).size(), 1u);
  EXPECT_EQ(reinterpret_cast<HWND>(b->Messages(WM_SETFOCUS)[0].wParam), a->m_hWnd);
  EXPECT_EQ(CWnd::GetFocus(), b.get());
  b->DestroyWindow();
  EXPECT_EQ(CWnd::GetFocus(), nullptr);
}

TEST(MessageLoopRun, QtLoopSleepsUntilATimerIsDueOrAHelperPosts) {
  EnsureQtApplication();
  CMessageLoop qtLoop;  // steady clock: really sleeps in Qt's dispatcher
  CGuiSession::Attach(qtLoop);
  CRecordingWnd wnd;
  ASSERT_TRUE(wnd.Create("w", 0, CRect(0, 0, 10, 10), nullptr));
  HWND hwnd = wnd.m_hWnd;
  std::thread helper;
  wnd.hook = [&](UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (message == WM_TIMER) {
      wnd.KillTimer(1);
      helper = std::thread([hwnd] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        PostMessage(hwnd, WM_USER + 3, 0, 0);
      });
    }
    if (message == WM_USER + 3) qtLoop.PostQuitMessage(5);
    return std::nullopt;
  };
  wnd.SetTimer(1, 15);
  EXPECT_EQ(qtLoop.Run(), 5);
  helper.join();
  EXPECT_EQ(wnd.Messages(WM_TIMER).size(), 1u);
}

TEST_F(MessageLoopTest, ManyHelperThreadsLoseNothingAndKeepEachThreadsOrder) {
  auto wnd = MakeWindow();
  PumpReady();
  constexpr int kThreads = 4, kEach = 500;
  std::vector<int> last(kThreads, -1);
  int received = 0;
  bool ordered = true;
  wnd->hook = [&](UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
    if (message != kTaskEntered) return std::nullopt;
    int thread = static_cast<int>(lParam), index = static_cast<int>(wParam);
    ordered = ordered && index == last[thread] + 1;
    last[thread] = index;
    ++received;
    return 0;
  };
  HWND hwnd = wnd->m_hWnd;
  std::vector<std::thread> helpers;
  for (int t = 0; t < kThreads; ++t)
    helpers.emplace_back([hwnd, t] {
      for (int i = 0; i < kEach; ++i) PostMessage(hwnd, kTaskEntered, static_cast<WPARAM>(i), t);
    });
  // Generous bound: the helpers finish long before this many turns.
  for (int turn = 0; turn < 10000000 && received < kThreads * kEach; ++turn) PumpReady();
  for (auto& h : helpers) h.join();
  PumpReady();
  EXPECT_EQ(received, kThreads * kEach);
  EXPECT_TRUE(ordered);
}
