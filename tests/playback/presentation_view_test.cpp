// The presentation view: the order of its steps, starting at a task, the
// armed events' turn before the page and the task, the mouse variables and
// dragging, keys, timers and stopping.
#include <gtest/gtest.h>

#include <algorithm>

#include "model/course_doc.h"
#include "model/task.h"
#include "platform/framework/frame_wnd.h"
#include "platform/gdi/system_metrics.h"
#include "platform/user/message_loop.h"
#include "playback/app_resources.h"
#include "playback/player_app.h"
#include "behaviour/window_action.h"
#include "playback/presentation_view.h"
#include "tests/page/page_test_support.h"
#include "tests/playback/view_test_courses.h"
#include "tests/platform/user/window_test_support.h"
#include "tests/support/scripted_player.h"

namespace {

using tvn::testing::BuildCourse;
using tvn::testing::ClickResponse;
using tvn::testing::KeyResponse;
using tvn::testing::NotingEvent;
using tvn::testing::ScriptedPlayer;
using Step = ScriptedPlayer::Step;

constexpr UINT kEntered = ViewMessage::kTaskEntered;
constexpr UINT kRun = ViewMessage::kRunTask;
constexpr UINT kFinished = ViewMessage::kTaskFinished;

TEST(PresentationView, ATaskWithoutResponsesGoesOnWithoutInputAndTheTagsFollow) {
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(BuildCourse({{3, {}, {}}, {7, {}, {KeyResponse("")}}})));
  EXPECT_EQ(player.Steps(), (std::vector<Step>{{kEntered, 3}, {kRun, 3}, {kFinished, 3}, {kEntered, 7}, {kRun, 7}}));
  EXPECT_EQ(player.Number("CurrentTaskTag"), 7);
  EXPECT_EQ(player.Number("PreviousTaskTag"), 3);
  EXPECT_FALSE(player.Ended()) << "task 7 waits for a key";
  EXPECT_TRUE(player.View().IsRunning());
}

TEST(PresentationView, StartingFromAnotherCourseTakesTheNumberedTaskOrElseTheFirst) {
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(BuildCourse({{1, {}, {KeyResponse("")}}, {2, {}, {KeyResponse("")}}})));
  auto startAt = [&](WPARAM number) {
    player.View().PostMessage(ViewMessageMore::kRunFromAnotherCourse, number);
    player.Pump();
    return player.CurrentTask();
  };
  EXPECT_EQ(startAt(2), 2);
  EXPECT_EQ(startAt(0), 1);
  EXPECT_EQ(startAt(2), 2);
  EXPECT_EQ(startAt(99), 1) << "a number no task has";
  EXPECT_TRUE(player.View().GetArmedEventList().IsEmpty()) << "a course without events arms nothing";
}

TEST(PresentationView, WithoutACourseTheStepsAndTimersDoNothing) {
  ScriptedPlayer player;
  ASSERT_TRUE(player.StartEmpty());
  CPresentationView& view = player.View();
  view.SendMessage(kEntered);
  view.SendMessage(kRun);
  view.SendMessage(kFinished);
  player.Timer(ViewTimer::kResponse);
  player.Timer(300);
  view.SendMessage(MM_MCINOTIFY, 1, 0);
  EXPECT_TRUE(player.Steps().empty());
  EXPECT_FALSE(view.IsRunning());
}

TEST(PresentationView, AMediaNoticeAnArmedEventTakesRunsItsTaskAndNeverFinishesOne) {
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(BuildCourse({{1, {}, {KeyResponse("")}}, {2, {}, {KeyResponse("")}}})));
  CCourseDoc* course = player.Course();
  NotingEvent event;
  event.acceptNotify = TRUE;
  player.View().GetArmedEventList().AppendArmed(&event, course, course->FindTaskByNumber(2));
  const size_t before = player.Steps().size();

  player.View().PostMessage(MM_MCINOTIFY, 1035, 0);
  player.Pump();
  std::vector<Step> after(player.Steps().begin() + static_cast<long>(before), player.Steps().end());
  EXPECT_EQ(after, (std::vector<Step>{{kRun, 2}}));
  EXPECT_EQ(event.notices, (std::vector<UINT>{1035}));

  // A notice nobody takes leaves the task as it is.
  event.acceptNotify = FALSE;
  player.View().PostMessage(MM_MCINOTIFY, 1036, 0);
  player.Pump();
  EXPECT_EQ(player.Steps().size(), before + 1);
  player.View().GetArmedEventList().RemoveAll();
}

