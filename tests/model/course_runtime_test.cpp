// The course at run time: the next-task rule for every outcome, looking ahead, arming, questions and input.
#include <gtest/gtest.h>

#include "behaviour/event_trigger.h"
#include "model/course_doc.h"
#include "tests/support/course_builder.h"
#include "tests/support/fake_course_host.h"
#include "tests/support/packed_file_builder.h"
#include "tests/support/temp_dir.h"
#include "platform/base/host_path.h"

using tvn::testing::CourseBuilder;
using tvn::testing::CourseFileFields;
using tvn::testing::EventFields;
using tvn::testing::FakeCourseHost;
using tvn::testing::IconFields;
using tvn::testing::TempDir;
using tvn::testing::WriteBytes;

namespace {

// A response whose outcome, input and activation the test decides.
class CScriptedResponse : public CIconObject, public IOutcomeSource {
 public:
  CScriptedResponse() : CIconObject(20, 20) {}
  int ExecuteResponse(int* target) override {
    ++executed;
    *target = target_;
    return outcome;
  }
  int GetOutcome(int* target) override {
    ++looked;
    *target = lookTarget;
    return lookOutcome;
  }
  BOOL OnKey(int key, int) override { return key == acceptKey; }
  BOOL OnMouseMove(UINT, CPoint, int source, const CRect*) override {
    sources.push_back(source);
    return FALSE;
  }
  BOOL OnMouseButton(UINT, UINT, CPoint, int source, const CRect*) override {
    sources.push_back(source);
    return TRUE;
  }
  BOOL Activate() override { return waits; }
  BYTE GetAnswerMark() override { return mark; }

  int outcome = Outcome::kNext;
  int target_ = 0;
  int lookOutcome = Outcome::kNext;
  int lookTarget = 0;
  int executed = 0;
  int looked = 0;
  int acceptKey = 'A';
  BOOL waits = TRUE;
  BYTE mark = 0;
  std::vector<int> sources;
};

// Five tasks numbered 10 to 50, each with one scripted response.
struct CourseRuntimeTest : ::testing::Test {
  FakeCourseHost host;
  CCourseDoc doc{host};
  std::vector<CTask*> tasks;
  std::vector<CScriptedResponse*> responses;

  void SetUp() override {
    for (int i = 0; i < 5; ++i) {
      auto task = std::make_unique<CTask>();
      task->SetTaskNumber((i + 1) * 10);
      task->SetServices(&doc);
      auto response = std::make_unique<CScriptedResponse>();
      responses.push_back(response.get());
      task->GetResponses()->AddChild(std::move(response));
      tasks.push_back(task.get());
      doc.Tasks().AddTail(std::move(task));
    }
    doc.SetCurrentTask(tasks[0]);
  }

