// A course read from its file answers menu commands, time-outs and conditions, with the view's timers behind it.
#include <gtest/gtest.h>

#include "behaviour/time_event.h"
#include "model/course_doc.h"
#include "model/variable.h"
#include "platform/base/host_path.h"
#include "platform/msg/window_messages.h"
#include "tests/support/course_builder.h"
#include "tests/support/fake_course_host.h"
#include "tests/support/packed_file_builder.h"
#include "tests/support/temp_dir.h"

using tvn::testing::CourseBuilder;
using tvn::testing::CourseFileFields;
using tvn::testing::EventFields;
using tvn::testing::FakeCourseHost;
using tvn::testing::IconFields;
using tvn::testing::ResponseFields;
using tvn::testing::TempDir;

namespace {

ResponseFields GoTo(std::int32_t task) {
  ResponseFields r;
  r.outcomeFlags = 0x2;
  r.targets = {task};
  return r;
}

// Task 1 waits for the menu command 300 (to task 3), a left click (to task
// 2) or 2.5 s (next task); task 2 decides by the score at once (above 5
// back to task 1, else on); task 3
// holds a time event and a menu event.
CourseFileFields Quiz() {
  CourseFileFields f;
  f.tasks = {
      [](CourseBuilder& b) {
        ResponseFields timeout;
        timeout.expression = "Score = Score - 1";
        b.Task(IconFields{4, "question", "", 3}, 1, {}, {},
               {[](CourseBuilder& c) { c.MenuResponse(IconFields{4, "menu", "", 3}, GoTo(3), "&Skip", 300); },
                [](CourseBuilder& c) { c.MouseResponse(IconFields{4, "click", "", 3}, GoTo(2), 0x11); },
                [timeout](CourseBuilder& c) { c.TimeResponse(IconFields{4, "timeout", "", 3}, timeout, 25); }});
      },
      [](CourseBuilder& b) {
        ResponseFields next;
        next.outcomeFlags = 0x1;
        b.Task(IconFields{4, "judge", "", 3}, 2, {}, {},
               {[](CourseBuilder& c) { c.ConditionResponse(IconFields{4, "good", "", 3}, GoTo(1), "Score > 5"); },
                [next](CourseBuilder& c) { c.ConditionResponse(IconFields{4, "empty", "", 3}, next, ""); }});
      },
      [](CourseBuilder& b) {
        b.Task(IconFields{4, "end", "", 3}, 3,
               {[](CourseBuilder& c) { c.TimeEvent(IconFields{4, "tick", "", 3}, EventFields{1, ""}, 5); },
                [](CourseBuilder& c) {
                  c.MenuEvent(IconFields{4, "help", "", 3}, EventFields{1, ""}, "&Help", 70000);
                }},
               {}, {});
      },
  };
  return f;
}

class ArmedList : public IArmedEventSink {
 public:
  void AppendArmed(CEventTrigger* event, CCourseDoc*, CTask*) override { events.push_back(event); }
  std::vector<CEventTrigger*> events;
};

struct AnswersCourseTest : ::testing::Test {
  void SetUp() override {
    // Scripts see the run's variables, whose course table the host keeps.
    host.vars.Declare("Score", VarType::kNumber);
    CourseBuilder b;
    b.CourseFile(Quiz());
    tvn::testing::WriteBytes(dir / "quiz.mcl", b.bytes());
    ASSERT_TRUE(doc.OnOpenDocument(tvn::path::HostPathToText(dir / "quiz.mcl")));
    ASSERT_EQ(doc.Tasks().GetCount(), 3);
  }
  int CurrentNumber() { return doc.GetCurrentTask() ? doc.GetCurrentTask()->GetTaskNumber() : 0; }
  double Score() { return host.vars.Var("Score").GetReal(); }

  TempDir dir;
  FakeCourseHost host;
  CCourseDoc doc{host};
};

}  // namespace

TEST_F(AnswersCourseTest, MenuCommandBranchesAndTheTimeOutWaitsItsTenths) {
  EXPECT_TRUE(doc.CurrentTaskRequest());
  EXPECT_EQ(host.timers.running.at(18), 2500u);
  EXPECT_FALSE(doc.CurrentTaskFind4(70000, 0));
  ASSERT_TRUE(doc.CurrentTaskFind4(300, 0));
  EXPECT_EQ(doc.NextTask(), 1);
  EXPECT_EQ(CurrentNumber(), 3);
}

TEST_F(AnswersCourseTest, ClickOrTimeOutAnswerTheQuestion) {
  doc.CurrentTaskRequest();
  EXPECT_FALSE(doc.CurrentTaskFind2(WM_RBUTTONDOWN, MK_RBUTTON, CPoint(3, 3)));
  ASSERT_TRUE(doc.CurrentTaskFind2(WM_LBUTTONDOWN, MK_LBUTTON, CPoint(3, 3)));
  EXPECT_EQ(doc.NextTask(), 1);
  EXPECT_EQ(CurrentNumber(), 2);

  doc.SetCurrentTask(doc.FindTaskByNumber(1));
  doc.CurrentTaskRequest();
  ASSERT_TRUE(doc.CurrentTaskFind5(18));
  EXPECT_EQ(doc.NextTask(), 1);
  EXPECT_EQ(CurrentNumber(), 2);
  EXPECT_EQ(Score(), -1.0);
}

TEST_F(AnswersCourseTest, ConditionTaskIsDoneAtOnceAndDecidedByTheScore) {
  for (auto [score, next] : {std::pair{6.0, 1}, std::pair{2.0, 3}}) {
    host.vars.Var("Score").SetReal(score);
    doc.SetCurrentTask(doc.FindTaskByNumber(2));
    EXPECT_FALSE(doc.CurrentTaskRequest());
    EXPECT_EQ(doc.GetCurrentResponse(), nullptr);
    EXPECT_EQ(doc.NextTask(), 1);
    EXPECT_EQ(CurrentNumber(), next) << score;
  }
}

TEST_F(AnswersCourseTest, ArmedEventsRunOnTheViewsTimersUntilStopped) {
  ArmedList armed;
  doc.ResetTaskEvents(armed);
  ASSERT_EQ(armed.events.size(), 2u);
  auto* tick = DynamicDowncast<CTimeEvent>(armed.events[0]);
  ASSERT_NE(tick, nullptr);
  EXPECT_EQ(host.timers.running.at(tick->GetTimerId()), 5000u);
  EXPECT_TRUE(armed.events[0]->OnTimer(static_cast<int>(tick->GetTimerId())));
  EXPECT_TRUE(armed.events[1]->OnCommand(70000, 0));
  EXPECT_FALSE(armed.events[1]->OnCommand(70000 & 0xFFFF, 0));
  for (CEventTrigger* event : armed.events) event->Stop();
  EXPECT_TRUE(host.timers.running.empty());
}
