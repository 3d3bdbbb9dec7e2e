// The time event and the time response: their timers on the view, intervals, ticks, copying and stored form.
#include <gtest/gtest.h>

#include <set>

#include "behaviour/event_manager.h"
#include "behaviour/time_event.h"
#include "behaviour/time_response.h"
#include "model/variable.h"
#include "tests/behaviour/answer_test_support.h"

using tvn::testing::CourseBuilder;
using tvn::testing::EventFields;
using tvn::testing::HostTask;
using tvn::testing::IconFields;
using tvn::testing::ReadBack;
using tvn::testing::ResponseFields;

namespace {

std::unique_ptr<CTimeResponse> TimeResponse(std::int32_t tenths, std::int32_t variableId = 0,
                                            const ResponseFields& r = {}) {
  CourseBuilder b;
  b.TimeResponse(IconFields{4, "timeout", "", 3}, r, tenths, variableId);
  return ReadBack<CTimeResponse>(b);
}

std::unique_ptr<CTimeEvent> TimeEvent(std::int32_t seconds, std::int32_t variableId = 0, std::uint32_t iconFlags = 4) {
  CourseBuilder b;
  b.TimeEvent(IconFields{iconFlags, "tick", "", 3}, EventFields{3, "X > 1"}, seconds, variableId);
  return ReadBack<CTimeEvent>(b);
}

class NullArmed : public IArmedEventSink {
 public:
  void AppendArmed(CEventTrigger* event, CCourseDoc*, CTask*) override { armed.push_back(event); }
  std::vector<CEventTrigger*> armed;
};

}  // namespace

TEST(TimeResponse, ReadsTheIntervalBeforeTheResponseBase) {
  ResponseFields r;
  r.outcomeFlags = 0x2;
  r.targets = {4};
  auto t = TimeResponse(25, 0, r);
  ASSERT_TRUE(t);
  EXPECT_EQ(t->GetInterval().GetLiteral(), 25);
  EXPECT_FALSE(t->GetInterval().IsVariable());
  EXPECT_EQ(t->GetBranchTarget(0), 4);
  EXPECT_EQ(t->GetName(), "timeout");
  EXPECT_EQ(CTimeResponse().GetInterval().GetLiteral(), 10);
}

TEST(TimeResponse, ActivationRestartsTimer18WithTheInterval) {
  HostTask h;
  auto* t = h.AddResponse(TimeResponse(25));
  h.services.timers.running[CTimeResponse::kTimerId] = 99;
  EXPECT_TRUE(t->Activate());  // the task waits
  ASSERT_EQ(h.services.timers.killed.size(), 1u);
  EXPECT_EQ(h.services.timers.killed[0], CTimeResponse::kTimerId);
  EXPECT_EQ(h.services.timers.running.at(CTimeResponse::kTimerId), 2500u);
}

TEST(TimeResponse, IntervalsFromLiteralsAndVariables) {
  HostTask h;
  auto& vars = h.services.vars;
  vars.Declare("Wait", VarType::kNumber).SetReal(2.5);
  vars.Declare("Whole", VarType::kInteger).SetLong(3);
  vars.Declare("Huge", VarType::kNumber).SetReal(1e300);
  vars.Declare("Negative", VarType::kNumber).SetReal(-4);
  struct Row {
    std::int32_t literal;
    const char* variable;
    LONG ms;
  };
  const Row rows[] = {
      {25, nullptr, 2500},        {0, "Wait", 2500},          {0, "Whole", 3000},
      {0, nullptr, CTimeResponse::kMinMs},  // the shortest period the timer keeps
      {-5, nullptr, CTimeResponse::kMinMs},
      {0x7FFFFFFF, nullptr, CTimeResponse::kMaxMs},
      {0, "Huge", CTimeResponse::kMaxMs}, {0, "Negative", CTimeResponse::kMinMs},
  };
  for (const Row& row : rows) {
    auto* t = h.AddResponse(TimeResponse(row.literal, row.variable ? CVariable::ComputeId(row.variable) : 0));
    EXPECT_EQ(t->IntervalMs(), row.ms) << row.literal << " " << (row.variable ? row.variable : "");
  }
}

