// Tasks read from a course stream: their managers, question clock, scoring and copying.
#include "model/task.h"

#include <gtest/gtest.h>

#include "behaviour/action_manager.h"
#include "behaviour/event_manager.h"
#include "behaviour/keyboard_response.h"
#include "behaviour/response.h"
#include "behaviour/response_manager.h"
#include "model/archive.h"
#include "tests/support/course_builder.h"
#include "tests/support/fake_task_services.h"
#include "tests/support/stream_reader.h"

using tvn::testing::CourseBuilder;
using tvn::testing::FakeTaskServices;
using tvn::testing::IconFields;
using tvn::testing::ResponseFields;
using tvn::testing::StreamReader;

namespace {

// A check button as far as scoring asks: marked, and standing right or not.
class CTestCheckResponse : public CResponse {
  DECLARE_SERIAL(CTestCheckResponse)
 public:
  CTestCheckResponse() : CResponse(ResponseKind::kCheckButton) {}
  BYTE IsRightAnswer() override { return right; }
  BYTE right = 0;
};
IMPLEMENT_SERIAL(CTestCheckResponse, CResponse, VERSIONABLE_SCHEMA | 2)

CourseBuilder::Writer ResponseWriter(const char* cls, const char* name, ResponseFields r, DWORD flags = 4) {
  return [=](CourseBuilder& b) { b.Response(cls, 2, IconFields{flags, name, "", 3}, r); };
}

ResponseFields Marked(std::uint8_t mark) {
  ResponseFields r;
  r.answerMark = mark;
  return r;
}

std::unique_ptr<CTask> ReadTask(const CourseBuilder& b, int version = 5) {
  StreamReader r(b.bytes(), version);
  return r.ar.ReadOwned<CTask>();
}

// A question with a right and a wrong button (plain marked responses).
std::unique_ptr<CTask> Question(FakeTaskServices& services) {
  CourseBuilder b;
  b.Task(IconFields{4, "q", "", 3}, 7, {}, {},
         {ResponseWriter("CResponse", "right", Marked(1)), ResponseWriter("CResponse", "wrong", Marked(2))});
  auto task = ReadTask(b);
  task->SetServices(&services);
  return task;
}

double Number(FakeTaskServices& s, const char* name) { return s.vars.Var(name).GetReal(); }

// Enters the task, lets time pass and answers with the response at index.
int Answer(CTask& task, FakeTaskServices& s, int index, DWORD millis = 1500) {
  CIconObject* fired = nullptr;
  task.Activate(&fired);
  s.tick += millis;
  int target = 0;
  return task.EvaluateAnswer(task.GetResponses()->GetChild(index), &target);
}

}  // namespace

TEST(Task, ReadsNumberAndItsThreeListsInStoredOrder) {
  for (int version : {4, 5}) {
    CourseBuilder b(version);
    b.Task(IconFields{0x84, "page", "", 3}, 12,
           {[](CourseBuilder& w) { w.DemonEvent(IconFields{4, "demon", "", 3}, {}, "X = 1"); }},
           {[](CourseBuilder& w) { w.Action("CAction", 2, IconFields{4, "act", "", 3}); }},
           {ResponseWriter("CResponse", "resp", Marked(0))});
    auto task = ReadTask(b, version);
    ASSERT_TRUE(task) << version;
    EXPECT_EQ(task->GetKind(), 1);
    EXPECT_EQ(task->GetIconId(), 1);
    EXPECT_EQ(task->GetTaskNumber(), 12);
    EXPECT_EQ(task->GetFlags(), 0x84u);
    EXPECT_EQ(task->GetName(), CString("page"));
    ASSERT_TRUE(DynamicDowncast<CEventManager>(task->GetEvents()));
    ASSERT_TRUE(DynamicDowncast<CActionManager>(task->GetActions()));
    ASSERT_TRUE(DynamicDowncast<CResponseManager>(task->GetResponses()));
    EXPECT_EQ(task->GetEvents()->GetKind(), 2);
    EXPECT_EQ(task->GetActions()->GetKind(), 3);
    EXPECT_EQ(task->GetResponses()->GetKind(), 4);
    EXPECT_EQ(task->GetEvents()->GetChild(0)->GetName(), CString("demon"));
    EXPECT_EQ(task->GetActions()->GetChild(0)->GetName(), CString("act"));
    CIconObject* resp = task->GetResponses()->GetChild(0);
    EXPECT_EQ(resp->GetName(), CString("resp"));
    for (CIconManager* m : {task->GetEvents(), task->GetActions(), task->GetResponses()})
      EXPECT_EQ(m->GetParent(), task.get());
    EXPECT_EQ(TaskOf(resp), task.get());
    EXPECT_EQ(task->GetAnswerState(), -1);
    EXPECT_FALSE(task->HasQuestion());
  }
}

