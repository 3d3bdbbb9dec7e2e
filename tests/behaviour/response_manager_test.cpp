// The response manager: starting responses, scoring questions, executing with condition responses.
#include "behaviour/response_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "behaviour/keyboard_response.h"
#include "behaviour/response.h"
#include "model/archive.h"
#include "model/task.h"
#include "tests/support/course_builder.h"
#include "tests/support/fake_task_services.h"
#include "tests/support/stream_reader.h"

using tvn::testing::CourseBuilder;
using tvn::testing::FakeTaskServices;
using tvn::testing::IconFields;
using tvn::testing::KeyFields;
using tvn::testing::ResponseFields;
using tvn::testing::StreamReader;

namespace {

using Log = std::vector<std::string>;

// A response of any kind whose activation and outcome the test sets.
class CScriptedResponse : public CResponse {
 public:
  CScriptedResponse(Log& log, const char* name, int kind, BOOL activate, int outcome, DWORD flags = 4)
      : CResponse(kind), m_log(log), m_activate(activate), m_outcome(outcome) {
    SetName(name);
    SetFlags(flags);
  }
  BOOL Activate() override {
    m_log.push_back("activate " + GetName().str());
    return m_activate;
  }
  int ExecuteResponse(int*) override {
    m_log.push_back("execute " + GetName().str());
    return m_outcome;
  }
  BYTE IsRightAnswer() override { return right; }
  BYTE right = 0;

 private:
  Log& m_log;
  BOOL m_activate;
  int m_outcome;
};

constexpr int kPush = ResponseKind::kPushButton;
constexpr int kCondition = ResponseKind::kCondition;
constexpr int kBranch = ResponseKind::kBranch;
constexpr int kCheck = ResponseKind::kCheckButton;

struct Responses {
  CResponseManager manager;
  Log log;
  CScriptedResponse* Add(const char* name, int kind, BOOL activate, int outcome = 1, DWORD flags = 4) {
    auto r = std::make_unique<CScriptedResponse>(log, name, kind, activate, outcome, flags);
    CScriptedResponse* raw = r.get();
    manager.AddChild(std::move(r));
    return raw;
  }
};

}  // namespace

TEST(ResponseManager, CheckResponsesStopsAtTheFirstNonConditionThatFires) {
  {
    Responses s;  // empty: done at once, nothing fired
    CIconObject* fired = &s.manager;
    EXPECT_EQ(s.manager.CheckResponses(&fired), 0);
    EXPECT_EQ(fired, nullptr);
    int target = 0;
    EXPECT_EQ(s.manager.ExecuteWithConditions(nullptr, &target), 1);
  }
  {
    Responses s;  // push button then condition: the condition's 0 is the last word
    s.Add("push", kPush, TRUE);
    s.Add("cond", kCondition, FALSE);
    CIconObject* fired = nullptr;
    EXPECT_EQ(s.manager.CheckResponses(&fired), 0);
    EXPECT_EQ(fired, nullptr);
  }
  {
    Responses s;  // branch then push button: the branch fires and the button is never started
    CScriptedResponse* branch = s.Add("branch", kBranch, FALSE);
    s.Add("push", kPush, TRUE);
    CIconObject* fired = nullptr;
    EXPECT_EQ(s.manager.CheckResponses(&fired), 0);
    EXPECT_EQ(fired, branch);
    EXPECT_EQ(s.log, (Log{"activate branch"}));
  }
  {
    Responses s;  // disabled ones are skipped; a condition's 0 does not stop the pass
    s.Add("off", kBranch, FALSE, 1, 0x84);
    s.Add("cond", kCondition, FALSE);
    s.Add("push", kPush, TRUE);
    CIconObject* fired = nullptr;
    EXPECT_EQ(s.manager.CheckResponses(&fired), 1);
    EXPECT_EQ(fired, nullptr);
    EXPECT_EQ(s.log, (Log{"activate cond", "activate push"}));
  }
  {
    Responses s;  // a disabled manager behaves as an empty one
    s.manager.SetFlags(0x84);
    s.Add("push", kPush, TRUE);
    CIconObject* fired = nullptr;
    EXPECT_EQ(s.manager.CheckResponses(&fired), 0);
    EXPECT_TRUE(s.log.empty());
  }
}

