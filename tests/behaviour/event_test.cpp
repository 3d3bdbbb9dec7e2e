// Events read from a course stream: the enable rule, demon and keyboard events, copying and arming.
#include "behaviour/event_manager.h"

#include <gtest/gtest.h>

#include <set>

#include "behaviour/demon_event.h"
#include "behaviour/keyboard_event.h"
#include "model/archive.h"
#include "model/task.h"
#include "tests/support/course_builder.h"
#include "tests/support/fake_task_services.h"
#include "tests/support/stream_reader.h"

using tvn::testing::CourseBuilder;
using tvn::testing::EventFields;
using tvn::testing::FakeTaskServices;
using tvn::testing::IconFields;
using tvn::testing::KeyFields;
using tvn::testing::StreamReader;

namespace {

// A task holding the events the writers lay down, with the fake services.
std::unique_ptr<CTask> TaskWithEvents(FakeTaskServices& s, const std::vector<CourseBuilder::Writer>& events,
                                      int version = 5, IconFields managerIcon = IconFields{4, "", "", 3}) {
  CourseBuilder b(version);
  b.Task(IconFields{4, "t", "", 3}, 1, events, {}, {}, managerIcon);
  StreamReader r(b.bytes(), version);
  auto task = r.ar.ReadOwned<CTask>();
  if (task) task->SetServices(&s);
  return task;
}

CourseBuilder::Writer Trigger(const char* name, EventFields e, DWORD flags = 4) {
  return [=](CourseBuilder& b) { b.Event("CEventTrigger", 2, IconFields{flags, name, "", 3}, e); };
}

class RecordingArmedList : public IArmedEventSink {
 public:
  void AppendArmed(CEventTrigger* event, CCourseDoc* course, CTask* task) override {
    armed.push_back({event, course, task});
  }
  struct Entry {
    CEventTrigger* event;
    CCourseDoc* course;
    CTask* task;
  };
  std::vector<Entry> armed;
};

}  // namespace

TEST(EventTrigger, EnableRuleFollowsFlagsAndTheConditionOfTheMoment) {
  FakeTaskServices s;
  s.vars.Declare("Ready", VarType::kNumber);
  struct Row {
    DWORD flags;
    const char* condition;
    double ready;
    BOOL enabled;
  };
  const Row rows[] = {
      {1, "", 0, TRUE},          {1, "Ready = 1", 0, TRUE},  {2, "", 1, FALSE},
      {2, "Ready = 1", 1, TRUE}, {2, "Ready = 1", 0, FALSE}, {0, "Ready = 1", 1, FALSE},
      {3, "Ready = 1", 0, TRUE}, {2, "Ready = ", 1, FALSE},  // an error reads as false
  };
  for (const Row& r : rows) {
    auto task = TaskWithEvents(s, {Trigger("e", EventFields{r.flags, r.condition})});
    ASSERT_TRUE(task);
    auto* event = DynamicDowncast<CEventTrigger>(task->GetEvents()->GetChild(0));
    ASSERT_TRUE(event);
    s.vars.Var("Ready").SetReal(r.ready);
    EXPECT_EQ(event->IsEnabled(), r.enabled) << r.flags << " " << r.condition << " " << r.ready;
  }
  CEventTrigger fresh;
  EXPECT_EQ(fresh.GetEventFlags(), 1);
  EXPECT_TRUE(fresh.IsEnabled());
  EXPECT_EQ(fresh.GetKind(), 5);
  EXPECT_EQ(fresh.GetIconId(), 5);
}