TEST(PresentationView, CtrlAndAltHeldWhenATaskFinishesEndThePlayback) {
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(BuildCourse({{1, {}, {KeyResponse("")}}, {2, {}, {KeyResponse("")}}})));
  player.Key('X', /*ctrl=*/true, /*alt=*/true);
  EXPECT_TRUE(player.Ended());
  EXPECT_EQ(player.TasksRun(), (std::vector<int>{1})) << "task 2 never runs";
}

TEST(PresentationView, AKeyFinishesTheTaskAndTheKeypadsDigitsArriveAsDigits) {
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(
      BuildCourse({{1, {}, {KeyResponse("7")}}, {2, {}, {KeyResponse("A", 2, 4)}}, {3, {}, {}}, {4, {}, {KeyResponse("")}}})));
  player.Key('8');
  EXPECT_EQ(player.CurrentTask(), 1) << "a key no response takes";
  player.Key(VK_NUMPAD0 + 7);
  EXPECT_EQ(player.CurrentTask(), 2);
  player.Key('A');
  EXPECT_EQ(player.CurrentTask(), 4) << "outcome 2 goes to the task numbered by the target";
  EXPECT_EQ(player.TasksRun(), (std::vector<int>{1, 2, 4}));
}

TEST(PresentationView, EscapeBeforeAnyCourseStopsAndWhileRunningGoesToTheCourse) {
  {
    ScriptedPlayer player;
    ASSERT_TRUE(player.StartEmpty());
    player.View().SendMessage(WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_TRUE(player.View().GetKillEvent()->IsSet()) << "hiding the frame stopped the view's workers";
  }
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(BuildCourse({{1, {}, {KeyResponse("")}}, {2, {}, {KeyResponse("")}}})));
  player.Key(VK_ESCAPE);
  EXPECT_EQ(player.CurrentTask(), 2);
}

TEST(PresentationView, InputGoesToTheArmedEventsFirstThenThePageThenTheResponses) {
  tvn::testing::CColourOwner owner("panel", 5, CRect(200, 200, 260, 260), RGB(0, 0, 255));
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(BuildCourse({{1, {}, {ClickResponse()}}, {2, {}, {KeyResponse("")}}})));
  CCourseDoc* course = player.Course();
  player.View().AddObject(&owner, 0);
  NotingEvent event;
  player.View().GetArmedEventList().AppendArmed(&event, course, course->FindTaskByNumber(2));

  // The event takes the click: neither the page nor the response sees it.
  event.acceptMouse = TRUE;
  player.Press(CPoint(5, 5));
  EXPECT_EQ(event.mouse.size(), 1u);
  EXPECT_EQ(event.lastSource, CPresentationView::kSourceView);
  EXPECT_EQ(owner.buttons, 0);
  EXPECT_EQ(player.Steps().back(), (Step{kRun, 2}));

  // Back on task 1: the page's owners observe, then the response finishes the task.
  player.View().PostMessage(ViewMessageMore::kRunFromAnotherCourse, 1);
  player.Pump();
  EXPECT_TRUE(player.View().GetArmedEventList().IsEmpty()) << "the course is armed afresh";
  player.View().GetArmedEventList().AppendArmed(&event, course, course->FindTaskByNumber(2));
  event.acceptMouse = FALSE;
  player.Press(CPoint(5, 5));
  EXPECT_EQ(owner.buttons, 1);
  EXPECT_EQ(player.CurrentTask(), 2);
  EXPECT_EQ(player.Steps().back(), (Step{kRun, 2}));
  EXPECT_EQ(player.Number("ClickX"), 5);

  // A right button's release carries its key flag.
  event.mouse.clear();
  player.View().PostMessage(WM_RBUTTONUP, 0, MAKELPARAM(9, 9));
  player.Pump();
  ASSERT_EQ(event.mouse.size(), 1u);
  EXPECT_EQ(event.mouse[0].message, static_cast<UINT>(WM_RBUTTONUP));
  EXPECT_TRUE(event.mouse[0].flags & MK_RBUTTON);
  player.View().GetArmedEventList().RemoveAll();
}