TEST(ResponseManager, ConditionResponsesDecideBeforeTheMatchedOne) {
  struct Row {
    std::vector<int> conditionOutcomes;
    bool matched;
    int result;
    Log ran;
  };
  const Row rows[] = {
      {{0, 64, 2}, true, 64, {"execute c0", "execute c1"}},
      {{0, 0}, true, 5, {"execute c0", "execute c1", "execute m"}},
      {{0, 0}, false, 0, {"execute c0", "execute c1"}},
      {{}, false, 1, {}},
      {{}, true, 5, {"execute m"}},
  };
  for (const Row& row : rows) {
    Responses s;
    for (std::size_t i = 0; i < row.conditionOutcomes.size(); ++i)
      s.Add(("c" + std::to_string(i)).c_str(), kCondition, FALSE, row.conditionOutcomes[i]);
    s.Add("offcond", kCondition, FALSE, 99, 0x84);  // disabled: never executed
    CScriptedResponse* m = s.Add("m", kPush, TRUE, 5);
    int target = 0;
    EXPECT_EQ(s.manager.ExecuteWithConditions(row.matched ? m : nullptr, &target), row.result);
    EXPECT_EQ(s.log, row.ran);
  }
  Responses disabled;
  disabled.manager.SetFlags(0x84);
  disabled.Add("c", kCondition, FALSE, 64);
  int target = 0;
  EXPECT_EQ(disabled.manager.ExecuteWithConditions(nullptr, &target), 1);
  EXPECT_TRUE(disabled.log.empty());
}

TEST(ResponseManager, QuestionsAndCheckButtonsCountOnlyEnabledMarkedResponses) {
  Responses s;
  EXPECT_FALSE(s.manager.HasMarkedResponse());
  EXPECT_EQ(s.manager.AllChecksCorrect(), 2);
  CScriptedResponse* off = s.Add("off", kPush, TRUE, 1, 0x84);
  off->SetAnswerMark(1);
  EXPECT_FALSE(s.manager.HasMarkedResponse());
  CScriptedResponse* a = s.Add("a", kCheck, TRUE);
  CScriptedResponse* b = s.Add("b", kCheck, TRUE);
  CScriptedResponse* unmarked = s.Add("u", kCheck, TRUE);
  CScriptedResponse* offCheck = s.Add("oc", kCheck, TRUE, 1, 0x84);
  EXPECT_EQ(s.manager.AllChecksCorrect(), 2);  // none is marked
  a->SetAnswerMark(1);
  b->SetAnswerMark(2);
  offCheck->SetAnswerMark(1);
  EXPECT_TRUE(s.manager.HasMarkedResponse());
  a->right = 1;
  EXPECT_EQ(s.manager.AllChecksCorrect(), 0);
  b->right = 1;
  EXPECT_EQ(s.manager.AllChecksCorrect(), 1);  // the disabled one is not asked
  unmarked->right = 0;
  EXPECT_EQ(s.manager.AllChecksCorrect(), 1);
}

