// The response base: outcome rule, target choice, executing, copying and its stored form.
#include "behaviour/response.h"

#include <gtest/gtest.h>

#include <set>

#include "behaviour/action.h"
#include "model/archive.h"
#include "model/task.h"
#include "tests/support/course_builder.h"
#include "tests/support/fake_task_services.h"
#include "tests/support/stream_reader.h"

using tvn::testing::CourseBuilder;
using tvn::testing::FakeTaskServices;
using tvn::testing::IconFields;
using tvn::testing::ResponseFields;
using tvn::testing::StreamReader;

namespace {

class CCountingAction : public CAction {
 public:
  explicit CCountingAction(int* runs) : CAction(ActionKind::kVariable), m_runs(runs) {}
  BOOL Execute() override {
    ++*m_runs;
    return TRUE;
  }

 private:
  int* m_runs;
};

// A response inside a task that has the fake services.
struct Hosted {
  Hosted() {
    auto owned = std::make_unique<CResponse>();
    response = owned.get();
    task.GetResponses()->AddChild(std::move(owned));
    task.SetServices(&services);
  }
  void SetTargets(std::initializer_list<int> targets) {
    int i = 0;
    for (int t : targets) response->SetBranchTarget(t, i++);
    for (; i < CResponse::kTargetCount; ++i) response->SetBranchTarget(0, i);
  }
  FakeTaskServices services;
  CTask task;
  CResponse* response = nullptr;
  int runs = 0;
};

std::unique_ptr<CResponse> ReadResponse(const CourseBuilder& b, int version, CVariableContext* vars = nullptr) {
  StreamReader r(b.bytes(), version);
  r.ar.SetVariableContext(vars);
  return r.ar.ReadOwned<CResponse>();
}

}  // namespace

TEST(ResponseOutcome, FlagsAndTargetsGiveTheCode) {
  struct Row {
    DWORD flags;
    std::vector<int> targets;
    bool actions;
    int code;
    int target;  // -1: not written
  };
  const Row rows[] = {
      {0x3, {5}, false, 1, -1},         // 0x1 wins over 0x2
      {0x2, {0}, false, 1, 0},          // no target: next task, target still written
      {0x2, {5}, false, 2, 5},          {0x2 | 0x40 | 0x800, {5}, false, 64, 5},
      {0x2 | 0x800 | 0x100, {5}, false, 2048, 5},
      {0x2 | 0x100 | 0x200, {5}, false, 256, 5},
      {0x2 | 0x200, {0}, false, 512, 0}, {0x2 | 0x400, {3}, false, 1024, 3},
      {0x2 | 0x1000, {2}, false, 4096, 2}, {0x2 | 0x2000, {2}, false, 8192, 2},
      {0x22, {5}, false, 2, 5},         // run-and-stay needs actions
      {0x22, {5}, true, 32, -1},        {0x0, {5}, false, 1, -1},
      {0x40, {5}, false, 1, -1},        // refinements without 0x2 do nothing
  };
  for (const Row& r : rows) {
    Hosted h;
    h.response->SetOutcomeFlags(static_cast<int>(r.flags));
    std::vector<int> t = r.targets;
    for (std::size_t i = 0; i < t.size(); ++i) h.response->SetBranchTarget(t[i], static_cast<int>(i));
    if (r.actions) h.response->GetActions().AddChild(std::make_unique<CCountingAction>(&h.runs));
    int target = -1;
    EXPECT_EQ(h.response->GetOutcome(&target), r.code) << std::hex << r.flags;
    EXPECT_EQ(target, r.target) << std::hex << r.flags;
    EXPECT_EQ(h.runs, 0);  // the rule alone runs nothing
  }
}