TEST(Task, IsOrContainsFindsObjectsInsideResponseActionLists) {
  ResponseFields withAction;
  withAction.actions = {[](CourseBuilder& w) { w.Action("CAction", 2, IconFields{4, "inner", "", 3}); }};
  CourseBuilder kb;
  kb.Task(IconFields{}, 1, {}, {},
          {[&](CourseBuilder& w) { w.KeyboardResponse(IconFields{4, "k", "", 3}, withAction, {}); }});
  auto task = ReadTask(kb);
  ASSERT_TRUE(task);
  auto* response = static_cast<CResponse*>(task->GetResponses()->GetChild(0));
  CIconObject* inner = response->GetActions().GetChild(0);
  ASSERT_TRUE(inner);
  EXPECT_TRUE(task->IsOrContains(task.get()));
  EXPECT_TRUE(task->IsOrContains(inner));
  EXPECT_EQ(TaskOf(inner), task.get());
  CTask other;
  EXPECT_FALSE(task->IsOrContains(&other));
  EXPECT_FALSE(task->IsOrContains(other.GetActions()));
}

TEST(TaskScore, WrongTwiceThenRightReenteringEachTime) {
  FakeTaskServices s;
  auto task = Question(s);
  ASSERT_TRUE(task->HasQuestion());
  Answer(*task, s, 1, 1500);
  Answer(*task, s, 1, 2000);
  Answer(*task, s, 0, 700);
  EXPECT_EQ(Number(s, "QuestionsWrong"), 2);
  EXPECT_EQ(Number(s, "QuestionsCorrect"), 1);
  EXPECT_EQ(Number(s, "QuestionsAnswered"), 1);
  EXPECT_EQ(Number(s, "QuestionsRepeated"), 1);
  EXPECT_EQ(task->GetAnswerState(), 1);
  EXPECT_EQ(task->GetAttempts(), 3);
  EXPECT_EQ(task->GetAnswerTime(), 4200);
  EXPECT_EQ(s.vars.Var("QuestionTime").GetTimeSpan(), 4);  // whole seconds
  EXPECT_DOUBLE_EQ(Number(s, "PercentageCorrect"), 100.0);
}

TEST(TaskScore, AnswerWhileStayingFindsTheClockStoppedButStillScores) {
  FakeTaskServices s;
  auto task = Question(s);
  Answer(*task, s, 1, 3000);
  int target = 0;
  s.tick += 5000;
  task->EvaluateAnswer(task->GetResponses()->GetChild(0), &target);  // not entered again
  EXPECT_EQ(task->GetAttempts(), 1);
  EXPECT_EQ(Number(s, "QuestionsAnswered"), 1);
  EXPECT_EQ(Number(s, "QuestionsRepeated"), 0);
  EXPECT_EQ(s.vars.Var("QuestionTime").GetTimeSpan(), 3);
  EXPECT_EQ(Number(s, "QuestionsWrong"), 1);
  EXPECT_EQ(Number(s, "QuestionsCorrect"), 1);
}

TEST(TaskScore, RightCountsOnceAndWrongAfterRightIsNotCounted) {
  FakeTaskServices s;
  auto task = Question(s);
  Answer(*task, s, 0);
  Answer(*task, s, 0);
  EXPECT_EQ(Number(s, "QuestionsCorrect"), 1);
  EXPECT_EQ(task->GetAnswerState(), 2);
  Answer(*task, s, 1);
  EXPECT_EQ(Number(s, "QuestionsWrong"), 0);
  EXPECT_EQ(task->GetAnswerState(), 2);
  task->UpdateScore(7);  // an unknown mark forgets the judgement
  EXPECT_EQ(task->GetAnswerState(), -1);
  EXPECT_EQ(Number(s, "QuestionsCorrect"), 1);
}

TEST(TaskScore, PercentageIsUnroundedAndKeptWhileNothingIsAnswered) {
  FakeTaskServices s;
  CTask task;
  task.SetServices(&s);
  s.vars.Var("PercentageCorrect").SetReal(12.5);
  task.UpdateScore(1);  // nothing answered yet: the percentage stays
  EXPECT_DOUBLE_EQ(Number(s, "PercentageCorrect"), 12.5);
  CTask second;
  second.SetServices(&s);
  s.vars.Var("QuestionsCorrect").SetReal(3);
  s.vars.Var("QuestionsAnswered").SetReal(6.9);  // truncated to 6
  second.UpdateScore(1);
  EXPECT_EQ(Number(s, "QuestionsCorrect"), 4);
  EXPECT_DOUBLE_EQ(Number(s, "PercentageCorrect"), 400.0 / 6.0);
}

TEST(TaskScore, TickCountWrapDuringAnAnswerIsTimedRight) {
  FakeTaskServices s;
  auto task = Question(s);
  s.tick = 0xFFFFFC18u;  // 1000 ms before the wrap
  CIconObject* fired = nullptr;
  task->Activate(&fired);
  s.tick = 0;  // a start or stop exactly at 0 must not lose the answer
  int target = 0;
  task->EvaluateAnswer(task->GetResponses()->GetChild(1), &target);
  EXPECT_EQ(task->GetAnswerTime(), 1000);
  task->Activate(&fired);  // clock starts at tick 0
  s.tick = 2500;
  task->EvaluateAnswer(task->GetResponses()->GetChild(0), &target);
  EXPECT_EQ(task->GetAttempts(), 2);
  EXPECT_EQ(task->GetAnswerTime(), 3500);
}