TEST(EventTrigger, ReadsOwnFieldsThenTriggerPartThenCommonPart) {
  for (int version : {3, 4, 5}) {
    FakeTaskServices s;
    auto task = TaskWithEvents(
        s,
        {[](CourseBuilder& b) { b.DemonEvent(IconFields{0x84, "demon", "", 3}, EventFields{0x102, "A = 1"}, "B > 2"); },
         [](CourseBuilder& b) {
           b.KeyboardEvent(IconFields{4, "key", "", 3}, EventFields{1, ""}, KeyFields{0, "YN", {0, 0, 0}});
         }},
        version);
    ASSERT_TRUE(task) << version;
    auto* demon = DynamicDowncast<CDemonEvent>(task->GetEvents()->GetChild(0));
    ASSERT_TRUE(demon);
    EXPECT_EQ(demon->GetKind(), 27);
    EXPECT_EQ(demon->GetIconId(), 5);
    EXPECT_EQ(demon->GetTypeFlags(), 65);
    EXPECT_EQ(demon->GetEventFlags(), 0x102);
    EXPECT_EQ(demon->GetCondition(), CString("A = 1"));
    EXPECT_EQ(demon->GetWatchExpression(), CString("B > 2"));
    EXPECT_EQ(demon->GetName(), CString("demon"));
    EXPECT_EQ(demon->GetFlags(), 0x84u);
    auto* key = DynamicDowncast<CKeyboardEvent>(task->GetEvents()->GetChild(1));
    ASSERT_TRUE(key);
    EXPECT_EQ(key->GetKind(), 6);
    EXPECT_EQ(key->GetTypeFlags(), 65);
    EXPECT_EQ(key->GetKeyboard().GetCharacters(), CString("YN"));
    EXPECT_EQ(key->GetName(), CString("key"));
  }
}

TEST(EventTrigger, TruncatedEventFailsWithEndOfFile) {
  CourseBuilder b;
  b.DemonEvent(IconFields{4, "demon", "", 3}, EventFields{1, "A = 1"}, "B");
  std::vector<std::uint8_t> bytes = b.bytes();
  bytes.resize(bytes.size() - 3);
  StreamReader r(bytes, 5);
  try {
    r.ar.ReadObject(RUNTIME_CLASS(CObject));
    FAIL() << "read a truncated event";
  } catch (const CArchiveException& e) {
    EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
  }
}

TEST(DemonEvent, FiresOnlyOnCommandZeroWhileItsWatchHolds) {
  FakeTaskServices s;
  s.vars.Declare("Score", VarType::kNumber);
  auto task = TaskWithEvents(
      s, {[](CourseBuilder& b) { b.DemonEvent(IconFields{4, "d", "", 3}, EventFields{}, "Score > 5"); }});
  CIconObject* demon = task->GetEvents()->GetChild(0);
  s.vars.Var("Score").SetReal(9);
  EXPECT_FALSE(demon->OnCommand(5, 0));
  EXPECT_TRUE(s.conditions.empty());  // refused without evaluating
  EXPECT_TRUE(demon->OnCommand(0, 0));
  s.vars.Var("Score").SetReal(1);
  EXPECT_FALSE(demon->OnCommand(0, 0));
  EXPECT_EQ(s.conditions.size(), 2u);
}

TEST(KeyboardEvent, MatchesWithTheModifiersHeldAndKeypadDigitsAsCharacters) {
  FakeTaskServices s;
  auto task = TaskWithEvents(s, {[](CourseBuilder& b) {
                               b.KeyboardEvent(IconFields{4, "k", "", 3}, EventFields{}, KeyFields{0, "7Y", {0, 0, 0}});
                             }});
  CIconObject* event = task->GetEvents()->GetChild(0);
  EXPECT_TRUE(event->OnKey('Y', 0));
  EXPECT_TRUE(event->OnKey(103, 0));  // numeric keypad 7
  EXPECT_FALSE(event->OnKey('N', 0));
  s.Hold(false, true, false);
  EXPECT_FALSE(event->OnKey('Y', 0));
  // The offer goes through the manager's dispatcher too.
  s.Hold(false, false, false);
  EXPECT_EQ(task->GetEvents()->FindKeyTarget('Y', 0), event);
  event->SetFlags(0x84);  // disabled: refuses even a key offered directly
  EXPECT_FALSE(event->OnKey('Y', 0));
}

