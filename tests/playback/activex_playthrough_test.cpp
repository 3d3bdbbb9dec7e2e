// A course with ActiveX, HTML, FTP and OLE actions played headless: a fake control's event ends the task through the ActiveX response.
#include <gtest/gtest.h>

#include "behaviour/activex_action.h"
#include "model/course_doc.h"
#include "model/variable.h"
#include "playback/presentation_view.h"
#include "tests/platform/user/window_test_support.h"
#include "tests/playback/view_test_courses.h"
#include "tests/support/activex_builder.h"
#include "tests/support/fake_control.h"
#include "tests/support/scripted_player.h"

namespace {

using namespace tvn::testing;

constexpr const char* kClassId = "{8856F961-340A-11D0-A96B-00C04FD705A2}";

std::uint32_t IdOf(const char* name) {
  CVariable v;
  v.SetName(name);
  return static_cast<std::uint32_t>(v.GetId());
}

VariableFields Declare(const char* name, std::uint32_t flags) {
  VariableFields v;
  v.name = name;
  v.flags = flags;
  return v;
}

std::vector<std::uint8_t> WebCourse() {
  CourseFileFields f;
  f.variables = {Declare("Said", 0x100), Declare("Amount", 0x200), Declare("Reached", 0x200), Declare("Who", 0x100)};
  DisplayFields placed;
  placed.rect = {20, 20, 220, 120};
  ActiveXFields host;
  host.classId = kClassId;
  host.controlId = 2000;
  PropMethodFields caption;
  caption.name = "Caption";
  caption.dispid = -518;
  caption.invokeCode = 3;
  caption.parameters = {ParameterFields{"Caption", 8, 2, 0, {}}};
  caption.constants = {"Hello {Who}"};
  host.settings = {caption};
  ActiveXResponseFields awaited;
  awaited.controlName = "browser";
  awaited.variableIds = {IdOf("Said"), IdOf("Amount")};
  awaited.event = CtrlEventFields{"Changed", 7, {{"Text", 8, 2, 0, {}}, {"Value", 5, 1, 0, {}}}};
  HtmlFields toMissingFrame;
  toMissingFrame.flags = 0x20;
  toMissingFrame.frame = "nowhere";
  HtmlFrameFields frame;
  frame.pages[0] = "index.htm";

  f.tasks.push_back([=](CourseBuilder& b) {
    b.Task(IconFields{4, "Task 1", "", 3}, 1, {},
           {[](CourseBuilder& w) { w.VariableAction(IconFields{}, "Who = \"Ann\""); },
            [](CourseBuilder& w) { WriteFtpAction(w, IconFields{4, "ftp", "", 3}, FtpFields{}); },
            [=](CourseBuilder& w) { WriteHtmlFrameAction(w, IconFields{4, "frame", "", 3}, frame, placed); },
            [=](CourseBuilder& w) { WriteHtmlAction(w, IconFields{4, "page", "", 3}, HtmlFields{}, placed); },
            [=](CourseBuilder& w) { WriteOleAction(w, IconFields{4, "ole", "", 3}, 1, 0, placed); },
            [=](CourseBuilder& w) { WriteActiveXAction(w, IconFields{4, "browser", "", 3}, host, placed); }},
           {[=](CourseBuilder& w) {
             WriteActiveXResponse(w, IconFields{4, "changed", "", 3}, ResponseFields{}, awaited);
           }});
  });
  f.tasks.push_back([=](CourseBuilder& b) {
    b.Task(IconFields{4, "Task 2", "", 3}, 2, {},
           {[=](CourseBuilder& w) { WriteHtmlAction(w, IconFields{4, "to frame", "", 3}, toMissingFrame, placed); },
            [](CourseBuilder& w) { w.VariableAction(IconFields{}, "Reached = 1"); }},
           {KeyResponse("")});
  });
  CourseBuilder b;
  b.CourseFile(f);
  return b.bytes();
}

}  // namespace

TEST(ActiveXPlaythrough, AControlEventEndsTheTaskWithItsArgumentsInVariables) {
  ScriptedPlayer player;
  auto log = RegisterFakeControl(player.Controls(), kClassId);
  ASSERT_TRUE(player.Start(WebCourse(), "web.mcl"));
  ASSERT_EQ(player.CurrentTask(), 1);
  ASSERT_EQ(log->alive, 1) << "one control hosted";
  ASSERT_EQ(log->calls.size(), 1u);
  EXPECT_EQ(log->calls[0].params.rgvarg[0], COleVariant::Ansi("Hello Ann"));
  EXPECT_TRUE(player.View().FindObjectByName("ole"));
  EXPECT_TRUE(player.View().FindObjectByName("browser"));
  EXPECT_FALSE(player.View().FindObjectByName("frame")) << "the frame action shows nothing";

  // Another event of the control does not end the task; the awaited one does.
  log->live->Fire(8, {});
  player.Pump();
  EXPECT_EQ(player.CurrentTask(), 1);
  // COM order: the last declared argument comes first.
  log->live->Fire(7, {COleVariant::Ansi("2.5"), COleVariant::Ansi("hi")});
  player.Pump();
  EXPECT_EQ(player.CurrentTask(), 2);
  EXPECT_EQ(player.Text("Said"), "hi");
  EXPECT_DOUBLE_EQ(player.Number("Amount"), 2.5);
  // Task 2's page action finds no frame: its action list stops there.
  EXPECT_EQ(player.Number("Reached"), 0);

  // Stopping the course destroys the hosted control.
  player.View().OnStopCourse();
  EXPECT_EQ(log->alive, 0);
}

TEST(ActiveXPlaythrough, WithoutTheControlTheTaskStopsAtIt) {
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(WebCourse(), "web.mcl"));
  EXPECT_EQ(player.CurrentTask(), 1);
  EXPECT_TRUE(player.View().FindObjectByName("ole")) << "the actions before it ran";
  EXPECT_FALSE(player.View().FindObjectByName("browser"));
  EXPECT_TRUE(player.Dialogs().boxes.empty()) << "no message";
}