TEST(TaskScore, CheckButtonsDecideAnswerTextAndAMarkedMatchScoresToo) {
  FakeTaskServices s;
  CourseBuilder b;
  b.Task(IconFields{}, 1, {}, {},
         {ResponseWriter("CTestCheckResponse", "c1", Marked(1)), ResponseWriter("CTestCheckResponse", "c2", Marked(1)),
          ResponseWriter("CResponse", "ok", Marked(1))});
  auto task = ReadTask(b);
  task->SetServices(&s);
  static_cast<CTestCheckResponse*>(task->GetResponses()->GetChild(0))->right = 1;
  CIconObject* fired = nullptr;
  task->Activate(&fired);
  int target = 0;
  task->EvaluateAnswer(task->GetResponses()->GetChild(2), &target);
  EXPECT_EQ(s.vars.Var("AnswerText").GetString(), CString("Wrong"));
  EXPECT_EQ(Number(s, "QuestionsWrong"), 1);
  EXPECT_EQ(Number(s, "QuestionsCorrect"), 1);  // the push of a right button scores after the checks
  static_cast<CTestCheckResponse*>(task->GetResponses()->GetChild(1))->right = 1;
  task->Activate(&fired);
  task->EvaluateAnswer(nullptr, &target);
  EXPECT_EQ(s.vars.Var("AnswerText").GetString(), CString("Right"));
}

TEST(TaskScore, WithoutCheckButtonsAnswerTextIsLeftAlone) {
  FakeTaskServices s;
  auto task = Question(s);
  s.vars.Var("AnswerText").SetString("untouched");
  Answer(*task, s, 0);
  EXPECT_EQ(s.vars.Var("AnswerText").GetString(), CString("untouched"));
}

TEST(TaskScore, DisabledMarkedResponsesMakeNoQuestionAndAreNeverScored) {
  FakeTaskServices s;
  CourseBuilder b;
  b.Task(IconFields{}, 1, {}, {},
         {ResponseWriter("CResponse", "off", Marked(1), 0x84), ResponseWriter("CTestCheckResponse", "c", Marked(1), 0x84)});
  auto task = ReadTask(b);
  task->SetServices(&s);
  EXPECT_FALSE(task->HasQuestion());
  CIconObject* fired = nullptr;
  task->Activate(&fired);
  EXPECT_FALSE(task->IsQuestionClockRunning());
  int target = 0;
  EXPECT_EQ(task->EvaluateAnswer(task->GetResponses()->GetChild(0), &target), 1);
  EXPECT_EQ(Number(s, "QuestionsCorrect"), 0);
  EXPECT_EQ(Number(s, "QuestionsAnswered"), 0);
  EXPECT_EQ(task->GetAnswerState(), -1);
}

TEST(Task, ActivateStartsTheClockOnlyForQuestionsAndReportsTheFiredResponse) {
  FakeTaskServices s;
  CourseBuilder b;
  ResponseFields plain;
  b.Task(IconFields{}, 1, {}, {}, {ResponseWriter("CResponse", "waits", plain)});
  auto task = ReadTask(b);
  task->SetServices(&s);
  CIconObject* fired = task.get();
  EXPECT_EQ(task->Activate(&fired), 1);
  EXPECT_EQ(fired, nullptr);
  EXPECT_FALSE(task->IsQuestionClockRunning());
  auto question = Question(s);
  question->Activate(&fired);
  EXPECT_TRUE(question->IsQuestionClockRunning());
}

TEST(Task, CopyKeepsListsStartsScoringAfreshAndTakesTheNumber) {
  FakeTaskServices s;
  auto source = Question(s);
  Answer(*source, s, 0);
  CTask copy;
  copy.GetResponses()->AddChild(std::make_unique<CResponse>());
  copy.CopyFrom(source.get(), FALSE);
  EXPECT_EQ(copy.GetTaskNumber(), 7);
  EXPECT_EQ(copy.GetName(), CString("q"));
  EXPECT_EQ(copy.GetResponses()->GetCount(), 1);  // children are not copied
  EXPECT_EQ(copy.GetResponses()->GetParent(), &copy);
  EXPECT_EQ(copy.GetAnswerState(), -1);
  EXPECT_EQ(copy.GetAttempts(), 0);
}

TEST(Task, WithoutServicesNothingIsScoredAndNothingBreaks) {
  CourseBuilder b;
  b.Task(IconFields{}, 1, {}, {}, {ResponseWriter("CResponse", "r", Marked(1))});
  auto task = ReadTask(b);
  CIconObject* fired = nullptr;
  task->Activate(&fired);
  int target = 0;
  EXPECT_EQ(task->EvaluateAnswer(task->GetResponses()->GetChild(0), &target), 1);
  EXPECT_EQ(task->GetAnswerState(), 1);
  EXPECT_TRUE(task->ForwardToActions());
}
