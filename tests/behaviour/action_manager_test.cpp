// The action base, the kinds table and running an action list read from a course stream.
#include "behaviour/action_manager.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "behaviour/action.h"
#include "model/archive.h"
#include "tests/support/course_builder.h"

using tvn::testing::CourseBuilder;
using tvn::testing::IconFields;

namespace {

using RunLog = std::vector<std::string>;

// An action kind with one stored field: what Execute gives (2 throws).
class CTestStepAction : public CAction {
  DECLARE_SERIAL(CTestStepAction)
 public:
  CTestStepAction() : CAction(ActionKind::kVariable) {}
  void Serialize(CArchive& ar) override {
    result = ar.ReadLong();
    CAction::Serialize(ar);
  }
  BOOL Execute() override {
    if (log) log->push_back(GetName().str());
    if (result == 2) throw std::runtime_error("step failed");
    return result;
  }
  LONG result = TRUE;
  RunLog* log = nullptr;
};
IMPLEMENT_SERIAL(CTestStepAction, CAction, VERSIONABLE_SCHEMA | 1)

struct Reader {
  explicit Reader(const std::vector<std::uint8_t>& bytes, int version)
      : data(bytes), file(data.data(), data.size()), ar(file) {
    ar.SetCourseVersion(version);
  }
  std::vector<std::uint8_t> data;
  CMemFile file;
  CArchive ar;
};

struct Step {
  std::string name;
  LONG result;
  DWORD flags = 4;
};

CourseBuilder::Writer StepWriter(const Step& s) {
  return [s](CourseBuilder& b) {
    b.Action("CTestStepAction", 1, IconFields{s.flags, s.name, "", 3}, [s](CourseBuilder& own) { own.out().Int(s.result); });
  };
}

// Reads a manager of the given steps and points every step at log.
std::unique_ptr<CActionManager> LoadManager(const std::vector<Step>& steps, DWORD managerFlags, RunLog& log) {
  CourseBuilder b;
  std::vector<CourseBuilder::Writer> writers;
  for (const Step& s : steps) writers.push_back(StepWriter(s));
  b.ActionManager(IconFields{managerFlags, "actions", "", 3}, writers);
  Reader r(b.bytes(), 5);
  auto manager = r.ar.ReadOwned<CActionManager>();
  for (const auto& child : manager->Children()) static_cast<CTestStepAction*>(child.get())->log = &log;
  return manager;
}

}  // namespace

TEST(ActionManager, RunsEnabledActionsInOrderUntilOneReturnsFalse) {
  struct Row {
    std::vector<Step> steps;
    DWORD managerFlags;
    BOOL result;
    RunLog ran;
  };
  const Row rows[] = {
      {{}, 4, TRUE, {}},
      {{{"a", TRUE}, {"b", TRUE}}, 0x84, TRUE, {}},  // a disabled manager runs nothing
      {{{"a", TRUE}, {"b", FALSE}, {"c", TRUE}}, 4, FALSE, {"a", "b"}},
      {{{"a", TRUE}, {"b", FALSE, 0x84}, {"c", TRUE}}, 4, TRUE, {"a", "c"}},
      {{{"b", FALSE, 0x84}}, 4, TRUE, {}},
      {{{"a", TRUE}, {"b", TRUE}, {"c", TRUE}}, 4, TRUE, {"a", "b", "c"}},
      {{{"a", FALSE}, {"b", TRUE}}, 4, FALSE, {"a"}},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    RunLog log;
    auto manager = LoadManager(rows[i].steps, rows[i].managerFlags, log);
    EXPECT_EQ(manager->RunActions(), rows[i].result) << "row " << i;
    EXPECT_EQ(log, rows[i].ran) << "row " << i;
    // No run state: a second run starts again at the first action.
    log.clear();
    EXPECT_EQ(manager->RunActions(), rows[i].result) << "row " << i << ", second run";
    EXPECT_EQ(log, rows[i].ran) << "row " << i << ", second run";
  }
}

TEST(ActionManager, ExceptionFromAnActionEndsTheRun) {
  RunLog log;
  auto manager = LoadManager({{"a", TRUE}, {"boom", 2}, {"c", TRUE}}, 4, log);
  EXPECT_THROW(manager->RunActions(), std::runtime_error);
  EXPECT_EQ(log, (RunLog{"a", "boom"}));
}

TEST(ActionManager, ReadsActionsWithTheirKindsIconsAndParent) {
  for (int version : {4, 5}) {
    CourseBuilder b(version);
    b.ActionManager(IconFields{4, "list", "", 3},
                    {[](CourseBuilder& w) { w.Action("CAction", 2, IconFields{0x84, "plain", "note", 3}); },
                     StepWriter({"step", FALSE})});
    Reader r(b.bytes(), version);
    auto manager = r.ar.ReadOwned<CActionManager>();
    ASSERT_TRUE(manager) << "version " << version;
    EXPECT_EQ(r.ar.BytesRemaining(), 0u);
    EXPECT_EQ(manager->GetKind(), IconKind::kActionManager);
    EXPECT_EQ(manager->GetIconId(), 3);
    EXPECT_EQ(manager->GetName(), "list");
    EXPECT_EQ(manager->AsManager(), manager.get());
    ASSERT_EQ(manager->GetCount(), 2);

    CIconObject* plain = manager->GetChild(0);
    ASSERT_TRUE(DynamicDowncast<CAction>(plain));
    EXPECT_EQ(plain->GetKind(), ActionKind::kAction);
    EXPECT_EQ(plain->GetIconId(), 6);
    EXPECT_EQ(plain->GetFlags(), 0x84u);
    EXPECT_EQ(plain->GetName(), "plain");
    EXPECT_EQ(plain->GetTypeFlags(), 0);
    EXPECT_EQ(plain->GetParent(), manager.get());

    auto* step = DynamicDowncast<CTestStepAction>(manager->GetChild(1));
    ASSERT_TRUE(step);
    EXPECT_EQ(step->GetKind(), ActionKind::kVariable);
    EXPECT_EQ(step->GetIconId(), 6);
    EXPECT_EQ(step->result, FALSE);
    EXPECT_EQ(step->GetName(), "step");
    EXPECT_EQ(step->GetParent(), manager.get());
  }
}

TEST(ActionKinds, TableIsConsistent) {
  auto kinds = ActionKinds();
  EXPECT_EQ(kinds.size(), 32u);
  std::set<std::string_view> names;
  int previous = 0;
  for (const ActionKindInfo& k : kinds) {
    EXPECT_GT(k.kind, previous) << k.className;  // ascending, hence unique
    previous = k.kind;
    EXPECT_TRUE(names.insert(k.className).second) << k.className;
    EXPECT_EQ(FindActionKind(k.kind), &k);
    EXPECT_EQ(FindActionKindByClass(k.className), &k);
    // No action kind shares its id with the managers or the plain action.
    EXPECT_NE(k.kind, ActionKind::kAction);
    EXPECT_NE(k.kind, IconKind::kActionManager);
  }
  ASSERT_TRUE(FindActionKind(22));
  EXPECT_EQ(FindActionKind(22)->className, "CTextAction");
  EXPECT_TRUE(FindActionKind(22)->display);
  EXPECT_FALSE(FindActionKindByClass("CAudioAction")->display);
  EXPECT_EQ(FindActionKindByClass("CAudioAction")->kind, 12);
  EXPECT_EQ(FindActionKind(7), nullptr);
  EXPECT_EQ(FindActionKindByClass("CAction"), nullptr);
}