TEST(KeyboardResponse, MatchesKeysWithTheModifiersHeld) {
  struct Row {
    KeyFields keys;
    int key;
    bool ctrl, shift, alt;
    BOOL accepts;
  };
  const std::vector<std::uint8_t> off(29, 0);
  std::vector<std::uint8_t> altOn = off;
  altOn[2] = 1;
  const Row rows[] = {
      {KeyFields{}, 'Q', true, false, false, TRUE},  // the default takes any key, Ctrl held or not
      {KeyFields{0, "YN", off}, 'Y', false, false, false, TRUE},
      {KeyFields{0, "YN", off}, 'Y', false, true, false, FALSE},
      {KeyFields{0, "YN", off}, 'Q', false, false, false, FALSE},
      {KeyFields{0, "X", altOn}, 'X', false, false, true, TRUE},
      {KeyFields{0, "X", altOn}, 'X', false, true, true, TRUE},
      {KeyFields{0, "X", altOn}, 'X', false, false, false, FALSE},
      {KeyFields{0, "5", off}, 101, false, false, false, TRUE},  // keypad 5
  };
  for (const Row& r : rows) {
    FakeTaskServices s;
    CourseBuilder b;
    b.Task(IconFields{}, 1, {}, {},
           {[&](CourseBuilder& w) { w.KeyboardResponse(IconFields{4, "keys", "", 3}, ResponseFields{}, r.keys); }});
    StreamReader reader(b.bytes(), 5);
    auto task = reader.ar.ReadOwned<CTask>();
    ASSERT_TRUE(task);
    task->SetServices(&s);
    s.Hold(r.ctrl, r.shift, r.alt);
    auto* response = DynamicDowncast<CKeyBoardResponse>(task->GetResponses()->GetChild(0));
    ASSERT_TRUE(response);
    EXPECT_EQ(response->OnKey(r.key, 0), r.accepts) << r.keys.characters << " " << r.key;
    EXPECT_EQ(task->GetResponses()->FindKeyTarget(r.key, 0) == response, r.accepts != 0);
  }
}

TEST(KeyboardResponse, ReadsKeysThenTheBaseAndDisabledOnesNeverAccept) {
  ResponseFields base;
  base.outcomeFlags = 0x2;
  base.targets = {9};
  base.actions = {[](CourseBuilder& w) { w.Action("CAction", 2, IconFields{4, "inner", "", 3}); }};
  CourseBuilder b;
  b.Task(IconFields{}, 1, {}, {},
         {[&](CourseBuilder& w) { w.KeyboardResponse(IconFields{0x84, "off", "", 3}, base, KeyFields{}); },
          [&](CourseBuilder& w) { w.KeyboardResponse(IconFields{4, "on", "", 3}, base, KeyFields{0, "A", {}}); }});
  StreamReader r(b.bytes(), 5);
  auto task = r.ar.ReadOwned<CTask>();
  ASSERT_TRUE(task);
  auto* off = DynamicDowncast<CKeyBoardResponse>(task->GetResponses()->GetChild(0));
  auto* on = DynamicDowncast<CKeyBoardResponse>(task->GetResponses()->GetChild(1));
  ASSERT_TRUE(off && on);
  EXPECT_EQ(on->GetKind(), 19);
  EXPECT_EQ(on->GetTypeFlags(), 68);
  EXPECT_EQ(on->GetKeyboard().GetCharacters(), CString("A"));
  EXPECT_EQ(on->GetBranchTarget(0), 9);
  EXPECT_EQ(on->GetSubManager(), &on->GetActions());
  EXPECT_EQ(on->GetActions().GetChild(0)->GetName(), CString("inner"));
  // The disabled one would take any key, but is never offered it.
  EXPECT_EQ(task->GetResponses()->FindKeyTarget('Z', 0), nullptr);
  EXPECT_EQ(task->GetResponses()->FindKeyTarget('A', 0), on);
  EXPECT_FALSE(off->OnKey('Z', 0));  // nor does it take a key offered to it directly
  CKeyBoardResponse copy(*on);
  EXPECT_EQ(copy.GetKeyboard().GetCharacters(), CString("A"));
  CKeyBoardResponse assigned;
  assigned.CopyFrom(on, FALSE);
  EXPECT_EQ(assigned.GetKeyboard().GetKeyFlags(), 0u);
  EXPECT_EQ(assigned.GetBranchTarget(0), 9);
}