TEST(PresentationView, AClickOnADraggableObjectStartsADragThatNothingElseSees) {
  tvn::testing::CColourOwner owner("Puzzle piece", 5, CRect(10, 20, 110, 60), RGB(255, 0, 0));
  struct Partner : CObject {} partner;  // linked, but no drag-and-drop response: a free drag whose drop nobody takes
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(BuildCourse({{1, {}, {ClickResponse()}}, {2, {}, {KeyResponse("")}}})));
  CCourseDoc* course = player.Course();
  CDrawObj* obj = player.View().AddObject(&owner, DrawFlag::kLinked);
  ASSERT_NE(obj, nullptr);
  obj->SetLink(&partner);
  NotingEvent event;
  player.View().GetArmedEventList().AppendArmed(&event, course, course->FindTaskByNumber(2));

  player.Press(CPoint(30, 40));
  EXPECT_TRUE(player.View().IsDragging());
  EXPECT_EQ(player.Number("ClickX"), 30);
  EXPECT_EQ(player.Number("ClickY"), 40);
  EXPECT_EQ(player.Number("ObjectFromX"), 60);
  EXPECT_EQ(player.Number("ObjectFromY"), 40);
  EXPECT_EQ(player.Text("DraggedObjectName"), "Puzzle piece");
  EXPECT_TRUE(event.mouse.empty()) << "the armed events never see the click";
  EXPECT_EQ(owner.buttons, 0);
  EXPECT_EQ(player.CurrentTask(), 1) << "nor does the click response";

  player.MoveTo(CPoint(50, 70));
  EXPECT_EQ(*obj->GetRect(), CRect(30, 50, 130, 90)) << "the object follows, keeping the grip";
  EXPECT_EQ(player.Pixel(120, 85), RGB(255, 0, 0));

  player.Release(CPoint(50, 70));
  EXPECT_FALSE(player.View().IsDragging());
  EXPECT_EQ(player.Number("ReleaseX"), 50);
  EXPECT_EQ(player.Number("ObjectToX"), 80);
  EXPECT_EQ(player.Number("ObjectToY"), 70);
  ASSERT_EQ(event.mouse.size(), 1u) << "an unaccepted drop goes on as an ordinary release";
  EXPECT_EQ(event.mouse[0].message, static_cast<UINT>(WM_LBUTTONUP));
  EXPECT_EQ(*obj->GetRect(), CRect(30, 50, 130, 90)) << "the object stays where it was dropped";
  player.View().GetArmedEventList().RemoveAll();
}

// A drag-and-drop partner whose mode and answers the test sets.
struct FakePartner : CIconObject, IDragPartner {
  int GetDragMode() override { return mode; }
  CPoint GetHotSpot() override { return hotSpot; }
  void ConstrainToPath(CPoint, CRect& rect) override { rect.OffsetRect(0, 100 - rect.top); }
  void ConstrainToArea(CPoint, CRect& rect) override { rect.OffsetRect(std::max(0, static_cast<int>(200 - rect.left)), 0); }
  BOOL AcceptDrop(UINT, CPoint point) override {
    drops.push_back(point);
    return accept;
  }
  int mode = kFree;
  CPoint hotSpot;
  BOOL accept = FALSE;
  std::vector<CPoint> drops;
};

TEST(PresentationView, TheDragModesPlaceTheObjectAndAnAcceptedDropFinishesTheTask) {
  tvn::testing::CColourOwner owner("piece", 5, CRect(0, 0, 40, 40), RGB(9, 9, 9));
  FakePartner partner;
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(BuildCourse({{1, {}, {KeyResponse("")}}, {2, {}, {KeyResponse("")}}})));
  CDrawObj* obj = player.View().AddObject(&owner, DrawFlag::kLinked);
  obj->SetLink(&partner);

  // On the path: the partner snaps it; a drop it refuses finishes nothing.
  partner.mode = IDragPartner::kOnPath;
  player.Press(CPoint(10, 10));
  player.MoveTo(CPoint(30, 15));
  EXPECT_EQ(*obj->GetRect(), CRect(20, 100, 60, 140));
  player.Release(CPoint(30, 15));
  ASSERT_EQ(partner.drops.size(), 1u);
  EXPECT_EQ(partner.drops[0], CPoint(40, 120));
  EXPECT_EQ(player.CurrentTask(), 1);

  // Inside the area: kept right of x = 200; this time the drop is taken.
  partner.mode = IDragPartner::kInArea;
  player.Press(CPoint(30, 110));
  player.MoveTo(CPoint(40, 110));
  EXPECT_EQ(obj->GetRect()->left, 200);
  partner.mode = IDragPartner::kOnPath;
  partner.accept = TRUE;
  player.Release(CPoint(40, 110));
  EXPECT_EQ(player.CurrentTask(), 2) << "the accepting partner became the response and the task finished";
}

