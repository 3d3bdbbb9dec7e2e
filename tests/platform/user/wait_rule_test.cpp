// The wait rule: what waits inside handlers take, hold and drop, the input a
// blocking wait holds, and the closes of the program and of a course that end
// them.
#include "platform/user/wait_rule.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <csignal>

#include "platform/sys/child_reaper.h"
#include "platform/user/clipboard.h"
#include "platform/user/edit.h"
#include "tests/platform/user/window_test_support.h"

namespace {

constexpr UINT kTaskEntered = WM_USER + 1;
constexpr UINT kRunTask = WM_USER + 2;

// Records the key state its key-downs are handled with.
class CKeyStateEdit : public CEdit {
 public:
  struct Seen {
    UINT vk;
    bool shift, ctrl, liveShift;
  };
  std::vector<Seen> seen;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_KEYDOWN)
      seen.push_back({static_cast<UINT>(wParam), GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0,
                      GetAsyncKeyState(VK_SHIFT) < 0});
    return CEdit::WindowProc(message, wParam, lParam);
  }
};

void SendKey(QWidget* w, QEvent::Type type, int key, Qt::KeyboardModifiers mods, const QString& text = {}) {
  QKeyEvent event(type, key, mods, text);
  QApplication::sendEvent(w, &event);
}

void TypeKey(QWidget* w, int key, Qt::KeyboardModifiers mods, const QString& text = {}) {
  SendKey(w, QEvent::KeyPress, key, mods, text);
  SendKey(w, QEvent::KeyRelease, key, mods);
}

void SendMouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
  QPointF local(at);
  QMouseEvent event(type, local, w->mapToGlobal(local), button, held, Qt::NoModifier);
  QApplication::sendEvent(w, &event);
}

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

TEST_F(WaitRuleTest, KeysHeldByABlockingWaitAreHandledWithTheKeyStateTheyWereTypedWith) {
  auto frame = MakeWindow(CRect(0, 0, 300, 100));
  CKeyStateEdit edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, CRect(10, 10, 200, 34), frame.get(), 901));
  loop->SetPageWindow(frame->m_hWnd);
  edit.SetFocus();
  PumpReady();
  QWidget* field = edit.GetControlWidget();
  CClipboard::SetText("pq");
  InsideAHandler(*frame, [&] {
    CWait hold({WaitInput::kHold, nullptr, false});
    for (const char* c : {"a", "b", "c"}) TypeKey(field, Qt::Key_A + (c[0] - 'a'), Qt::NoModifier, c);
    SendKey(field, QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
    TypeKey(field, Qt::Key_Home, Qt::ShiftModifier);
    SendKey(field, QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
    TypeKey(field, Qt::Key_X, Qt::NoModifier, "x");
    SendKey(field, QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
    TypeKey(field, Qt::Key_V, Qt::ControlModifier, "\x16");
    SendKey(field, QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
    SendKey(field, QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);  // still held when the wait ends
    while (hold.PumpOne() == PumpResult::Dispatched) {
    }
    EXPECT_TRUE(edit.seen.empty());
  });
  PumpReady();
  // "abc", Shift+Home selects it, "x" replaces it and Ctrl+V pastes after it.
  EXPECT_EQ(edit.GetWindowText().str(), "xpq");
  std::vector<std::tuple<UINT, bool, bool>> seen;
  for (const auto& s : edit.seen) seen.emplace_back(s.vk, s.shift, s.ctrl);
  const std::vector<std::tuple<UINT, bool, bool>> typed{
      {'A', false, false},    {'B', false, false}, {'C', false, false},       {VK_SHIFT, true, false}, {VK_HOME, true, false},
      {'X', false, false},    {VK_CONTROL, false, true}, {'V', false, true}, {VK_SHIFT, true, false}};
  EXPECT_EQ(seen, typed);
  // The live state is the last one, for every key handled after the wait.
  for (const auto& s : edit.seen) EXPECT_TRUE(s.liveShift);
  SendKey(field, QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
  PumpReady();
}

TEST_F(WaitRuleTest, MovesHeldByABlockingWaitComeOutAsTheLastOneUnlessInputStandsBetween) {
  auto view = MakeWindow(CRect(0, 0, 300, 300));
  loop->SetPageWindow(view->m_hWnd);
  PumpReady();
  view->received.clear();
  QWidget* widget = view->GetWidget();
  ASSERT_NE(widget, nullptr);
  InsideAHandler(*view, [&] {
    CWait hold({WaitInput::kHold, nullptr, false});
    for (int i = 0; i < 200; ++i) SendMouse(widget, QEvent::MouseMove, {i, i / 2}, Qt::NoButton, Qt::NoButton);
    view->PostMessage(kTaskEntered);  // not input: the move overtakes it
    SendMouse(widget, QEvent::MouseMove, {250, 5}, Qt::NoButton, Qt::NoButton);
    SendMouse(widget, QEvent::MouseButtonPress, {250, 5}, Qt::LeftButton, Qt::LeftButton);
    SendMouse(widget, QEvent::MouseMove, {251, 6}, Qt::NoButton, Qt::LeftButton);
    SendMouse(widget, QEvent::MouseMove, {252, 7}, Qt::NoButton, Qt::LeftButton);
    while (hold.PumpOne() == PumpResult::Dispatched) {
    }
  });
  PumpReady();
  // What the view got, as "task", "move x,y" and "down x,y".
  std::string after;
  for (const auto& r : view->received) {
    const CPoint at = PointFromLParam(r.lParam);
    const std::string point = std::to_string(at.x) + "," + std::to_string(at.y) + " ";
    if (r.message == kTaskEntered) after += "task ";
    if (r.message == WM_MOUSEMOVE) after += "move " + point;
    if (r.message == WM_LBUTTONDOWN) after += "down " + point;
  }
  EXPECT_EQ(after, "task move 250,5 down 250,5 move 252,7 ");
  SendMouse(widget, QEvent::MouseButtonRelease, {252, 7}, Qt::LeftButton, Qt::NoButton);
  PumpReady();
}
