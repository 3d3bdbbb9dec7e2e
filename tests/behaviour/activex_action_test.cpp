// The ActiveX action and response on a real page with a fake control: stored form, copies, running, events.
#include <gtest/gtest.h>

#include <ctime>

#include "behaviour/activex_action.h"
#include "behaviour/activex_response.h"
#include "model/variable.h"
#include "platform/base/local_time.h"
#include "tests/behaviour/display_test_support.h"
#include "tests/platform/user/window_test_support.h"
#include "tests/support/activex_builder.h"
#include "tests/support/fake_control.h"

using namespace tvn::testing;

namespace {

constexpr const char* kClassId = "{0002E510-0000-0000-C000-000000000046}";

// One property put of the caption, from a constant.
PropMethodFields CaptionPut() {
  PropMethodFields m;
  m.name = "Caption";
  m.dispid = -518;
  m.invokeCode = 3;
  m.parameters = {ParameterFields{"Caption", VT_BSTR, 2, 0, {}}};
  m.constants = {"Hello"};
  return m;
}

ActiveXFields Hosting(std::int32_t controlId = 1000) {
  ActiveXFields a;
  a.classId = kClassId;
  a.third = "kept";
  a.controlId = controlId;
  a.settings = {CaptionPut()};
  a.state = {0xD0, 0xCF, 0x11, 0xE0};
  a.bag = {{"Caption", "Hello"}, {"Width", "10"}};
  return a;
}

class ActiveXActionTest : public WindowTest {
 protected:
  ActiveXActionTest() {
    log = RegisterFakeControl(registry, kClassId);
    services.pageOverride = &page;
    services.controls = &registry;
  }

  std::unique_ptr<CTask> Task(const std::vector<CourseBuilder::Writer>& actions) {
    auto task = TaskWithActions(services, actions);
    EXPECT_TRUE(task);
    return task;
  }

  CNativeControlRegistry registry;
  std::shared_ptr<FakeControlLog> log;
  FakeTaskServices services;
  CTestPage page;
};

CourseBuilder::Writer ActiveX(const char* name, const ActiveXFields& a, DisplayFields d = {}) {
  return [=](CourseBuilder& b) { WriteActiveXAction(b, IconFields{4, name, "", 3}, a, d); };
}

}  // namespace

TEST_F(ActiveXActionTest, StreamIsKeptAsReadAndCopiesGetIdsOfTheirOwn) {
  auto task = Task({ActiveX("x", Hosting(0x00A3F2C0))});
  auto* action = ActionOf<CActiveXAction>(*task);
  ASSERT_TRUE(action);
  EXPECT_EQ(action->GetClassId(), CString(kClassId));
  EXPECT_EQ(action->GetThirdText(), CString("kept"));
  EXPECT_EQ(action->GetControlId(), 0x00A3F2C0);
  EXPECT_EQ(action->GetSavedState().items(), (std::vector<BYTE>{0xD0, 0xCF, 0x11, 0xE0}));
  EXPECT_EQ(action->GetSettings().GetSize(), 1);
  EXPECT_EQ(action->GetPropertyBag().Values().at("Width"), CString("10"));
  EXPECT_EQ(action->GetStatusBits(), 0u);

  // Schema 2 stores no bag: the next object follows the state at once.
  ActiveXFields old = Hosting();
  old.schema = 2;
  auto oldTask = Task({ActiveX("old", old), [](CourseBuilder& b) { b.VariableAction(IconFields{4, "v", "", 3}, "A=1"); }});
  ASSERT_EQ(oldTask->GetActions()->GetCount(), 2);
  EXPECT_TRUE(ActionOf<CActiveXAction>(*oldTask)->GetPropertyBag().Values().empty());

  CActiveXAction copy(*action);
  CActiveXAction assigned;
  assigned.CopyFrom(action, TRUE);
  for (CActiveXAction* c : {&copy, &assigned}) {
    EXPECT_EQ(c->GetControlId() % 2, 1) << "stored ids are even addresses; ours are odd";
    EXPECT_EQ(c->GetSavedState().items(), action->GetSavedState().items());
    EXPECT_EQ(c->GetPropertyBag().Values(), action->GetPropertyBag().Values());
    ASSERT_EQ(c->GetSettings().GetSize(), 1);
    EXPECT_NE(c->GetSettings().m_records[0].get(), action->GetSettings().m_records[0].get());
  }
  EXPECT_NE(copy.GetControlId(), assigned.GetControlId());
}