TEST(PresentationView, SystemKeysReachTheCourseForF10OrWhileAltIsDown) {
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(BuildCourse({{1, {}, {KeyResponse("")}}, {2, {}, {KeyResponse("")}}, {3, {}, {KeyResponse("")}}})));
  player.View().PostMessage(WM_SYSKEYDOWN, 'X', 1);
  player.Pump();
  EXPECT_EQ(player.CurrentTask(), 1) << "a system key without Alt is the window's own";
  player.View().PostMessage(WM_SYSKEYDOWN, VK_F10, 1);
  player.Pump();
  EXPECT_EQ(player.CurrentTask(), 2);
  player.Key('X', /*ctrl=*/false, /*alt=*/true);
  EXPECT_EQ(player.CurrentTask(), 3);
}

TEST(PresentationView, TimeEventsGetTimersOfTheirOwnAndFireIntoTheirTask) {
  using tvn::testing::TimeEvent;
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(
      BuildCourse({{1, {}, {KeyResponse("")}}, {2, {TimeEvent(2)}, {KeyResponse("")}}, {3, {TimeEvent(5)}, {KeyResponse("")}}})));
  CArmedEventList& armed = player.View().GetArmedEventList();
  ASSERT_EQ(armed.GetCount(), 2);

  // Fixed ids other than the view's own do nothing.
  for (UINT id : {1u, 17u, 19u, 36u, 80u, 200u}) player.Timer(id);
  EXPECT_EQ(player.TasksRun(), (std::vector<int>{1}));

  player.Tick(2000);
  EXPECT_EQ(player.CurrentTask(), 2) << "the two-second event fired first";
  player.Tick(3000);
  EXPECT_EQ(player.CurrentTask(), 3);

  // Started again, the course is armed afresh rather than twice.
  player.View().PostMessage(ViewMessageMore::kRunFromAnotherCourse, 1);
  player.Pump();
  EXPECT_EQ(armed.GetCount(), 2);
  EXPECT_EQ(player.CurrentTask(), 1);
}

TEST(PresentationView, StoppingSignalsTheKillEventKeepsRunningAndDisarmsTheEvents) {
  using tvn::testing::TimeEvent;
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(BuildCourse({{1, {TimeEvent(2)}, {KeyResponse("")}}, {2, {}, {KeyResponse("")}}})));
  CPresentationView& view = player.View();
  ASSERT_EQ(view.GetArmedEventList().GetCount(), 1);
  EXPECT_FALSE(view.GetKillEvent()->IsSet());
  view.SetAnimationTimer();
  view.SetAnimationTimer();

  player.Command(CPresentationView::kStopCourseCommand);
  EXPECT_TRUE(view.GetKillEvent()->IsSet());
  EXPECT_TRUE(view.IsRunning()) << "the running flag stays 1";
  EXPECT_TRUE(view.GetArmedEventList().IsEmpty());
  EXPECT_EQ(view.GetAnimationUsers(), 0);
  const size_t steps = player.Steps().size();
  player.Tick(10000);
  EXPECT_EQ(player.Steps().size(), steps) << "the time event's timer is gone";
}

TEST(PresentationView, StoppingEndsTheAnimationThreadsBeforeTheirObjectsGo) {
  tvn::testing::CColourOwner owner("spinner", 5, CRect(0, 0, 20, 20), RGB(1, 2, 3));
  owner.interval = 5;
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(BuildCourse({{1, {}, {KeyResponse("")}}})));
  CDrawObj* obj = player.View().AddObject(&owner, 0);
  ASSERT_NE(obj, nullptr);
  ASSERT_NE(obj->GetAnimateThread(), nullptr);
  player.Command(CPresentationView::kStopCourseCommand);
  player.View().FreeAllObjects(nullptr, TRUE);
  EXPECT_EQ(player.View().GetObjectCount(), 0);
  EXPECT_EQ(owner.unloads, 1) << "the owner let go of its resources once";
}