  // Decides with the current task's response.
  int Decide(int outcome, int target = 0) {
    int at = doc.Tasks().Find(doc.GetCurrentTask());
    CScriptedResponse* response = responses[static_cast<std::size_t>(at)];
    response->outcome = outcome;
    response->target_ = target;
    doc.SetCurrentResponse(response);
    return doc.NextTask();
  }
  int Index(const CTask* task) { return task ? doc.Tasks().Find(task) : -1; }
};

TEST_F(CourseRuntimeTest, EveryOutcomeLandsOnItsTask) {
  struct Row {
    int from;
    int outcome;
    int target;
    WORD previous;
    int expected;  // -1: the course ends
  };
  const Row rows[] = {
      {0, Outcome::kNext, 0, 0, 1},       {4, Outcome::kNext, 0, 0, -1},     {1, 77, 0, 0, 2},
      {0, Outcome::kGoTo, 40, 0, 3},      {0, Outcome::kGoTo, 99, 0, 1},     {3, Outcome::kFirst, 0, 0, 0},
      {0, Outcome::kLast, 0, 0, 4},       {2, Outcome::kEnd, 0, 0, -1},      {3, Outcome::kForward, 3, 0, 4},
      {4, Outcome::kForward, 3, 0, -1},   {1, Outcome::kForward, 0, 0, -1},  {1, Outcome::kForward, 2, 0, 3},
      {2, Outcome::kBack, 5, 0, 0},       {2, Outcome::kBack, 1, 0, 1},      {0, Outcome::kBack, 1, 0, 0},
      {3, Outcome::kPrevious, 0, 20, 1},  {1, Outcome::kPrevious, 0, 0, 2},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const Row& row = rows[i];
    SCOPED_TRACE("row " + std::to_string(i));
    doc.SetCurrentTask(tasks[static_cast<std::size_t>(row.from)]);
    doc.SetPreviousTaskNumber(row.previous);
    int result = Decide(row.outcome, row.target);
    EXPECT_EQ(Index(doc.GetCurrentTask()), row.expected);
    EXPECT_EQ(result, row.expected >= 0 ? 1 : 0);
    // The task just played is the one outcome 64 goes back to.
    EXPECT_EQ(doc.GetPreviousTaskNumber(), (row.from + 1) * 10);
  }
}

TEST_F(CourseRuntimeTest, StayKeepsTheTaskAndThePreviousNumber) {
  doc.SetCurrentTask(tasks[2]);
  doc.SetPreviousTaskNumber(20);
  EXPECT_EQ(Decide(Outcome::kStay), -1);
  EXPECT_EQ(doc.GetCurrentTask(), tasks[2]);
  EXPECT_EQ(doc.GetPreviousTaskNumber(), 20);
}

TEST_F(CourseRuntimeTest, ReturningNeedsACallerThatIsStillOpen) {
  doc.SetCurrentTask(tasks[1]);
  EXPECT_EQ(Decide(Outcome::kReturn), 1);
  EXPECT_EQ(doc.GetCurrentTask(), tasks[1]);

  FakeCourseHost callerHost;
  CCourseDoc caller(callerHost);
  doc.SetCallerCourse(&caller, nullptr);
  // The caller has closed meanwhile: the task plays again.
  EXPECT_EQ(Decide(Outcome::kReturn), 1);
  EXPECT_EQ(doc.GetCurrentTask(), tasks[1]);

  host.openCourses.insert(&caller);
  EXPECT_EQ(Decide(Outcome::kReturn), 0);
  EXPECT_EQ(doc.GetCurrentTask(), nullptr);
  EXPECT_EQ(doc.GetCallerCourse(), &caller);
}

TEST_F(CourseRuntimeTest, WithoutACurrentTaskNothingMoves) {
  doc.SetCurrentTask(nullptr);
  EXPECT_EQ(doc.NextTask(), 0);
  EXPECT_FALSE(doc.CurrentTaskHasAction());
  EXPECT_FALSE(doc.CurrentTaskRequest());
  EXPECT_FALSE(doc.CurrentTaskFind3('A', 0));
  EXPECT_TRUE(doc.IsCourseOpenWithoutTask());
}

TEST_F(CourseRuntimeTest, LookingAheadChangesNothing) {
  doc.SetPreviousTaskNumber(30);
  struct Row {
    int outcome;
    int target;
    int expected;
  };
  const Row rows[] = {{Outcome::kEnd, 0, -1},  {Outcome::kReturn, 0, 2}, {Outcome::kStay, 0, 2},
                      {Outcome::kPrevious, 0, 2}, {Outcome::kBack, 9, 0},   {Outcome::kGoTo, 50, 4}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.outcome);
    responses[1]->lookOutcome = row.outcome;
    responses[1]->lookTarget = row.target;
    EXPECT_EQ(Index(doc.TaskAfter(responses[1], FALSE)), row.expected);
  }
  EXPECT_EQ(responses[1]->executed, 0);
  EXPECT_EQ(doc.GetCurrentTask(), tasks[0]);
  EXPECT_EQ(doc.GetPreviousTaskNumber(), 30);

  responses[3]->outcome = Outcome::kFirst;
  EXPECT_EQ(doc.TaskAfter(responses[3], TRUE), tasks[0]);
  EXPECT_EQ(responses[3]->executed, 1);
  CIconObject stranger;
  EXPECT_EQ(doc.TaskAfter(&stranger, TRUE), nullptr);
}

TEST_F(CourseRuntimeTest, TasksAreFoundByNumberAndByWhatTheyHold) {
  EXPECT_EQ(doc.FindTaskByNumber(30), tasks[2]);
  EXPECT_EQ(doc.FindTaskByNumber(31), nullptr);
  EXPECT_EQ(doc.FindTaskOf(responses[4]), tasks[4]);
  EXPECT_EQ(doc.FindTaskOf(tasks[1]), tasks[1]);
  EXPECT_EQ(doc.FindTaskOf(nullptr), nullptr);
}