TEST_F(ActiveXActionTest, AControlThatIsNotInstalledStopsTheActionList) {
  ActiveXFields absent = Hosting();
  absent.classId = "{99999999-0000-0000-0000-000000000000}";
  ActiveXFields noBraces = Hosting();
  noBraces.classId = "0002E510-0000-0000-C000-000000000046";
  for (const ActiveXFields& a : {absent, noBraces}) {
    auto task = Task({ActiveX("x", a), [](CourseBuilder& b) { b.VariableAction(IconFields{4, "v", "", 3}, "A=1"); }});
    EXPECT_FALSE(task->ForwardToActions());
    EXPECT_TRUE(services.scripts.empty()) << "the action after it does not run";
    EXPECT_EQ(page.GetObjectCount(), 0);
    EXPECT_TRUE(dialogs->boxes.empty()) << "no message";
  }
}

TEST_F(ActiveXActionTest, AnInstalledControlIsHostedPlacedAndReused) {
  log->status = OLEMISC_INVISIBLEATRUNTIME;
  ActiveXFields user;
  user.sourceName = "host";
  user.useAnother = 1;
  user.settings = {CaptionPut()};
  ActiveXFields missingSource = user;
  missingSource.sourceName = "nobody";
  auto task = Task({ActiveX("host", Hosting()), ActiveX("user", user), ActiveX("lost", missingSource)});
  auto* host = ActionOf<CActiveXAction>(*task, 0);
  auto* other = ActionOf<CActiveXAction>(*task, 1);
  auto* lost = ActionOf<CActiveXAction>(*task, 2);

  ASSERT_TRUE(host->Execute());
  EXPECT_EQ(host->GetStatusBits(), OLEMISC_INVISIBLEATRUNTIME);
  ASSERT_TRUE(host->GetActiveXWnd() && host->GetActiveXWnd()->GetControlId() == 1000u);
  EXPECT_EQ(log->states.back(), (std::vector<BYTE>{0xD0, 0xCF, 0x11, 0xE0}));
  EXPECT_TRUE(page.FindDisplayItem(host));
  ASSERT_EQ(log->calls.size(), 1u);

  // An empty rectangle is the page's 640 by 480; invisible-at-run-time hides.
  host->Draw(nullptr, 0, nullptr);
  EXPECT_EQ(log->placements.back(), std::make_pair(CRect(0, 0, 640, 480), FALSE));
  host->SizeObject(CRect(10, 10, 110, 60));
  EXPECT_EQ(log->placements.back(), std::make_pair(CRect(10, 10, 110, 60), TRUE));

  // A second run reuses the control and applies the settings again.
  const int made = log->created;
  CActiveXWnd* window = host->GetActiveXWnd();
  ASSERT_TRUE(host->Execute());
  EXPECT_EQ(log->created, made);
  EXPECT_EQ(host->GetActiveXWnd(), window);
  EXPECT_EQ(log->calls.size(), 2u);

  // Use-another applies its settings to the host's control and hosts nothing.
  const std::size_t placed = log->placements.size();
  ASSERT_TRUE(other->Execute());
  EXPECT_EQ(log->calls.size(), 3u);
  EXPECT_EQ(other->GetActiveXWnd(), nullptr);
  other->SizeObject(CRect(0, 0, 5, 5));
  other->Draw(nullptr, 0, nullptr);
  EXPECT_EQ(log->placements.size(), placed);
  EXPECT_TRUE(lost->Execute()) << "a missing source does nothing and lets the list go on";
  EXPECT_EQ(log->calls.size(), 3u);

  host->Unload();
  EXPECT_EQ(log->alive, 0);
}

