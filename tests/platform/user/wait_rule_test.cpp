// The wait rule: what waits inside handlers take, hold and drop, and the
// closes of the program and of a course that end them.
#include "platform/user/wait_rule.h"

#include <gtest/gtest.h>

#include <csignal>

#include "platform/sys/child_reaper.h"
#include "tests/platform/user/window_test_support.h"

namespace {

constexpr UINT kTaskEntered = WM_USER + 1;
constexpr UINT kRunTask = WM_USER + 2;

class WaitRuleTest : public WindowTest {
 protected:
  // Runs the body inside a handler of the view, as the course's waits run.
  void InsideAHandler(CRecordingWnd& view, std::function<void()> body) {
    view.hook = [&, body](UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
      if (message != kRunTask) return std::nullopt;
      body();
      return 0;
    };
    view.SendMessage(kRunTask);
    view.hook = nullptr;
  }
};

}  // namespace

TEST_F(WaitRuleTest, AWaitBesideThePageDropsItsInputPutsOffItsPaintAndEndsAtEscape) {
  auto view = MakeWindow();
  auto other = MakeWindow();
  PumpReady();
  view->received.clear();
  std::vector<PumpResult> results;
  InsideAHandler(*view, [&] {
    view->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
    other->PostMessage(kTaskEntered);
    view->Invalidate();
    view->PostMessage(WM_KEYDOWN, VK_ESCAPE);
    CWait wait({WaitInput::kDropPage, view->m_hWnd});
    for (PumpResult r = PumpResult::Dispatched; r != PumpResult::Empty && !EndsWait(r);) {
      r = wait.PumpOne();
      results.push_back(r);
    }
  });
  EXPECT_EQ(results, (std::vector<PumpResult>{PumpResult::Dropped, PumpResult::Dispatched, PumpResult::Escape}));
  EXPECT_EQ(other->Messages(kTaskEntered).size(), 1u);
  EXPECT_TRUE(view->Messages(WM_LBUTTONDOWN).empty());
  // The put-off paint comes when the run loop goes on.
  {
    CWait wait({WaitInput::kDropPage, view->m_hWnd});
    EXPECT_EQ(wait.PumpOne(), PumpResult::Dropped);
  }
  EXPECT_TRUE(view->Messages(WM_PAINT).empty());
  loop->PostMessage(view->m_hWnd, WM_NULL, 0, 0);
  EXPECT_TRUE(loop->PumpMessage());
  PumpReady();
  EXPECT_EQ(view->Messages(WM_PAINT).size(), 1u);
}

TEST_F(WaitRuleTest, ABlockingWaitHandsTheCourseNothingAndEverythingComesAfterItInOrder) {
  auto frame = MakeWindow();
  CRecordingWnd view;
  ASSERT_TRUE(view.Create("view", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 50), frame.get()));
  auto other = MakeWindow();
  loop->SetPageWindow(view.m_hWnd);
  PumpReady();
  view.received.clear();
  frame->received.clear();
  other->received.clear();
  const HWND viewHwnd = view.m_hWnd, otherHwnd = other->m_hWnd, frameHwnd = frame->m_hWnd;
  std::vector<RecordedMessage> log;
  for (CRecordingWnd* w : {frame.get(), &view, other.get()})
    w->hook = [&log, hwnd = w->m_hWnd](UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
      if (message != WM_SETCURSOR && message != WM_ERASEBKGND) log.push_back({hwnd, message, wParam, lParam});
      // The close is seen, and the window stays for the rest of the test.
      if (message == WM_CLOSE) return 0;
      return std::nullopt;
    };
  view.SetTimer(1, 100);
  other->SetTimer(2, 100);
  clock.Advance(150);
  view.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
  other->PostMessage(WM_KEYDOWN, 'A');
  view.PostMessage(kTaskEntered);
  frame->PostMessage(WM_COMMAND, 7);
  other->PostMessage(kTaskEntered);
  view.PostMessage(WM_KEYDOWN, VK_ESCAPE);  // no end: the course sees the key afterwards
  view.Invalidate();
  other->PostMessage(WM_CLOSE);
  {
    CWait wait({WaitInput::kHold, nullptr, false});
    PumpResult r;
    while ((r = wait.PumpOne()) == PumpResult::Dispatched) {
    }
    EXPECT_EQ(r, PumpResult::Empty);
  }
  // While blocked: the other window's work, the close and the paint.
  std::vector<std::pair<HWND, UINT>> during;
  for (const auto& r : log) during.emplace_back(r.hwnd, r.message);
  EXPECT_EQ(during, (std::vector<std::pair<HWND, UINT>>{
                        {otherHwnd, kTaskEntered}, {otherHwnd, WM_CLOSE}, {viewHwnd, WM_PAINT}, {otherHwnd, WM_TIMER}}));
  // Afterwards, in the order they came: input, the page's posts, its timer.
  log.clear();
  PumpReady();
  std::vector<std::pair<HWND, UINT>> after;
  for (const auto& r : log) after.emplace_back(r.hwnd, r.message);
  EXPECT_EQ(after, (std::vector<std::pair<HWND, UINT>>{{viewHwnd, WM_LBUTTONDOWN},
                                                       {otherHwnd, WM_KEYDOWN},
                                                       {viewHwnd, kTaskEntered},
                                                       {frameHwnd, WM_COMMAND},
                                                       {viewHwnd, WM_KEYDOWN},
                                                       {viewHwnd, WM_TIMER}}));
  for (CRecordingWnd* w : {frame.get(), &view, other.get()}) w->hook = nullptr;
}

