// A course that reaches outside the runtime, played headless: files written
// and read back by section, a library called, a watched program whose end
// reaches the view, and the system variables of the running course.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "controls/dde_link.h"
#include "model/course_doc.h"
#include "model/path_helpers.h"
#include "model/variable.h"
#include "page/draw_obj.h"
#include "platform/user/cursor.h"
#include "tests/page/page_test_support.h"
#include "playback/player_app.h"
#include "playback/presentation_view.h"
#include "tests/playback/view_test_courses.h"
#include "tests/support/mail_headers.h"
#include "tests/support/scripted_player.h"

namespace {

using namespace tvn::testing;

// Sounds that play nothing and note every media notice the view offers them.
class NoticeRecorder : public IPlayingSounds {
 public:
  BOOL OnNotify(WPARAM wParam, LPARAM lParam) override {
    notices.emplace_back(wParam, lParam);
    return TRUE;
  }
  void RemoveAll() override {}
  std::vector<std::pair<WPARAM, LPARAM>> notices;
};

std::int32_t IdOf(const char* name) {
  CVariable v;
  v.SetName(name);
  return v.GetId();
}

TEST(OutsideWorldPlaythrough, WritesReadsCallsAndWatchesAProgram) {
  ScriptedPlayer player;
  const std::filesystem::path store = player.Directory() / "store.txt";
  const std::filesystem::path quick = player.Directory() / "quick";
  std::ofstream(quick) << "#!/bin/sh\nexit 0\n";
  ::chmod(quick.c_str(), 0755);

  CourseFileFields f;
  auto declare = [](const char* name, std::uint32_t flags) {
    VariableFields v;
    v.name = name;
    v.flags = flags;
    return v;
  };
  f.course.name = "Outside world";
  f.variables = {declare("Points", 0x200), declare("Back", 0x100), declare("Described", 0x100)};
  ReadFields read;
  read.flags = 0x03;
  read.variableId = IdOf("Back");
  read.fileName = store.string();
  read.section = "Score";
  DllFields dll;
  dll.library = TVN_DLL_TEST_LIBRARY;
  dll.function = "Describe";
  dll.arguments = "'A,12S,3.5,word";
  dll.resultType = 1;
  dll.resultVariable = IdOf("Described");
  f.tasks.push_back([&](CourseBuilder& b) {
    b.Task(IconFields{4, "Task 1", "", 3}, 1, {},
           {[](CourseBuilder& w) { w.VariableAction(IconFields{}, "Points = 42"); },
            [&](CourseBuilder& w) {
              w.WriteAction(IconFields{}, 0x05, store.string(), "#Score{CR}{Points}{CR}#Other{CR}x{CR}");
            },
            [&](CourseBuilder& w) { w.ReadAction(IconFields{}, read); },
            [&](CourseBuilder& w) { w.DllAction(IconFields{}, dll); },
            [&](CourseBuilder& w) { w.RunAction(IconFields{}, quick.string(), "", 0x14); }},
           {KeyResponse("")});
  });
  CourseBuilder b;
  b.CourseFile(f);
  ASSERT_TRUE(player.Start(b.bytes(), "outside.mcl"));
  NoticeRecorder recorder;
  player.View().SetPlayingSounds(&recorder);

  // The system variables of the started course.
  EXPECT_EQ(player.Text("CR"), "\r\n");
  EXPECT_EQ(player.Text("DoubleQuote"), "\"");
  EXPECT_EQ(player.Number("ColourDepth"), 32);
  EXPECT_EQ(player.Number("PreloadBufferSize"), 3000000);
  EXPECT_DOUBLE_EQ(player.Number("WindowsVersion"), 5.1);
  // The title is the course object's name; the path is the course's folder, so a file name can follow it.
  EXPECT_EQ(player.Text("CourseTitle"), "Outside world");
  const std::string folder = player.Text("CoursePath").str();
  EXPECT_TRUE(folder.ends_with("/")) << folder;
  EXPECT_TRUE(FileExists(CString(folder + "store.txt"))) << folder;
  EXPECT_EQ(player.Text("CourseDrive"), "");

  std::ifstream in(store, std::ios::binary);
  std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(written, "#Score\r\n42\r\n#Other\r\nx\r\n");
  EXPECT_EQ(player.Text("Back"), "42");
  EXPECT_EQ(player.Text("Described"), "65|12|3.50|word");

  // The watched program ends; a tick of timer 79 tells the view.
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (recorder.notices.empty() && std::chrono::steady_clock::now() < deadline) {
    player.Tick(500);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(recorder.notices, (std::vector<std::pair<WPARAM, LPARAM>>{{1036, 0}}));
  EXPECT_EQ(player.CurrentTask(), 1);
  player.View().SetPlayingSounds(nullptr);
}

TEST(OutsideWorldPlaythrough, BuiltInsReachThePageTheCursorAndTheProgram) {
  CColourOwner owner("banner", 5, CRect(50, 10, 150, 60), RGB(0, 128, 0));
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(BuildCourse({{1, {}, {KeyResponse("")}}})));
  player.View().AddObject(&owner, 0);
  CCourseDoc* course = player.Course();
  ASSERT_TRUE(course);

  // The draw object moves; its owner keeps its own rectangle.
  EXPECT_EQ(course->ExecuteScript("SetObjectWidth(\"banner\", 40, 1)"), 0);
  CDrawObj* obj = player.View().FindObjectByName("banner");
  ASSERT_TRUE(obj);
  CRect rect;
  obj->GetRect(&rect);
  EXPECT_EQ(rect, CRect(80, 10, 120, 60));
  EXPECT_EQ(owner.GetBounds(), CRect(50, 10, 150, 60));
  // Results land in variables the runtime keeps (a script's own would go with it).
  course->ExecuteScript("ClickX = GetObjectZLayer(\"banner\")\nClickY = GetObjectWidth(\"none\") + 7");
  EXPECT_EQ(player.Number("ClickX"), 5);
  EXPECT_EQ(player.Number("ClickY"), 7);
  // The off-screen display cannot move the pointer.
  course->ExecuteScript("ReleaseX = SetCursorPosition(1, 2) + 3");
  EXPECT_EQ(player.Number("ReleaseX"), 3);

  course->ExecuteScript("ShowCursor(3)");
  EXPECT_EQ(player.View().GetSystemCursorId(), IDC_IBEAM);
  course->ExecuteScript("ShowCursor(1.5)");
  EXPECT_EQ(player.View().GetSystemCursorId(), IDC_ARROW);
  course->ExecuteScript("ReleaseY = PlaySound(\"none.wav\") + 4");
  EXPECT_EQ(player.Number("ReleaseY"), 4);

  course->ExecuteScript("Quit(\"x\")");
  EXPECT_EQ(course->GetCurrentTask(), nullptr);
  player.View().RemoveObject(&owner, TRUE);
}

TEST(OutsideWorldPlaythrough, ACourseStartedByACourseActionHasItsOwnPathAndTitle) {
  ScriptedPlayer player;
  CourseFileFields g;
  g.course.name = "Second course";
  g.tasks.push_back([](CourseBuilder& b) { b.Task(IconFields{4, "Only", "", 3}, 7, {}, {}, {KeyResponse("")}); });
  CourseBuilder secondBuilder;
  secondBuilder.CourseFile(g);
  const auto second = secondBuilder.bytes();
  const auto path = player.Directory() / "second.mcl";
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(second.data()),
                                             static_cast<std::streamsize>(second.size()));
  CourseFileFields f;
  f.course.name = "First course";
  f.tasks.push_back([](CourseBuilder& b) { b.Task(IconFields{4, "Wait", "", 3}, 1, {}, {}, {KeyResponse("")}); });
  f.tasks.push_back([&](CourseBuilder& b) {
    b.Task(IconFields{4, "Switch", "", 3}, 2, {},
           {[&](CourseBuilder& w) { w.CourseAction(IconFields{}, 0, path.string(), 0); }}, {KeyResponse("")});
  });
  CourseBuilder b;
  b.CourseFile(f);
  ASSERT_TRUE(player.Start(b.bytes(), "first.mcl"));
  EXPECT_EQ(player.Text("CourseTitle"), "First course");