TEST_F(CourseRuntimeTest, InputGoesToTheCurrentTasksResponses) {
  doc.SetCurrentTask(tasks[1]);
  EXPECT_TRUE(doc.CurrentTaskFind3('A', 0));
  EXPECT_EQ(doc.GetCurrentResponse(), responses[1]);
  // A refused offer clears the response of the offer before.
  EXPECT_FALSE(doc.CurrentTaskFind3('B', 0));
  EXPECT_EQ(doc.GetCurrentResponse(), nullptr);
  EXPECT_FALSE(doc.CurrentTaskFind1(0, CPoint(1, 2)));
  EXPECT_TRUE(doc.CurrentTaskFind2(0x201, 0, CPoint(1, 2)));
  EXPECT_EQ(responses[1]->sources, (std::vector<int>{7, 7}));
  EXPECT_FALSE(doc.CurrentTaskFind4(1, 0));
  EXPECT_FALSE(doc.CurrentTaskFind5(1));
  EXPECT_FALSE(doc.CurrentTaskCall6(1, 0));
  EXPECT_FALSE(doc.CurrentTaskFind7(1, nullptr));
  // A disabled response is never offered anything.
  responses[1]->SetFlags(kIconFlagDisabled);
  EXPECT_FALSE(doc.CurrentTaskFind3('A', 0));
}

TEST_F(CourseRuntimeTest, ARequestThatEndsAtOnceKeepsTheResponseThatEndedIt) {
  doc.SetCurrentTask(tasks[0]);
  EXPECT_TRUE(doc.CurrentTaskRequest());
  EXPECT_EQ(doc.GetCurrentResponse(), nullptr);
  responses[0]->waits = FALSE;
  EXPECT_FALSE(doc.CurrentTaskRequest());
  EXPECT_EQ(doc.GetCurrentResponse(), responses[0]);
  EXPECT_TRUE(doc.CurrentTaskHasAction());
}

TEST_F(CourseRuntimeTest, QuestionsAreCountedIntoTheirVariable) {
  responses[1]->mark = AnswerMark::kRight;
  responses[3]->mark = AnswerMark::kWrong;
  tasks[1]->UpdateScore(AnswerMark::kRight);
  doc.CountQuestions();
  EXPECT_EQ(doc.CourseVariables().FindByName("NoOfQuestions")->GetReal(), 2.0);
  EXPECT_EQ(tasks[1]->GetAnswerState(), -1);
}

class RecordingArmedList : public IArmedEventSink {
 public:
  void AppendArmed(CEventTrigger* event, CCourseDoc* course, CTask* task) override {
    armed.push_back({event->GetName().str(), course, task});
  }
  struct Entry {
    std::string name;
    CCourseDoc* course;
    CTask* task;
  };
  std::vector<Entry> armed;
};

TEST(CourseEvents, EveryEnabledEventOfEveryTaskIsArmedForTheCourse) {
  TempDir dir;
  auto demon = [](const char* name, DWORD flags) {
    return [=](CourseBuilder& b) { b.DemonEvent(IconFields{flags, name, "", 3}, EventFields{}, "x"); };
  };
  CourseFileFields f;
  f.tasks = {[&](CourseBuilder& b) { b.Task(IconFields{4, "t1", "", 3}, 1, {demon("a", 4), demon("off", 0x84)}, {}, {}); },
             [&](CourseBuilder& b) { b.Task(IconFields{4, "t2", "", 3}, 2, {demon("b", 4)}, {}, {}); }};
  CourseBuilder b;
  b.CourseFile(f);
  WriteBytes(dir / "events.mcl", b.bytes());
  FakeCourseHost host;
  CCourseDoc doc(host);
  ASSERT_TRUE(doc.OnOpenDocument(tvn::path::HostPathToText(dir / "events.mcl")));
  RecordingArmedList list;
  doc.ResetTaskEvents(list);
  ASSERT_EQ(list.armed.size(), 2u);
  EXPECT_EQ(list.armed[0].name, "a");
  EXPECT_EQ(list.armed[0].task, doc.Tasks().GetAt(0));
  EXPECT_EQ(list.armed[1].name, "b");
  EXPECT_EQ(list.armed[1].task, doc.Tasks().GetAt(1));
  EXPECT_EQ(list.armed[1].course, &doc);
}

}  // namespace