namespace {

ActiveXResponseFields Awaiting(std::vector<std::uint32_t> variables, std::int32_t dispid = 5) {
  ActiveXResponseFields r;
  r.controlName = "host";
  r.eventName = "Changed";
  r.variableIds = std::move(variables);
  r.controlWnd = 0x1234;
  r.event = CtrlEventFields{"Changed", dispid, {}};
  return r;
}

std::unique_ptr<CTask> TaskWithResponse(ITaskServices& services, const std::vector<CourseBuilder::Writer>& actions,
                                        const ActiveXResponseFields& r) {
  CourseBuilder b(5);
  b.Task(IconFields{4, "t", "", 3}, 1, {}, actions,
         {[&](CourseBuilder& w) { WriteActiveXResponse(w, IconFields{4, "resp", "", 3}, ResponseFields{}, r); }});
  StreamReader reader(b.bytes(), 5);
  auto task = reader.ar.ReadOwned<CTask>();
  if (task) task->SetServices(&services);
  return task;
}

}  // namespace

TEST_F(ActiveXActionTest, TheResponseTakesItsControlsEventIntoVariables) {
  TestVariableContext& vars = services.vars;
  CVariable& text = vars.Declare("Text", VarType::kString);
  CVariable& number = vars.Declare("Number", VarType::kNumber);
  CVariable& when = vars.Declare("When", VarType::kDateTime);
  CVariable& count = vars.Declare("Count", VarType::kInteger);
  const auto id = [](CVariable& v) { return static_cast<std::uint32_t>(v.GetId()); };

  // Declared (text, number, skipped, when, count); one more argument than entries.
  auto task = TaskWithResponse(services, {ActiveX("host", Hosting())},
                               Awaiting({id(text), id(number), 0, id(when), id(count)}));
  auto* response = dynamic_cast<CActiveXResponse*>(task->GetResponses()->GetChild(0));
  ASSERT_TRUE(response);
  EXPECT_EQ(response->GetParameterVariables().size(), 5u);
  ASSERT_TRUE(task->ForwardToActions());
  EXPECT_TRUE(response->Activate());
  CActiveXWnd* window = ActionOf<CActiveXAction>(*task)->GetActiveXWnd();
  ASSERT_EQ(response->GetControlWindow(), window);

  // COM order: the last declared argument comes first.
  CControlEventRecord record;
  record.sender = window;
  record.dispid = 5;
  record.params.rgvarg = {COleVariant::Ansi("extra"), COleVariant::Int(VT_I4, 8), COleVariant::Date(36526.5),
                          COleVariant::Ansi("ignored"), COleVariant::Ansi("2.25"), COleVariant::String(u"")};
  EXPECT_TRUE(response->OnControlEvent(1000, &record));
  EXPECT_EQ(text.GetString(), CString(""));
  EXPECT_DOUBLE_EQ(number.GetReal(), 2.25);
  const auto local = tvn::localtime::ToLocal(when.GetDateTime());
  EXPECT_EQ(std::vector<int>({local.year, local.month, local.day, local.hour, local.minute}),
            std::vector<int>({2000, 1, 1, 12, 0}));
  EXPECT_EQ(count.GetLong(), 0) << "integer variables are left alone";

  // A value that does not convert leaves its variable unchanged.
  record.params.rgvarg = {COleVariant::Ansi("y"), COleVariant::Ansi("not a number"), COleVariant::Opaque(VT_DISPATCH)};
  number.SetReal(7);
  EXPECT_TRUE(response->OnControlEvent(1000, &record));
  EXPECT_DOUBLE_EQ(number.GetReal(), 7);

  // Another event of the control, or another sender, is not taken.
  record.dispid = 6;
  EXPECT_FALSE(response->OnControlEvent(1000, &record));
  record.dispid = 5;
  record.sender = &page;
  EXPECT_FALSE(response->OnControlEvent(1000, &record));
}

TEST_F(ActiveXActionTest, AResponseWhoseControlIsNowhereNeverMatches) {
  ActiveXResponseFields r = Awaiting({});
  r.controlName = "nobody";
  auto task = TaskWithResponse(services, {ActiveX("host", Hosting())}, r);
  ASSERT_TRUE(task->ForwardToActions());
  auto* response = dynamic_cast<CActiveXResponse*>(task->GetResponses()->GetChild(0));
  EXPECT_TRUE(response->Activate());
  CControlEventRecord record;
  record.sender = ActionOf<CActiveXAction>(*task)->GetActiveXWnd();
  record.dispid = 5;
  EXPECT_FALSE(response->OnControlEvent(1000, &record));
  EXPECT_FALSE(response->OnControlEvent(1000, nullptr));
}