TEST_F(WaitRuleTest, ACourseCloseEndsThatCoursesWaitsAndBoxesAndTheProgramsCloseEndsEveryOne) {
  int courseA = 0, courseB = 0;
  const void* current = &courseA;
  loop->SetOwnerSource([&] { return current; });
  auto view = MakeWindow();
  InsideAHandler(*view, [&] {
    CMessageLoop::ModalScope boxOfA(*loop);
    CWait waitOfA({WaitInput::kDropPage, view->m_hWnd});
    current = &courseB;
    CWait waitOfB({WaitInput::kDropPage, view->m_hWnd});
    EXPECT_TRUE(loop->InNestedLoop());

    loop->BeginOwnerClose(&courseA);
    EXPECT_TRUE(boxOfA.Ending());
    EXPECT_TRUE(waitOfA.Ending());
    EXPECT_EQ(waitOfA.PumpOne(), PumpResult::Closing);
    EXPECT_FALSE(waitOfB.Ending());
    int turns = 0;
    EXPECT_EQ(waitOfA.While([&] { return ++turns < 100; }), PumpResult::Closing);
    EXPECT_EQ(turns, 1);
    // A wait the closing course begins afterwards ends at once too.
    current = &courseA;
    EXPECT_TRUE(CWait().Ending());
    loop->EndOwnerClose(&courseA);
    EXPECT_FALSE(CWait().Ending());

    loop->BeginProgramClose();
    EXPECT_TRUE(waitOfB.Ending());
    EXPECT_TRUE(boxOfA.Ending());
    EXPECT_FALSE(waitOfB.PumpWaiting());
  });
}

TEST_F(WaitRuleTest, AProgramWaitedForBlocksTheCourseAndAProgramCloseLeavesItToTheReaper) {
  auto view = MakeWindow();
  loop->SetPageWindow(view->m_hWnd);
  PumpReady();
  view->received.clear();
  std::optional<int> code;
  InsideAHandler(*view, [&] {
    view->PostMessage(kTaskEntered);
    const auto started = tvn::sys::StartProgram("/bin/sh", {"-c", "exit 3"});
    ASSERT_NE(started.process, 0);
    code = WaitForProgram(started.process);
    EXPECT_TRUE(view->Messages(kTaskEntered).empty());
  });
  EXPECT_EQ(code, 3);
  PumpReady();
  EXPECT_EQ(view->Messages(kTaskEntered).size(), 1u);

  tvn::sys::ChildReaper reaper;
  InsideAHandler(*view, [&] {
    const auto started = tvn::sys::StartProgram("/bin/sleep", {"30"});
    ASSERT_NE(started.process, 0);
    view->PostMessage(kTaskEntered);
    loop->PostCall([this] { loop->BeginProgramClose(); });
    code = WaitForProgram(started.process, &reaper);
    EXPECT_EQ(reaper.Pending(), 1u);
    ::kill(started.process, SIGTERM);
  });
  EXPECT_EQ(code, std::nullopt);
}

TEST_F(WaitRuleTest, AWaitSleepsUntilSomethingItTakesComesNotInSlices) {
  // Counts the sleeps; each moves the clock on by the time it was given.
  class CCountingSource final : public IEventSource {
   public:
    explicit CCountingSource(CManualClock& clock) : m_clock(clock) {}
    void Poll() override {}
    void Wait(std::optional<DWORD> maxMs) override {
      ++sleeps;
      m_clock.Advance(maxMs.value_or(60 * 1000));
    }
    void Wake() override {}
    int sleeps = 0;

   private:
    CManualClock& m_clock;
  };
  auto view = MakeWindow();
  auto other = MakeWindow();
  loop->SetPageWindow(view->m_hWnd);
  auto counting = std::make_unique<CCountingSource>(clock);
  CCountingSource& source = *counting;
  loop->SetEventSource(std::move(counting));
  view->SetTimer(1, 10);    // the course's, held by a blocking wait
  other->SetTimer(2, 300);  // another window's, handled during it
  PumpReady();
  view->received.clear();
  const DWORD start = clock.Now();
  InsideAHandler(*view, [&] {
    CWait wait({WaitInput::kHold, nullptr, false});
    wait.While([&] { return clock.Now() - start < 1000; });
  });
  EXPECT_EQ(source.sleeps, 4) << "woken by the other window's timer only, at 300, 600, 900 and 1200";
  EXPECT_EQ(other->Messages(WM_TIMER).size(), 3u);
  EXPECT_TRUE(view->Messages(WM_TIMER).empty());
}
