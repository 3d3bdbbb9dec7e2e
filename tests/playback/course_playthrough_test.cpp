// Whole courses played headless through keys, clicks and timer ticks, with
// the outcome codes choosing the way.
#include <gtest/gtest.h>

#include "model/task_managers.h"
#include "playback/presentation_view.h"
#include "tests/playback/page_test_support.h"
#include "tests/playback/view_test_courses.h"
#include "tests/support/scripted_player.h"

namespace {

using namespace tvn::testing;

TEST(CoursePlaythrough, KeysClicksAndTimersLeadThroughTheOutcomes) {
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(BuildCourse({
      {1, {}, {KeyResponse("A", Outcome::kGoTo, 3), KeyResponse("Z", Outcome::kLast)}},
      {2, {}, {}},
      {3, {}, {ClickResponse(Outcome::kNext)}},
      {4, {}, {TimeResponse(5, Outcome::kNext)}},
      {5, {}, {KeyResponse("B", Outcome::kEnd), KeyResponse("C", Outcome::kBack, 1), KeyResponse("P", Outcome::kPrevious)}},
  })));
  EXPECT_EQ(player.CurrentTask(), 1);

  player.Key('A');
  EXPECT_EQ(player.CurrentTask(), 3) << "task 2 is passed over";
  player.Click(CPoint(40, 40));
  EXPECT_EQ(player.CurrentTask(), 4);
  EXPECT_EQ(player.Number("ClickX"), 40);
  player.Tick(400);
  EXPECT_EQ(player.CurrentTask(), 4) << "half a second has not passed yet";
  player.Tick(100);
  EXPECT_EQ(player.CurrentTask(), 5);
  player.Key('C');
  EXPECT_EQ(player.CurrentTask(), 4) << "one task back";
  player.Tick(500);
  player.Key('P');
  EXPECT_EQ(player.CurrentTask(), 4) << "the task played before";
  EXPECT_EQ(player.Number("PreviousTaskTag"), 5);
  player.Tick(500);
  player.Key('B');
  EXPECT_TRUE(player.Ended());
  EXPECT_EQ(player.TasksRun(), (std::vector<int>{1, 3, 4, 5, 4, 5, 4, 5}));
}

TEST(CoursePlaythrough, AnArmedKeyEventJumpsFromAnyTaskAndThePageShowsItsObjects) {
  CColourOwner owner("banner", 5, CRect(0, 0, 50, 50), RGB(0, 128, 0));
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(BuildCourse({
      {1, {}, {KeyResponse("N")}},
      {2, {}, {KeyResponse("N")}},
      {9, {KeyEvent("H")}, {KeyResponse("", Outcome::kFirst)}},
  })));
  player.View().AddObject(&owner, 0);
  player.View().FlushInvalidRects();
  EXPECT_EQ(player.Pixel(10, 10), RGB(0, 128, 0));

  player.Key('N');
  EXPECT_EQ(player.CurrentTask(), 2);
  player.Key('H');
  EXPECT_EQ(player.CurrentTask(), 9) << "the event of task 9 took the key first";
  player.Key('Q');
  EXPECT_EQ(player.CurrentTask(), 1) << "outcome 256 goes to the first task";
  player.Key('H');
  EXPECT_EQ(player.CurrentTask(), 9);
  EXPECT_EQ(player.TasksRun(), (std::vector<int>{1, 2, 9, 1, 9}));
}

}  // namespace