TEST(TimeResponse, TakesOnlyTimer18AndNeverWhenDisabled) {
  HostTask h;
  auto* t = h.AddResponse(TimeResponse(10));
  EXPECT_TRUE(t->OnTimer(18));
  EXPECT_FALSE(t->OnTimer(37));
  EXPECT_FALSE(t->OnTimer(201));
  EXPECT_EQ(h.task.GetResponses()->FindTimerTarget(18), t);
  t->SetFlags(t->GetFlags() | 0x80);
  EXPECT_FALSE(t->OnTimer(18));
}

TEST(TimeResponse, StayingKeepsTheTimerAndRunsTheActionsEachTick) {
  ResponseFields r;
  r.outcomeFlags = 0x20;
  r.actions = {[](CourseBuilder& b) { b.Action("CAction", 2, IconFields{4, "again", "", 3}); }};
  HostTask h;
  auto* t = h.AddResponse(TimeResponse(5, 0, r));
  t->Activate();
  for (int tick = 0; tick < 3; ++tick) {
    ASSERT_EQ(h.task.GetResponses()->FindTimerTarget(18), t);
    int target = 0;
    EXPECT_EQ(h.task.EvaluateAnswer(t, &target), Outcome::kStay);
    EXPECT_EQ(h.services.timers.running.count(CTimeResponse::kTimerId), 1u);
  }
  EXPECT_EQ(h.services.timers.killed.size(), 1u);  // only the activation's restart
}

TEST(TimeResponse, WithoutAViewTheTaskStillWaits) {
  HostTask h;
  h.services.hasTimers = false;
  auto* t = h.AddResponse(TimeResponse(25));
  EXPECT_TRUE(t->Activate());
  EXPECT_TRUE(h.services.timers.running.empty());
}

TEST(TimeResponse, CopiesTheBinding) {
  auto source = TimeResponse(0, 1234);
  CTimeResponse copy;
  copy.CopyFrom(source.get(), TRUE);
  EXPECT_EQ(copy.GetInterval().GetVariableId(), 1234);
  CTimeResponse constructed(*source);
  EXPECT_EQ(constructed.GetInterval().GetVariableId(), 1234);
}

TEST(TimeEvent, ReadsTheIntervalBeforeTheTriggerPart) {
  auto e = TimeEvent(30, 77);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->GetInterval().GetLiteral(), 30);
  EXPECT_EQ(e->GetInterval().GetVariableId(), 77);
  EXPECT_EQ(e->GetEventFlags(), 3);
  EXPECT_EQ(e->GetCondition(), "X > 1");
  EXPECT_EQ(e->GetTimerId(), 0u);
  EXPECT_EQ(CTimeEvent().GetInterval().GetLiteral(), 600);
}

TEST(TimeEvent, RepeatsEveryWholeSecondOfItsVariable) {
  HostTask h;
  h.services.vars.Declare("Every", VarType::kNumber).SetReal(1.9);
  auto* e = h.AddEvent(TimeEvent(600, CVariable::ComputeId("Every")));
  EXPECT_EQ(e->Start(), 1);
  ASSERT_NE(e->GetTimerId(), 0u);
  EXPECT_EQ(h.services.timers.running.at(e->GetTimerId()), 1000u);
  // It keeps running when it fires.
  EXPECT_TRUE(e->OnTimer(static_cast<int>(e->GetTimerId())));
  EXPECT_TRUE(e->OnTimer(static_cast<int>(e->GetTimerId())));
  EXPECT_FALSE(e->OnTimer(18));
  EXPECT_EQ(h.services.timers.running.size(), 1u);
}