  player.Key('N');
  EXPECT_EQ(player.CurrentTask(), 7);
  EXPECT_EQ(player.Text("CourseTitle"), "Second course");
  EXPECT_EQ(player.Text("CoursePath"), player.Course()->GetCourseDirectory());
  EXPECT_TRUE(FileExists(player.Text("CoursePath") + "second.mcl"));
}

}  // namespace

TEST(OutsideWorldPlaythrough, SendEmailLeavesOneMessageInTheOutbox) {
  ScriptedPlayer player;
  const std::filesystem::path config = player.Directory() / "config";
  const std::filesystem::path outbox = player.Directory() / "outbox";
  std::filesystem::create_directories(config / "tavelon");
  std::ofstream(config / "tavelon" / "tvnrun.ini") << "[Mail]\r\nOutbox=" << outbox.string() << "\r\n";
  const char* saved = std::getenv("XDG_CONFIG_HOME");
  const std::string savedValue = saved ? saved : "";
  ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);

  ASSERT_TRUE(player.Start(BuildCourse({{1, {}, {KeyResponse("")}}})));
  player.Course()->ExecuteScript(
      "ClickX = SendEmail(\"a@x.org; b@y.org\", \"R\xe9sultat\", \"Score: 42\")\n"
      "ClickY = SendEmail(\" ; \", \"s\", \"t\")");
  if (saved) ::setenv("XDG_CONFIG_HOME", savedValue.c_str(), 1); else ::unsetenv("XDG_CONFIG_HOME");

  EXPECT_EQ(player.Number("ClickX"), 1);
  EXPECT_EQ(player.Number("ClickY"), 0);
  EXPECT_EQ(player.Number("ErrorNumber"), 25);
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(outbox)) files.push_back(entry.path());
  ASSERT_EQ(files.size(), 1u);
  std::ifstream in(files[0], std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  auto mail = ParseMail(text);
  ASSERT_TRUE(mail);
  EXPECT_EQ(*mail->Field("To"), "a@x.org, b@y.org");
  EXPECT_EQ(*mail->Field("Subject"), "=?UTF-8?B?UsOpc3VsdGF0?=");
  EXPECT_EQ(mail->body, "Score: 42\r\n");
}

TEST(OutsideWorldPlaythrough, ADdeActionTalksToTheRuntimesOwnService) {
  ScriptedPlayer player;
  CourseFileFields f;
  DdeFields dde;
  dde.application = "TAVELON";
  dde.topic = "system";
  dde.command = "[event(fromCourse)]";
  dde.item = "status";
  dde.flags = 0x1 | 0x8 | 0x10;
  f.tasks.push_back([&](CourseBuilder& b) {
    b.Task(IconFields{4, "Task 1", "", 3}, 1, {}, {[&](CourseBuilder& w) { w.DdeAction(IconFields{}, dde); }},
           {KeyResponse("")});
  });
  CourseBuilder b;
  b.CourseFile(f);
  ASSERT_TRUE(player.Start(b.bytes(), "dde.mcl"));
  // The conversation stays open for later actions; the service has no items to give.
  ASSERT_NE(player.View().GetDdeLink(), nullptr);
  EXPECT_TRUE(player.View().GetDdeLink()->IsConnected());
  EXPECT_EQ(player.CurrentTask(), 1);
}
