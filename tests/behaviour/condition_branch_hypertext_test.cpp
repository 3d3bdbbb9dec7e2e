// The condition, branch and hypertext responses: deciding a task's outcome, firing at once, judging link clicks.
#include <gtest/gtest.h>

#include "behaviour/branch_response.h"
#include "behaviour/condition_response.h"
#include "behaviour/hypertext_response.h"
#include "behaviour/mouse_response.h"
#include "behaviour/response_manager.h"
#include "model/variable.h"
#include "platform/msg/window_messages.h"
#include "tests/behaviour/answer_test_support.h"

using tvn::testing::CourseBuilder;
using tvn::testing::HostTask;
using tvn::testing::IconFields;
using tvn::testing::ReadBack;
using tvn::testing::ResponseFields;

namespace {

ResponseFields Branching(std::int32_t target) {
  ResponseFields r;
  r.outcomeFlags = 0x2;
  r.targets = {target};
  return r;
}

std::unique_ptr<CConditionResponse> Condition(const char* condition, std::uint32_t outcomeFlags,
                                              std::uint32_t iconFlags = 4) {
  CourseBuilder b;
  ResponseFields r;
  r.outcomeFlags = outcomeFlags;
  r.targets = {9};
  r.expression = "Hits = Hits + 1";
  b.ConditionResponse(IconFields{iconFlags, "when", "", 3}, r, condition);
  return ReadBack<CConditionResponse>(b);
}

std::unique_ptr<CMouseResponse> ClickTo(std::int32_t target) {
  CourseBuilder b;
  b.MouseResponse(IconFields{4, "click", "", 3}, Branching(target), 0x11);
  return ReadBack<CMouseResponse>(b);
}

std::unique_ptr<CBranchResponse> BranchTo(std::int32_t target, std::uint32_t iconFlags = 4) {
  CourseBuilder b;
  b.BranchResponse(IconFields{iconFlags, "go", "", 3}, Branching(target));
  return ReadBack<CBranchResponse>(b);
}

std::unique_ptr<CHyperTextResponse> Link(const char* name) {
  CourseBuilder b;
  b.HyperTextResponse(IconFields{4, "link", "", 3}, Branching(3), name);
  return ReadBack<CHyperTextResponse>(b);
}

CResponseManager& Manager(HostTask& h) { return *DynamicDowncast<CResponseManager>(h.task.GetResponses()); }

}  // namespace

TEST(ConditionResponse, ReadsTheConditionBeforeTheBase) {
  auto c = Condition("Score > 2", 0x1);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->GetConditionText(), "Score > 2");
  EXPECT_EQ(c->GetExpression(), "Hits = Hits + 1");
  EXPECT_FALSE(c->Activate());
}

TEST(ConditionResponse, TrueConditionWinsOverTheMatchedResponse) {
  HostTask h;
  h.services.vars.Declare("Score", VarType::kNumber).SetReal(3);
  h.services.vars.Declare("Hits", VarType::kNumber);
  h.AddResponse(Condition("Score > 2", 0x1));
  auto* click = h.AddResponse(ClickTo(5));
  int target = 0;
  EXPECT_EQ(Manager(h).ExecuteWithConditions(click, &target), Outcome::kNext);
  EXPECT_EQ(target, 0);
  // Its own expression ran because it decided.
  EXPECT_EQ(h.services.vars.Var("Hits").GetReal(), 1.0);
}

TEST(ConditionResponse, EmptyOrFalseConditionNeverDecides) {
  for (const char* condition : {"", "Score > 2"}) {
    HostTask h;
    h.services.vars.Declare("Score", VarType::kNumber).SetReal(1);
    h.services.vars.Declare("Hits", VarType::kNumber);
    auto* c = h.AddResponse(Condition(condition, 0x1));
    auto* click = h.AddResponse(ClickTo(5));
    int target = 0;
    EXPECT_EQ(c->ExecuteResponse(&target), 0) << condition;
    EXPECT_EQ(Manager(h).ExecuteWithConditions(click, &target), Outcome::kGoTo) << condition;
    EXPECT_EQ(target, 5);
    EXPECT_EQ(h.services.vars.Var("Hits").GetReal(), 0.0) << "nothing of it runs";
  }
}

TEST(ConditionResponse, DisabledIsNeitherActivatedNorAsked) {
  HostTask h;
  h.services.vars.Declare("Hits", VarType::kNumber);
  h.AddResponse(Condition("1", 0x1, 0x84));
  auto* click = h.AddResponse(ClickTo(5));
  int target = 0;
  EXPECT_EQ(Manager(h).ExecuteWithConditions(click, &target), Outcome::kGoTo);
  EXPECT_EQ(target, 5);
}

