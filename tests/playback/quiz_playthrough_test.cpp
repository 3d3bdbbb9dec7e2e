// A three-question quiz played headless: buttons, a hot spot, a key and a
// time-out answer, the score variables add up and the judge branches on them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "model/task_managers.h"
#include "platform/msg/window_messages.h"
#include "playback/presentation_view.h"
#include "tests/playback/view_test_courses.h"
#include "tests/support/packed_file_builder.h"
#include "tests/support/scripted_player.h"

namespace {

using namespace tvn::testing;

constexpr CPoint kRight(170, 325);
constexpr CPoint kWrong(370, 325);
constexpr CPoint kSpot(100, 100);
constexpr CPoint kNowhere(600, 20);

ResponseFields Scoring(const char* script, std::uint32_t outcome = 1, std::int32_t target = 1) {
  ResponseFields r = Outcomes(outcome, target);
  r.expression = script;
  return r;
}

ButtonFields Caption(const char* text, std::uint8_t hotKey = 0) {
  ButtonFields b;
  b.caption = text;
  b.hotKey = hotKey;
  return b;
}

// Task 1: two buttons; task 2: a hot spot or the N key; task 3: a button
// with the hot key A or five seconds; task 4 judges: more than two right
// answers go to task 5, fewer to task 6.
std::vector<std::uint8_t> Quiz() {
  CourseFileFields f;
  for (const char* name : {"Score", "TimedOut"}) {
    VariableFields v;
    v.name = name;
    v.flags = 0x200;  // a number
    f.variables.push_back(v);
  }
  auto task = [&f](std::int32_t number, std::vector<CourseBuilder::Writer> responses) {
    f.tasks.push_back([number, responses](CourseBuilder& b) {
      b.Task(IconFields{4, "Q" + std::to_string(number), "", 3}, number, {}, {}, responses);
    });
  };
  task(1, {[](CourseBuilder& b) {
             b.PushButtonResponse(IconFields{4, "right", "", 3}, Scoring("Score = Score + 1"), Caption("Paris"),
                                  {100, 300, 240, 350});
           },
           [](CourseBuilder& b) {
             b.PushButtonResponse(IconFields{4, "wrong", "", 3}, Scoring(""), Caption("Rome"), {300, 300, 440, 350});
           }});
  task(2, {[](CourseBuilder& b) {
             b.RegionResponse(IconFields{4, "spot", "", 3}, Scoring("Score = Score + 1"), RegionFields{},
                              {50, 50, 150, 150});
           },
           [](CourseBuilder& b) { b.KeyboardResponse(IconFields{4, "no", "", 3}, Scoring(""), KeyFields{0, "N", {0, 0, 0}}); }});
  task(3, {[](CourseBuilder& b) {
             b.PushButtonResponse(IconFields{4, "answer", "", 3}, Scoring("Score = Score + 1"), Caption("Yes", 'a'),
                                  {100, 300, 240, 350});
           },
           [](CourseBuilder& b) { b.TimeResponse(IconFields{4, "late", "", 3}, Scoring("TimedOut = 1"), 50); }});
  task(4, {[](CourseBuilder& b) {
             b.ConditionResponse(IconFields{4, "pass", "", 3}, Outcomes(Outcome::kGoTo, 5), "Score > 2");
           },
           [](CourseBuilder& b) { b.ConditionResponse(IconFields{4, "fail", "", 3}, Outcomes(Outcome::kGoTo, 6), "Score < 3"); }});
  task(5, {[](CourseBuilder& b) { b.KeyboardResponse(IconFields{4, "end", "", 3}, Scoring(""), KeyFields{}); }});
  task(6, {[](CourseBuilder& b) { b.KeyboardResponse(IconFields{4, "end", "", 3}, Scoring(""), KeyFields{}); }});
  CourseBuilder b;
  b.CourseFile(f);
  return b.bytes();
}

// A picture button of the older schema, a polygon hot spot with a key, and a
// two-point polygon, in the given course file version.
std::vector<std::uint8_t> Shapes(int version) {
  CourseFileFields f;
  f.version = static_cast<std::uint32_t>(version);
  f.tasks.push_back([](CourseBuilder& b) {
    ButtonFields pictured;
    pictured.schema = 2;
    pictured.style = 0x20010;
    pictured.images[1].fileName = "UP.BMP";
    pictured.images[3].fileName = "HOVER.BMP";
    RegionFields polygon;
    polygon.regionFlags = 0x5F;
    polygon.outline = {{10, 10}, {90, 10}, {50, 80}, {10, 60}};
    polygon.key = KeyFields{0, "XY", {1, 0, 0}};
    RegionFields line;
    line.regionFlags = 0x40;
    line.outline = {{0, 0}, {5, 5}};
    b.Task(IconFields{4, "shapes", "", 3}, 1, {}, {},
           {[pictured](CourseBuilder& c) {
              c.PushButtonResponse(IconFields{4, "pic", "", 3}, ResponseFields{}, pictured, {0, 0, 80, 40});
            },
            [polygon](CourseBuilder& c) {
              c.RegionResponse(IconFields{4, "poly", "", 3}, ResponseFields{}, polygon, {10, 10, 90, 80});
            },
            [line](CourseBuilder& c) {
              c.RegionResponse(IconFields{4, "line", "", 3}, ResponseFields{}, line, {0, 0, 5, 5});
            }});
  });
  f.tasks.push_back([](CourseBuilder& b) {
    b.Task(IconFields{4, "after", "", 3}, 2, {}, {}, {[](CourseBuilder& c) {
             c.KeyboardResponse(IconFields{4, "end", "", 3}, ResponseFields{}, KeyFields{});
           }});
  });
  CourseBuilder b(version);
  b.CourseFile(f);
  return b.bytes();
}

}  // namespace