TEST(EventTrigger, CopiesTakeFlagsConditionAndTheirOwnFields) {
  CDemonEvent demon;
  demon.SetName("d");
  demon.SetEventFlags(2);
  demon.SetCondition("A = 1");
  demon.SetWatchExpression("B = 2");
  CDemonEvent copy;
  copy.CopyFrom(&demon, TRUE);  // the event part is copied even when keeping identity
  EXPECT_EQ(copy.GetEventFlags(), 2);
  EXPECT_EQ(copy.GetCondition(), CString("A = 1"));
  EXPECT_EQ(copy.GetWatchExpression(), CString("B = 2"));
  EXPECT_EQ(copy.GetName(), CString(""));
  copy.CopyFrom(&demon, FALSE);
  EXPECT_EQ(copy.GetName(), CString("d"));
  EXPECT_EQ(copy.GetKind(), 27);

  CKeyboardEvent keys;
  keys.GetKeyboard().SetCharacters("Q");
  keys.GetKeyboard().SetKeyFlags(0);
  CKeyboardEvent keyCopy(keys);
  EXPECT_EQ(keyCopy.GetKeyboard().GetCharacters(), CString("Q"));
  CKeyboardEvent other;
  other.CopyFrom(&keys, FALSE);
  EXPECT_EQ(other.GetKeyboard().GetKeyFlags(), 0u);
}

TEST(EventManager, ArmsEnabledEventsInOrderAndStartsThem) {
  FakeTaskServices s;
  auto task = TaskWithEvents(s, {Trigger("a", {}), Trigger("off", {1, ""}, 0x84), Trigger("b", {0, ""})});
  auto* manager = DynamicDowncast<CEventManager>(task->GetEvents());
  ASSERT_TRUE(manager);
  RecordingArmedList list;
  CCourseDoc* course = nullptr;  // only passed along
  manager->ArmEvents(list, course, task.get());
  ASSERT_EQ(list.armed.size(), 2u);  // event flags 0 still arm: the rule is tested at input
  EXPECT_EQ(list.armed[0].event->GetName(), CString("a"));
  EXPECT_EQ(list.armed[1].event->GetName(), CString("b"));
  EXPECT_EQ(list.armed[0].course, course);
  EXPECT_EQ(list.armed[0].task, task.get());
  manager->ArmEvents(list, course, task.get());
  EXPECT_EQ(list.armed.size(), 4u);  // no check for events armed already

  auto disabled = TaskWithEvents(s, {Trigger("a", {})}, 5, IconFields{0x84, "", "", 3});
  RecordingArmedList none;
  DynamicDowncast<CEventManager>(disabled->GetEvents())->ArmEvents(none, nullptr, disabled.get());
  EXPECT_TRUE(none.armed.empty());
}

TEST(EventKinds, TableMatchesTheRegisteredClasses) {
  std::set<std::string_view> names;
  for (const EventKindInfo& k : EventKinds()) {
    EXPECT_TRUE(names.insert(k.className).second) << k.className;
    EXPECT_EQ(FindEventKindByClass(k.className), &k);
    // Every class built so far is registered by name and makes its table kind.
    if (const CRuntimeClass* cls = CRuntimeClass::FromName(k.className)) {
      auto obj = cls->CreateObject();
      auto* event = DynamicDowncast<CEventTrigger>(obj.get());
      ASSERT_TRUE(event) << k.className;
      EXPECT_EQ(event->GetKind(), k.kind) << k.className;
      EXPECT_EQ(event->GetIconId(), EventKind::kTrigger) << k.className;
      EXPECT_EQ(event->GetTypeFlags(), k.typeFlags) << k.className;
    }
  }
  EXPECT_TRUE(CRuntimeClass::FromName("CDemonEvent"));
  EXPECT_TRUE(CRuntimeClass::FromName("CKeyboardEvent"));
  EXPECT_EQ(FindEventKindByClass("CAction"), nullptr);
}
