// A course holding every page-setup, shape, move and widget kind loads in the old and the new file form.
#include <gtest/gtest.h>

#include <fstream>

#include "behaviour/menu_action.h"
#include "behaviour/move_action.h"
#include "behaviour/page_setup_actions.h"
#include "behaviour/shape_action.h"
#include "behaviour/widgit_action.h"
#include "behaviour/window_action.h"
#include "model/course_doc.h"
#include "model/task.h"
#include "tests/behaviour/display_test_support.h"
#include "tests/support/fake_course_host.h"
#include "tests/support/temp_dir.h"

using namespace tvn::testing;

namespace {

std::vector<CourseBuilder::Writer> EveryNewKind() {
  DisplayFields d;
  d.rect = {10, 10, 200, 60};
  d.layer = 5;
  ShapeFields shape;
  shape.type = 4;
  shape.flags = 0x0A | 0x20;
  shape.arrowStyle = 6;
  shape.points = PathFields{{{0, 0}, {40, 10}, {60, 50}, {80, 0}}, {2, 4, 4, 2}};
  MoveFields move;
  move.type = 2;
  move.objectName = "shape {N}";
  move.path = PathFields{{{0, 0}, {100, 100}}, {}};
  move.a = 1;
  move.b = 9;
  move.cVar = 77;
  WidgitFields widget;
  widget.flags = 0x400002;
  widget.cycleLimit = 3;
  ImageFields picture;
  picture.fileName = "FRAMES.BMP";
  widget.widgets = {{picture, 4}, {picture, 0}};
  WindowFields window;
  window.mode = 0x20000 | 0x40 | 0x100;
  window.caption = "Caption {N}";
  window.keptLayers = {0, 1, 1};
  MenuItemFields sub{0, 11, "Sub", "", "", {}};
  MenuItemFields item{0, 10, "&Menu", "N = 1", "", {sub}};
  return {
      [=](CourseBuilder& b) { b.ShapeAction(IconFields{4, "shape 1", "", 3}, shape, d); },
      [=](CourseBuilder& b) { b.MoveAction(IconFields{4, "move", "", 3}, move, d); },
      [=](CourseBuilder& b) { b.WidgitAction(IconFields{4, "widget", "", 3}, widget, d); },
      [=](CourseBuilder& b) { b.WindowAction(IconFields{4, "window", "", 3}, window, d); },
      [=](CourseBuilder& b) { b.MenuAction(IconFields{4, "menu", "", 3}, {item}); },
      [](CourseBuilder& b) { b.PrintAction(IconFields{4, "print", "", 3}, 0x21, 80, {1, 2, 3, 4}); },
      [](CourseBuilder& b) { b.PaletteAction(IconFields{4, "palette", "", 3}, 0x4, "GREY.PAL"); },
      [](CourseBuilder& b) { b.PreloadAction(IconFields{4, "preload", "", 3}, 0xD, 500, {"A.WAV", "B.AVI"}); },
  };
}

}  // namespace

TEST(NewKindsCourse, EveryNewKindLoadsInTheOldAndTheNewForm) {
  for (int version : {3, 5}) {
    SCOPED_TRACE(version);
    CourseBuilder b(version);
    CourseFileFields f;
    f.version = static_cast<std::uint32_t>(version);
    const auto writers = EveryNewKind();
    f.tasks.push_back([writers](CourseBuilder& w) { w.Task(IconFields{4, "t", "", 3}, 1, {}, writers, {}); });
    b.CourseFile(f);
    TempDir dir;
    const auto path = dir / "kinds.mcl";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.bytes().data()), b.bytes().size());

    FakeCourseHost host;
    CCourseDoc course(host);
    ASSERT_TRUE(course.OnOpenDocument(CString(path.string())));
    CTask* task = course.Tasks().GetAt(0);
    ASSERT_TRUE(task);
    // One archive keeps one schema per class: the older stored forms have their own tests.
    const std::vector<const char*> classes = {"CShapeAction", "CMoveAction",  "CWidgitAction",  "CWindowAction",
                                              "CMenuAction",  "CPrintAction", "CPaletteAction", "CPreloadAction"};
    ASSERT_EQ(task->GetActions()->GetCount(), static_cast<int>(classes.size()));
    for (int i = 0; i < static_cast<int>(classes.size()); ++i)
      EXPECT_STREQ(task->GetActions()->GetChild(i)->GetRuntimeClass()->m_lpszClassName, classes[i]);
    auto* shape = dynamic_cast<CShapeAction*>(task->GetActions()->GetChild(0));
    EXPECT_EQ(shape->Points().GetPointType(2), CPolyline::kCurvePoint);
    EXPECT_EQ(shape->GetArrowStyle(), 6);
    EXPECT_EQ(shape->GetLayer(), 5);
    auto* move = dynamic_cast<CMoveAction*>(task->GetActions()->GetChild(1));
    EXPECT_EQ(move->ValueC().GetVariableId(), 77);
    auto* widget = dynamic_cast<CWidgitAction*>(task->GetActions()->GetChild(2));
    ASSERT_EQ(widget->Widgets().GetCount(), 2);
    EXPECT_EQ(widget->Widgets().GetAt(0)->GetFrameCount(), 4);
    EXPECT_EQ(widget->Widgets().GetAt(1)->GetFrameCount(), 1);
    auto* window = dynamic_cast<CWindowAction*>(task->GetActions()->GetChild(3));
    EXPECT_TRUE(window->IsLayerKept(2));
    auto* menu = dynamic_cast<CMenuAction*>(task->GetActions()->GetChild(4));
    EXPECT_EQ(menu->Items().GetCount(), 1);
    EXPECT_EQ(dynamic_cast<CPrintAction*>(task->GetActions()->GetChild(5))->GetMargins(), CRect(1, 2, 3, 4));
    EXPECT_EQ(dynamic_cast<CPreloadAction*>(task->GetActions()->GetChild(7))->GetFileNames().GetSize(), 2);
    CStringArray files;
    task->GetActions()->CollectFiles(&files, 0);
    EXPECT_GE(files.GetSize(), 5) << "widget frames, palette file and preload names";
  }
}