TEST(QuizPlaythrough, RightAnswersByButtonHotSpotAndHotKeyPass) {
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(Quiz()));
  EXPECT_EQ(player.CurrentTask(), 1);

  player.PressAndRelease(kRight, {}, kRight);
  EXPECT_EQ(player.CurrentTask(), 2);
  player.Click(kNowhere);
  EXPECT_EQ(player.CurrentTask(), 2) << "a click outside the hot spot";
  player.Click(kSpot);
  EXPECT_EQ(player.CurrentTask(), 3);
  player.Key(0x41);
  EXPECT_EQ(player.Number("Score"), 3);
  EXPECT_EQ(player.Number("TimedOut"), 0);
  EXPECT_EQ(player.CurrentTask(), 5);
  EXPECT_EQ(player.TasksRun(), (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST(QuizPlaythrough, ALeftPressWrongKeyAndTimeOutFail) {
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(Quiz()));

  player.PressAndRelease(kRight, {kNowhere}, kNowhere);
  EXPECT_EQ(player.CurrentTask(), 1) << "released outside: no answer";
  EXPECT_EQ(player.Number("Score"), 0);
  player.PressAndRelease(kWrong, {kNowhere, kWrong}, kWrong);
  EXPECT_EQ(player.CurrentTask(), 2) << "left and came back before the release";

  player.Key('N');
  EXPECT_EQ(player.CurrentTask(), 3);
  player.Tick(4900);
  EXPECT_EQ(player.CurrentTask(), 3);
  player.Tick(100);
  EXPECT_EQ(player.Number("TimedOut"), 1);
  EXPECT_EQ(player.Number("Score"), 0);
  EXPECT_EQ(player.CurrentTask(), 6);
  EXPECT_EQ(player.TasksRun(), (std::vector<int>{1, 2, 3, 4, 6}));
}

TEST(QuizPlaythrough, TheButtonIsDrawnOnThePage) {
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(Quiz()));
  // The default face grey inside the button, its white top-left edge.
  EXPECT_EQ(player.Pixel(120, 340), RGB(0xC0, 0xC0, 0xC0));
  EXPECT_EQ(player.Pixel(101, 320), RGB(0xFF, 0xFF, 0xFF));
}