TEST(TimeEvent, IntervalsAreClampedToWholeSeconds) {
  HostTask h;
  h.services.vars.Declare("Zero", VarType::kNumber).SetReal(0.4);
  h.services.vars.Declare("Huge", VarType::kNumber).SetReal(1e300);
  EXPECT_EQ(h.AddEvent(TimeEvent(0))->IntervalSeconds(), 1);
  EXPECT_EQ(h.AddEvent(TimeEvent(-30))->IntervalSeconds(), 1);
  EXPECT_EQ(h.AddEvent(TimeEvent(45))->IntervalSeconds(), 45);
  EXPECT_EQ(h.AddEvent(TimeEvent(0x7FFFFFFF))->IntervalSeconds(), CTimeEvent::kMaxSeconds);
  EXPECT_EQ(h.AddEvent(TimeEvent(9, CVariable::ComputeId("Zero")))->IntervalSeconds(), 1);
  EXPECT_EQ(h.AddEvent(TimeEvent(9, CVariable::ComputeId("Huge")))->IntervalSeconds(), CTimeEvent::kMaxSeconds);
  auto* longest = h.AddEvent(TimeEvent(0x7FFFFFFF));
  longest->Start();
  EXPECT_LE(h.services.timers.running.at(longest->GetTimerId()), 0x7FFFFFFFu);
}

TEST(TimeEvent, EachStartTakesAFreshIdAboveTheViewsOwn) {
  HostTask h;
  std::set<UINT> ids;
  for (int i = 0; i < 5; ++i) {
    auto* e = h.AddEvent(TimeEvent(10));
    e->Start();
    EXPECT_GT(e->GetTimerId(), 200u);
    ids.insert(e->GetTimerId());
  }
  EXPECT_EQ(ids.size(), 5u);
  EXPECT_EQ(h.services.timers.running.size(), 5u);

  // Starting again replaces the running timer rather than leaving it behind.
  auto* e = h.AddEvent(TimeEvent(10));
  e->Start();
  UINT first = e->GetTimerId();
  e->Start();
  EXPECT_NE(e->GetTimerId(), first);
  EXPECT_EQ(h.services.timers.running.count(first), 0u);
  EXPECT_FALSE(e->OnTimer(static_cast<int>(first)));
}

TEST(TimeEvent, StopCopyAndDestructionKillTheTimer) {
  HostTask h;
  auto* e = h.AddEvent(TimeEvent(10));
  e->Start();
  UINT id = e->GetTimerId();
  e->Stop();
  EXPECT_EQ(e->GetTimerId(), 0u);
  EXPECT_EQ(h.services.timers.running.count(id), 0u);
  EXPECT_FALSE(e->OnTimer(0));
  e->Stop();  // nothing running: nothing killed again
  EXPECT_EQ(h.services.timers.killed.size(), 1u);

  e->Start();
  auto other = TimeEvent(20);
  e->CopyFrom(other.get(), FALSE);
  EXPECT_EQ(e->GetTimerId(), 0u);
  EXPECT_TRUE(h.services.timers.running.empty());
  EXPECT_EQ(e->GetInterval().GetLiteral(), 20);

  e->Start();
  CTimeEvent copy(*e);
  EXPECT_EQ(copy.GetTimerId(), 0u);  // the copy has no timer of its own
  h.task.GetEvents()->DeleteAll();
  EXPECT_TRUE(h.services.timers.running.empty());
}

TEST(TimeEvent, ArmedWithItsTaskUnlessDisabled) {
  HostTask h;
  auto* on = h.AddEvent(TimeEvent(10));
  auto* off = h.AddEvent(TimeEvent(10, 0, 0x84));
  NullArmed armed;
  dynamic_cast<IEventList*>(h.task.GetEvents())->ArmEvents(armed, nullptr, &h.task);
  ASSERT_EQ(armed.armed.size(), 1u);
  EXPECT_EQ(armed.armed[0], on);
  EXPECT_NE(on->GetTimerId(), 0u);
  EXPECT_EQ(off->GetTimerId(), 0u);
  EXPECT_EQ(h.task.GetEvents()->FindTimerTarget(static_cast<int>(on->GetTimerId())), on);
}

TEST(TimeEvent, WithoutAViewNothingStarts) {
  HostTask h;
  h.services.hasTimers = false;
  auto* e = h.AddEvent(TimeEvent(10));
  EXPECT_EQ(e->Start(), 0);
  EXPECT_EQ(e->GetTimerId(), 0u);
}
