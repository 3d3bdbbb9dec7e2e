// Task objects reaching the running course through their task services alone: fakes, no course document behind them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "behaviour/dll_action.h"
#include "behaviour/press_tracking.h"
#include "behaviour/read_action.h"
#include "model/variable.h"
#include "platform/msg/window_messages.h"
#include "platform/user/message_loop.h"
#include "tests/behaviour/display_test_support.h"
#include "tests/support/fake_course_host.h"
#include "tests/support/fake_task_services.h"
#include "tests/support/temp_dir.h"

using namespace tvn::testing;

TEST(TaskServices, LibraryAndReadActionsReachTheApplicationThroughTheServices) {
  FakeCourseHost host;
  FakeTaskServices services;
  TempDir dir;
  CVariable& half = services.vars.Declare("Half", VarType::kNumber);
  CVariable& text = services.vars.Declare("Text", VarType::kString);

  // The test library named as a course names it, without a folder: only the
  // course's folder, as the services give it, holds it.
  const std::filesystem::path library(TVN_DLL_TEST_LIBRARY);
  DllFields call;
  call.library = library.stem().string().substr(3) + ".DLL";  // without "lib"
  call.function = "Half";
  call.arguments = "7";
  call.resultType = 6;
  call.resultVariable = half.GetId();
  DllFields missing = call;
  missing.library = "NOPE.DLL";
  ReadFields notes;
  notes.variableId = text.GetId();
  notes.fileName = "NOTES.TXT";
  ReadFields huge = notes;
  huge.fileName = "HUGE.TXT";
  auto task = TaskWithActions(services, {[&](CourseBuilder& b) { b.DllAction(IconFields{}, call); },
                                         [&](CourseBuilder& b) { b.DllAction(IconFields{}, missing); },
                                         [&](CourseBuilder& b) { b.ReadAction(IconFields{}, notes); },
                                         [&](CourseBuilder& b) { b.ReadAction(IconFields{}, huge); }});
  ASSERT_TRUE(task);
  auto* found = ActionOf<CDLLAction>(*task, 0);
  auto* notFound = ActionOf<CDLLAction>(*task, 1);
  auto* readNotes = ActionOf<CReadAction>(*task, 2);
  auto* readHuge = ActionOf<CReadAction>(*task, 3);

  // With no application behind the services no library is called.
  EXPECT_TRUE(found->Execute());
  EXPECT_EQ(half.GetReal(), 0);

  services.host = &host;
  services.courseDirectory = CString(library.parent_path().string() + "/");
  EXPECT_TRUE(found->Execute());
  EXPECT_EQ(half.GetReal(), 3.5);
  EXPECT_TRUE(notFound->Execute());
  EXPECT_EQ(host.BoxTexts(), (std::vector<std::string>{
                                 "NOPE.DLL\nCannot find this file.\nPlease verify that the correct path and file name are given."}));

  // The read action's file is where the services find it; its failure is told through the application.
  std::ofstream(dir.path() / "notes.txt", std::ios::binary) << "hello";
  services.mediaFiles["NOTES.TXT"] = (dir.path() / "notes.txt").string();
  EXPECT_TRUE(readNotes->Execute());
  EXPECT_EQ(text.GetString().str(), "hello");
  const std::filesystem::path hugeFile = dir.path() / "huge.txt";
  std::ofstream(hugeFile) << "";
  std::filesystem::resize_file(hugeFile, CReadAction::kLargestFile + 1);
  services.mediaFiles["HUGE.TXT"] = hugeFile.string();
  EXPECT_TRUE(readHuge->Execute());
  ASSERT_EQ(host.BoxTexts().size(), 2u);
  EXPECT_EQ(host.BoxTexts()[1], "Insufficient memory to perform operation.");
  EXPECT_EQ(text.GetString().str(), "hello");
}

TEST(PressTracking, EndsWhenTheCourseIsOnAnotherTask) {
  CMessageLoop loop;
  CTestPage page;
  page.SetRunning(true);
  FakeTaskServices services;
  CTask pressed, other;
  services.currentTask = &pressed;
  CViewPressTracking tracking(page, &services, &pressed);
  CPoint point;
  BOOL released = FALSE;

  EXPECT_TRUE(tracking.TaskStillCurrent());
  loop.PostMessage(nullptr, WM_MOUSEMOVE, 0, MAKELPARAM(5, 6));
  ASSERT_TRUE(tracking.NextMouse(point, released));
  EXPECT_EQ(point, CPoint(5, 6));
  EXPECT_FALSE(released);

  // A script moved the course on while the button was held.
  services.currentTask = &other;
  EXPECT_FALSE(tracking.TaskStillCurrent());
  loop.PostMessage(nullptr, WM_LBUTTONUP, 0, MAKELPARAM(5, 6));
  EXPECT_FALSE(tracking.NextMouse(point, released)) << "ends as a release outside";
  MSG msg;
  EXPECT_TRUE(loop.PeekMessage(msg, nullptr, 0, 0, PM_NOREMOVE)) << "the release stays queued";

  // With no services to ask, the task stays current.
  CViewPressTracking unwatched(page, nullptr, &pressed);
  EXPECT_TRUE(unwatched.TaskStillCurrent());
}
