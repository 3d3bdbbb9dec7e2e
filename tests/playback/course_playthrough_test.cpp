// Whole courses played headless through keys, clicks and timer ticks, with
// the outcome codes choosing the way.
#include <gtest/gtest.h>

#include <fstream>

#include "model/course_doc.h"
#include "model/task_managers.h"
#include "playback/player_app.h"
#include "playback/presentation_view.h"
#include "tests/page/page_test_support.h"
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

TEST(CoursePlaythrough, ACourseEnteredThroughItsEventReturnsToTheCallerWhenItEnds) {
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(BuildCourse({{1, {}, {KeyResponse("N")}}, {2, {}, {KeyResponse("")}}})));
  CCourseDoc* caller = player.Course();

  // A second course, open beside the first, with an event that answers 'J' on any page.
  const auto bytes = BuildCourse({{5, {KeyEvent("J")}, {KeyResponse("")}}, {6, {}, {}}});
  const auto path = player.Directory() / "second.mcl";
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                             static_cast<std::streamsize>(bytes.size()));
  CCourseDoc* called = player.App().OpenPresentation(CString(path.string()), FALSE);
  ASSERT_NE(called, nullptr);
  player.App().SetCurrentCourse(caller);
  called->ResetTaskEvents(player.View().GetArmedEventList());

  player.Key('J');
  EXPECT_EQ(player.Course(), called);
  EXPECT_EQ(player.CurrentTask(), 5);
  EXPECT_EQ(called->GetCallerCourse(), caller);

  player.Key('K');  // task 5 goes on to task 6, which ends the called course
  EXPECT_FALSE(player.Ended());
  EXPECT_EQ(player.Course(), caller) << "back in the calling course";
  EXPECT_EQ(player.CurrentTask(), 1) << "at the task it left, waiting again";
  EXPECT_EQ(called->GetCallerCourse(), nullptr);
  EXPECT_TRUE(called->GetCloseMark()) << "its armed events still refer to it, so it closes later";

  player.Key('N');
  EXPECT_EQ(player.CurrentTask(), 2);
  EXPECT_EQ(player.TasksRun(), (std::vector<int>{1, 5, 6, 2}));
}

}  // namespace