TEST(ConditionResponse, CopyKeepsItsConditionOnlyAgainstAnEmptySourceWithIdentity) {
  auto source = Condition("", 0x1);
  CConditionResponse kept;
  kept.SetConditionText("A = 1");
  kept.CopyFrom(source.get(), TRUE);
  EXPECT_EQ(kept.GetConditionText(), "A = 1");
  kept.CopyFrom(source.get(), FALSE);
  EXPECT_EQ(kept.GetConditionText(), "");
  auto full = Condition("B = 2", 0x1);
  kept.CopyFrom(full.get(), TRUE);
  EXPECT_EQ(kept.GetConditionText(), "B = 2");
}

TEST(BranchResponse, FiresAtTaskStartBeforeLaterResponses) {
  HostTask h;
  auto* branch = h.AddResponse(BranchTo(8));
  h.AddResponse(ClickTo(5));
  CIconObject* fired = nullptr;
  EXPECT_EQ(Manager(h).CheckResponses(&fired), 0);
  EXPECT_EQ(fired, branch);
  int target = 0;
  EXPECT_EQ(h.task.EvaluateAnswer(fired, &target), Outcome::kGoTo);
  EXPECT_EQ(target, 8);
}

TEST(BranchResponse, DisabledIsSkippedAndAfterAWaitingResponseStillFires) {
  HostTask h;
  h.AddResponse(BranchTo(8, 0x84));
  h.AddResponse(ClickTo(5));
  auto* late = h.AddResponse(BranchTo(6));
  CIconObject* fired = nullptr;
  EXPECT_EQ(Manager(h).CheckResponses(&fired), 0);
  EXPECT_EQ(fired, late);
}

TEST(HyperTextResponse, ReadsItsLinkName) {
  auto r = Link("Chapter 2");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->GetLinkName(), "Chapter 2");
  EXPECT_EQ(r->GetSubManager(), &r->GetActions());
}

TEST(HyperTextResponse, AcceptsItsLinkExactly) {
  auto r = Link("Chapter 2");
  HyperTextNotify click = HyperTextNotify::Click(nullptr, "  Chapter 2 ");
  auto offer = [&](const HyperTextNotify& note, WPARAM code = HyperTextNotify::kCode) {
    return r->OnNotify(code, reinterpret_cast<LPARAM>(&note));
  };
  EXPECT_TRUE(offer(click));
  EXPECT_FALSE(offer(HyperTextNotify::Click(nullptr, "chapter 2")));
  EXPECT_FALSE(offer(HyperTextNotify::Click(nullptr, "Chapter 3")));
  EXPECT_FALSE(offer(click, 1));  // a media completion is no click
  EXPECT_FALSE(r->OnNotify(HyperTextNotify::kCode, 0));
  HyperTextNotify wrongId = click;
  wrongId.id = 0x8083;
  EXPECT_FALSE(offer(wrongId));
  r->SetFlags(r->GetFlags() | 0x80);
  EXPECT_FALSE(offer(click));
}

TEST(HyperTextResponse, EachClickIsJudgedOnItsOwnRecord) {
  // Two clicks queued before either is handled: each keeps its own link.
  HostTask h;
  auto* first = h.AddResponse(Link("One"));
  auto* second = h.AddResponse(Link("Two"));
  std::vector<HyperTextNotify> queued{HyperTextNotify::Click(nullptr, "One"), HyperTextNotify::Click(nullptr, "Two")};
  EXPECT_EQ(h.task.GetResponses()->FindMediaNotifyTarget(HyperTextNotify::kCode, reinterpret_cast<LPARAM>(&queued[0])),
            first);
  EXPECT_EQ(h.task.GetResponses()->FindMediaNotifyTarget(HyperTextNotify::kCode, reinterpret_cast<LPARAM>(&queued[1])),
            second);
}

TEST(HyperTextResponse, LinkNameCopiedOnlyWithoutIdentity) {
  auto source = Link("Glossary");
  CHyperTextResponse target;
  target.SetLinkName("Mine");
  target.CopyFrom(source.get(), TRUE);
  EXPECT_EQ(target.GetLinkName(), "Mine");
  EXPECT_EQ(target.GetBranchTarget(0), 1);  // targets are identity too: still the default
  target.CopyFrom(source.get(), FALSE);
  EXPECT_EQ(target.GetLinkName(), "Glossary");
  EXPECT_EQ(target.GetBranchTarget(0), 3);
}