TEST(PresentationView, AutoScrollMovesThePageWhileTheCursorStaysInAMargin) {
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(BuildCourse({{1, {}, {KeyResponse("")}}})));
  CPresentationView& view = player.View();
  view.SetScrollSizes(TRUE);
  view.GetWindowSettings().SetScrollMargins(CSize(20, 20));
  const int limit = view.GetScrollLimit(SB_HORZ);
  if (limit <= 0) GTEST_SKIP() << "the page fits the window";
  CRect window;
  view.GetWindowRect(&window);

  EXPECT_FALSE(view.AutoScroll(window.CenterPoint(), FALSE)) << "away from the edges";
  EXPECT_FALSE(view.AutoScroll(CPoint(window.left + 5, window.CenterPoint().y), FALSE)) << "already at the left";
  EXPECT_TRUE(view.AutoScroll(CPoint(window.right - 5, window.CenterPoint().y), FALSE));
  EXPECT_EQ(view.GetScrollPosition().x, limit) << "it goes on until the page ends";
  EXPECT_EQ(view.GetScrollPosition().y, 0);
}

TEST(PresentationView, CursorsKeepTheirThreeStates) {
  ScriptedPlayer player;
  ASSERT_TRUE(player.StartEmpty());
  CPresentationView& view = player.View();
  EXPECT_EQ(view.GetCursorState(), ViewCursor::kSystem);
  view.SetCursor(nullptr);
  EXPECT_EQ(view.GetCursorState(), ViewCursor::kHand);
  view.SetCursor(LoadCursor(nullptr, IDC_CROSS));
  EXPECT_EQ(view.GetCursorState(), ViewCursor::kCourse);
  EXPECT_EQ(CursorSystemId(CMessageLoop::Current()->GetCursor()), IDC_CROSS);
  view.RestoreCursor(FALSE);
  EXPECT_EQ(view.GetCursorState(), ViewCursor::kSystem);
  EXPECT_EQ(CursorSystemId(CMessageLoop::Current()->GetCursor()), IDC_ARROW);
  view.KillAnimationTimer(FALSE);
  EXPECT_EQ(view.GetAnimationUsers(), 0) << "never below zero";
}

TEST(PresentationView, WithoutAWindowActionThePageScrollsOverTheScreenAndABufferTooLargeKeepsTheOldOne) {
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(BuildCourse({{1, {}, {KeyResponse("")}}})));
  CPresentationView& view = player.View();
  const CSize screen(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  ASSERT_GT(screen.cx, 300);
  ASSERT_GT(screen.cy, 300);
  view.GetParentFrame()->MoveWindow(0, 0, screen.cx / 2, screen.cy / 2);
  player.Pump();
  EXPECT_EQ(view.GetStyle() & (WS_HSCROLL | WS_VSCROLL), static_cast<DWORD>(WS_HSCROLL | WS_VSCROLL));
  EXPECT_EQ(view.GetTotalSize(), screen);
  int low = -1, high = -1;
  view.GetScrollRange(SB_HORZ, &low, &high);
  EXPECT_EQ(std::pair(low, high), std::pair(0, static_cast<int>(screen.cx) - 1));
  view.GetScrollRange(SB_VERT, &low, &high);
  EXPECT_EQ(std::pair(low, high), std::pair(0, static_cast<int>(screen.cy) - 1));

  // A mark at page point (100,100) shows at the client's corner once scrolled there.
  tvn::testing::CColourOwner mark("mark", 1, CRect(100, 100, 110, 110), RGB(255, 0, 0));
  view.AddObject(&mark, 0);
  view.FlushInvalidRects();
  EXPECT_TRUE(view.OnScrollBy(CSize(100, 100), TRUE));
  player.Pump();
  CPoint corner(100, 100);
  view.LogicalToClient(&corner);
  EXPECT_EQ(corner, CPoint(0, 0));
  EXPECT_EQ(player.WindowPixel(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(player.WindowPixel(10, 10), player.Pixel(110, 110));

  // A page past the bitmap caps: one message, the old buffer stays and is drawn into.
  const CSize before = view.GetBufferSize();
  EXPECT_FALSE(view.ResizeBuffer(20000, 20000));
  ASSERT_EQ(player.Dialogs().boxes.size(), 1u);
  EXPECT_EQ(player.Dialogs().boxes[0].text, "Insufficient memory to perform operation.");
  EXPECT_EQ(view.GetBufferSize(), before);
  EXPECT_EQ(player.Pixel(105, 105), RGB(255, 0, 0)) << "the page is still there";
  view.RemoveObject(&mark, FALSE);
  view.FlushInvalidRects();
  player.Pump();
  EXPECT_EQ(player.WindowPixel(0, 0), player.Pixel(100, 100)) << "and the window still shows it";
  EXPECT_NE(player.Pixel(105, 105), RGB(255, 0, 0));
}

}  // namespace