TEST(QuizPlaythrough, TheButtonCourseGoesToItsSecondPageByClickOrHotKey) {
  const auto folder = std::filesystem::path(TVN_TEST_DATA_DIR) / "reference-courses" / "b_button";
  std::ifstream in(folder / "b_button.mcl", std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  for (bool byKey : {false, true}) {
    SCOPED_TRACE(byKey ? "key" : "click");
    ScriptedPlayer player;
    ASSERT_TRUE(player.Start(bytes, "b_button.mcl"));
    const int first = player.CurrentTask();
    if (byKey) player.Key('O');
    else player.PressAndRelease(CPoint(320, 325), {}, CPoint(320, 325));
    EXPECT_NE(player.CurrentTask(), first);
    ASSERT_GE(player.TasksRun().size(), 2u);
  }
}

TEST(QuizPlaythrough, PictureButtonsAndPolygonsLoadInBothFileForms) {
  for (int version : {3, 5}) {
    SCOPED_TRACE(version);
    ScriptedPlayer player;
    ASSERT_TRUE(player.Start(Shapes(version)));
    EXPECT_EQ(player.CurrentTask(), 1);
    // Outside the polygon's corner, inside its rectangle: nothing.
    player.Click(CPoint(85, 75));
    EXPECT_EQ(player.CurrentTask(), 1);
    // The polygon flashes (on the page's waiter) and answers.
    player.Click(CPoint(40, 50));
    EXPECT_EQ(player.CurrentTask(), 2);
  }
}

TEST(QuizPlaythrough, AButtonThatRunsItsActionsAndStaysLeavesTheTimeOutRunning) {
  CourseFileFields f;
  VariableFields clicks;
  clicks.name = "Clicks";
  clicks.flags = 0x200;
  f.variables.push_back(clicks);
  f.tasks.push_back([](CourseBuilder& b) {
    ResponseFields stay;
    stay.outcomeFlags = 0x20;
    stay.actions = {[](CourseBuilder& c) { c.VariableAction(IconFields{4, "count", "", 3}, "Clicks = Clicks + 1"); }};
    b.Task(IconFields{4, "Q", "", 3}, 1, {}, {},
           {[stay](CourseBuilder& c) {
              c.PushButtonResponse(IconFields{4, "more", "", 3}, stay, Caption("More"), {100, 300, 240, 350});
            },
            [](CourseBuilder& c) { c.TimeResponse(IconFields{4, "late", "", 3}, Outcomes(1, 1), 30); }});
  });
  f.tasks.push_back([](CourseBuilder& b) {
    b.Task(IconFields{4, "after", "", 3}, 2, {}, {}, {[](CourseBuilder& c) {
             c.KeyboardResponse(IconFields{4, "end", "", 3}, ResponseFields{}, KeyFields{});
           }});
  });
  CourseBuilder b;
  b.CourseFile(f);

  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(b.bytes()));
  player.Tick(2000);
  player.PressAndRelease(kRight, {}, kRight);
  player.PressAndRelease(kRight, {}, kRight);
  EXPECT_EQ(player.Number("Clicks"), 2);
  EXPECT_EQ(player.CurrentTask(), 1);
  player.Tick(1000);
  EXPECT_EQ(player.CurrentTask(), 2) << "the time-out counts from the task's start";
}

TEST(QuizPlaythrough, ATimeOutWhileTheButtonIsHeldWinsAndTheReleaseAnswersNothing) {
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(Quiz()));
  player.PressAndRelease(kRight, {}, kRight);
  player.Click(kSpot);
  ASSERT_EQ(player.CurrentTask(), 3);
  // The time response's timer comes while the button is held down.
  const CPoint answer(170, 325);
  player.View().PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(answer.x, answer.y));
  player.View().PostMessage(WM_TIMER, 18, 0);
  player.View().PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(answer.x, answer.y));
  player.Pump();
  EXPECT_EQ(player.Number("TimedOut"), 1);
  EXPECT_EQ(player.Number("Score"), 2) << "the release came after the task had ended";
  EXPECT_EQ(player.TasksRun(), (std::vector<int>{1, 2, 3, 4, 6}));
}