TEST(ResponseOutcome, RandomChoiceDrawsOnlyFromTheLeadingPositiveTargets) {
  Hosted h;
  h.response->SetOutcomeFlags(0x2);
  h.SetTargets({4, 9, 0, 7});
  std::set<int> seen;
  for (DWORD tick = 0; tick < 200; ++tick) {
    h.services.tick = tick * 37;
    int target = 0;
    EXPECT_EQ(h.response->GetOutcome(&target), 2);
    seen.insert(target);
  }
  EXPECT_EQ(seen, (std::set<int>{4, 9}));
  // The draw depends on the tick alone.
  h.services.tick = 1234;
  int first = h.response->ChooseTarget();
  EXPECT_EQ(h.response->ChooseTarget(), first);
  h.SetTargets({0, 6, 2});  // nothing leads: no draw, and no division by zero
  EXPECT_EQ(h.response->ChooseTarget(), 0);
  h.SetTargets({-3, 0});  // target 1 not positive: target 0 as it is
  EXPECT_EQ(h.response->ChooseTarget(), -3);
}

TEST(ResponseOutcome, VariableTargetsTakeTheLow16BitsOfNumbersAndIntegers) {
  Hosted h;
  h.response->SetOutcomeFlags(0x2 | 0x80);
  auto& vars = h.services.vars;
  vars.Declare("I", VarType::kInteger).SetLong(0x12345);
  vars.Declare("N", VarType::kNumber).SetReal(-1.7);
  vars.Declare("Big", VarType::kNumber).SetReal(1e300);
  vars.Declare("S", VarType::kString).SetString("5");
  struct Row {
    const char* name;
    int target;
  };
  for (const Row& r : {Row{"I", 0x2345}, Row{"N", 0xFFFF}, Row{"S", 0}, Row{"Missing", 0}}) {
    h.response->SetBranchTarget(CVariable::ComputeId(r.name), 0);
    EXPECT_EQ(h.response->ChooseTarget(), r.target) << r.name;
  }
  h.response->SetBranchTarget(CVariable::ComputeId("Big"), 0);
  int big = h.response->ChooseTarget();
  EXPECT_GE(big, 0);
  EXPECT_LE(big, 0xFFFF);
  h.response->SetBranchTarget(CVariable::ComputeId("Missing"), 0);
  int target = 0;
  EXPECT_EQ(h.response->GetOutcome(&target), 1);
}

TEST(ResponseOutcome, SimulatorResultGoesToItsTask) {
  Hosted h;
  h.response->SetOutcomeFlags(0x1);
  h.services.simulatorTarget = 14;
  int target = 0;
  EXPECT_EQ(h.response->GetOutcome(&target), 2);
  EXPECT_EQ(target, 14);
}

TEST(ResponseExecute, ScriptThenActionsByTheFlags) {
  {
    Hosted h;
    h.services.vars.Declare("X", VarType::kNumber);
    h.response->SetExpression("X = 3");
    h.response->SetOutcomeFlags(0x22);
    h.response->GetActions().AddChild(std::make_unique<CCountingAction>(&h.runs));
    int target = -1;
    EXPECT_EQ(h.response->ExecuteResponse(&target), 32);
    EXPECT_EQ(h.services.vars.Var("X").GetReal(), 3);
    EXPECT_EQ(h.runs, 1);
    EXPECT_EQ(h.services.page.removed.size(), 1u);  // taken off the page before running
    EXPECT_EQ(h.services.flushes, 1);
    EXPECT_EQ(target, -1);
  }
  {
    Hosted h;  // actions without 0x20 are taken off the page but not run
    h.response->SetOutcomeFlags(0x2);
    h.SetTargets({6});
    h.response->GetActions().AddChild(std::make_unique<CCountingAction>(&h.runs));
    int target = 0;
    EXPECT_EQ(h.response->ExecuteResponse(&target), 2);
    EXPECT_EQ(target, 6);
    EXPECT_EQ(h.runs, 0);
    EXPECT_EQ(h.services.page.removed.size(), 1u);
    EXPECT_EQ(h.services.flushes, 1);
  }
  {
    Hosted h;  // a script that ends the course ends it before any action runs
    h.services.endCourseOnScript = true;
    h.response->SetExpression("Y = 1");
    h.response->SetOutcomeFlags(0x22);
    h.response->GetActions().AddChild(std::make_unique<CCountingAction>(&h.runs));
    int target = 0;
    EXPECT_EQ(h.response->ExecuteResponse(&target), 1024);
    EXPECT_EQ(h.runs, 0);
  }
  {
    Hosted h;  // no expression: no script runs
    int target = 0;
    EXPECT_EQ(h.response->ExecuteResponse(&target), 1);
    EXPECT_TRUE(h.services.scripts.empty());
  }
}

TEST(ResponseTargets, IndexesPastTheLastAddressTargetNine) {
  CResponse r;
  EXPECT_EQ(r.GetBranchTarget(0), 1);
  r.SetBranchTarget(5, 12);
  EXPECT_EQ(r.GetBranchTarget(9), 5);
  EXPECT_EQ(r.GetBranchTarget(12), 5);
  EXPECT_EQ(r.GetBranchTarget(-1), 5);
  EXPECT_EQ(r.GetOutcomeFlags(), 1);
  EXPECT_EQ(r.GetKind(), 7);
  EXPECT_EQ(r.GetIconId(), 7);
}

TEST(ResponseCopy, KeepIdentityKeepsTargetsAndANonEmptyExpression) {
  CResponse src;
  src.SetName("src");
  src.SetOutcomeFlags(0x42);
  src.SetAnswerMark(2);
  src.SetBranchTarget(8, 3);
  src.SetExpression("A = 1");
  CResponse kept;
  kept.SetExpression("B = 2");
  kept.CopyFrom(&src, TRUE);
  EXPECT_EQ(kept.GetOutcomeFlags(), 0x42);
  EXPECT_EQ(kept.GetAnswerMark(), 2);
  EXPECT_EQ(kept.GetBranchTarget(3), 0);
  EXPECT_EQ(kept.GetExpression(), CString("A = 1"));
  EXPECT_EQ(kept.GetName(), CString(""));
  CResponse empty;
  CResponse keepsOwn;
  keepsOwn.SetExpression("B = 2");
  keepsOwn.CopyFrom(&empty, TRUE);
  EXPECT_EQ(keepsOwn.GetExpression(), CString("B = 2"));
  CResponse full;
  full.CopyFrom(&src, FALSE);
  EXPECT_EQ(full.GetBranchTarget(3), 8);
  EXPECT_EQ(full.GetName(), CString("src"));
  CResponse constructed(src);
  EXPECT_EQ(constructed.GetBranchTarget(3), 8);
  EXPECT_EQ(constructed.GetActions().GetParent(), &constructed);
}

TEST(ResponseStored, CurrentLayoutReadsEveryField) {
  ResponseFields f;
  f.outcomeFlags = 0x2002;
  f.answerMark = 1;
  f.targets = {3, -4, 0, 0, 0, 0, 0, 0, 0, 77};
  f.expression = "A = A + 1";
  f.actions = {[](CourseBuilder& b) { b.Action("CAction", 2, IconFields{4, "inner", "", 3}); }};
  CourseBuilder b;
  b.Response("CResponse", 3, IconFields{0x84, "resp", "", 3}, f);
  auto r = ReadResponse(b, 5);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->GetOutcomeFlags(), 0x2002);
  EXPECT_EQ(r->GetAnswerMark(), 1);
  EXPECT_EQ(r->GetBranchTarget(0), 3);
  EXPECT_EQ(r->GetBranchTarget(1), -4);
  EXPECT_EQ(r->GetBranchTarget(9), 77);
  EXPECT_EQ(r->GetExpression(), CString("A = A + 1"));
  EXPECT_EQ(r->GetName(), CString("resp"));
  EXPECT_EQ(r->GetFlags(), 0x84u);
  ASSERT_EQ(r->GetActions().GetCount(), 1);
  EXPECT_EQ(r->GetActions().GetChild(0)->GetName(), CString("inner"));
  EXPECT_EQ(r->GetActions().GetParent(), r.get());
  EXPECT_EQ(r->GetActions().GetChild(0)->GetParent(), &r->GetActions());
}

TEST(ResponseStored, OlderSchemasConvertSpecialTargets) {
  struct Row {
    std::uint32_t stored;
    std::uint32_t flags;
    std::uint32_t expectFlags;
    std::int32_t expectTarget;
  };
  const Row rows[] = {
      {0xFFFF, 2, 2 | 0x40, 0},   {0xFFFD, 2, 2 | 0x100, 0}, {0xFFFC, 2, 2 | 0x200, 0}, {0xFFFB, 2, 2 | 0x400, 0},
      {0xFFFA, 2, 2 | 0x800, 0},  {0xFFFE, 2, 2 | 0x80, 0xFFFE},  // no "TaskTag": the stored value stays
      {1234, 0x12, 0x92, 1234},   {1234, 2, 2, 1234},
  };
  for (int version : {4, 5}) {
    for (const Row& row : rows) {
      ResponseFields f;
      f.schema = 2;
      f.outcomeFlags = row.flags;
      f.targets = {static_cast<std::int32_t>(row.stored)};
      CourseBuilder b(version);
      b.Response("CResponse", 2, IconFields{}, f);  // the object's record carries the old schema too
      auto r = ReadResponse(b, version);
      ASSERT_TRUE(r);
      EXPECT_EQ(static_cast<std::uint32_t>(r->GetOutcomeFlags()), row.expectFlags) << std::hex << row.stored;
      EXPECT_EQ(r->GetBranchTarget(0), row.expectTarget) << std::hex << row.stored;
    }
  }
  // The current schema keeps the stored values as they are.
  ResponseFields f;
  f.outcomeFlags = 2;
  f.targets = {0xFFFF};
  CourseBuilder b;
  b.Response("CResponse", 3, IconFields{}, f);
  EXPECT_EQ(ReadResponse(b, 5)->GetOutcomeFlags(), 2);
}

TEST(ResponseStored, TaskTagNamesTheTargetVariable) {
  FakeTaskServices s;
  s.vars.Var("TaskTag").SetLong(42);  // a system variable of every course table
  ResponseFields f;
  f.schema = 2;
  f.outcomeFlags = 2;
  f.targets = {0xFFFE};
  CourseBuilder b(4);
  b.Response("CResponse", 2, IconFields{}, f);
  StreamReader r(b.bytes(), 4);
  r.ar.SetVariableContext(&s.vars);
  auto owned = r.ar.ReadOwned<CResponse>();
  ASSERT_TRUE(owned);
  EXPECT_EQ(owned->GetBranchTarget(0), CVariable::ComputeId("TaskTag"));
  CTask task;
  task.SetServices(&s);
  CResponse* response = owned.get();
  task.GetResponses()->AddChild(std::move(owned));
  int target = 0;
  EXPECT_EQ(response->GetOutcome(&target), 2);
  EXPECT_EQ(target, 42);
}

TEST(ResponseStored, DamagedResponsesFailWithEndOfFile) {
  ResponseFields f;
  CourseBuilder b;
  b.Response("CResponse", 3, IconFields{}, f);
  const std::vector<std::uint8_t> whole = b.bytes();
  // Cut inside the targets, inside the expression, inside the action list and the common part.
  for (std::size_t cut = 1; cut < whole.size(); cut += 3) {
    std::vector<std::uint8_t> bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() - cut));
    StreamReader r(bytes, 5);
    try {
      r.ar.ReadObject(RUNTIME_CLASS(CObject));
      ADD_FAILURE() << "read a response cut by " << cut;
    } catch (const CArchiveException& e) {
      EXPECT_EQ(e.m_cause, CArchiveException::endOfFile) << cut;
    }
  }
}

TEST(ResponseKinds, TableIsConsistentWithTheRegisteredClasses) {
  int previous = 0;
  for (const ResponseKindInfo& k : ResponseKinds()) {
    EXPECT_GT(k.kind, previous) << k.className;
    previous = k.kind;
    EXPECT_EQ(FindResponseKind(k.kind), &k);
    if (const CRuntimeClass* cls = CRuntimeClass::FromName(k.className)) {
      EXPECT_EQ(cls->GetSchema(), static_cast<UINT>(k.schema)) << k.className;
      auto obj = cls->CreateObject();
      auto* response = DynamicDowncast<CResponse>(obj.get());
      ASSERT_TRUE(response) << k.className;
      EXPECT_EQ(response->GetKind(), k.kind) << k.className;
      EXPECT_EQ(response->GetIconId(), 7) << k.className;
      EXPECT_EQ(response->GetTypeFlags(), k.typeFlags) << k.className;
    }
  }
  EXPECT_TRUE(CRuntimeClass::FromName("CKeyBoardResponse"));
  EXPECT_EQ(FindResponseKind(6), nullptr);
}
