// Window, menu and preload actions played by the runtime: the frame placed, full screen and hidden; a course menu ticked and chosen; the look-ahead.
#include <gtest/gtest.h>

#include "behaviour/move_action.h"
#include "behaviour/shape_action.h"
#include "model/variable.h"
#include "page/preload_cache.h"
#include "platform/gdi/system_metrics.h"
#include "platform/user/menu.h"
#include "playback/player_app.h"
#include "playback/presentation_frame.h"
#include "playback/presentation_view.h"
#include "tests/playback/view_test_courses.h"
#include "tests/platform/user/window_test_support.h"
#include "tests/support/scripted_player.h"

using namespace tvn::testing;

namespace {

struct ActionTask {
  int number;
  std::vector<CourseBuilder::Writer> actions;
  std::vector<CourseBuilder::Writer> responses;
};

std::vector<std::uint8_t> CourseOf(const std::vector<ActionTask>& tasks, std::vector<VariableFields> variables = {}) {
  CourseFileFields f;
  f.variables = std::move(variables);
  for (const ActionTask& t : tasks)
    f.tasks.push_back([t](CourseBuilder& b) {
      b.Task(IconFields{4, "Task " + std::to_string(t.number), "", 3}, t.number, {}, t.actions, t.responses);
    });
  CourseBuilder b;
  b.CourseFile(f);
  return b.bytes();
}

CourseBuilder::Writer Window(WindowFields w, VariableRectFields rect) {
  return [=](CourseBuilder& b) {
    DisplayFields d;
    d.rect = rect;
    b.WindowAction(IconFields{4, "window", "", 3}, w, d);
  };
}

CourseBuilder::Writer Menu(std::vector<MenuItemFields> items) {
  return [=](CourseBuilder& b) { b.MenuAction(IconFields{4, "menu", "", 3}, items); };
}

CourseBuilder::Writer Script(std::string text) {
  return [=](CourseBuilder& b) { b.VariableAction(IconFields{4, "set", "", 3}, text); };
}

CRect FrameRect(ScriptedPlayer& player) {
  CRect r;
  player.App().GetPresentationFrame()->GetWindowRect(&r);
  return r;
}

}  // namespace

TEST(WindowMenuPlaythrough, AWindowIsPlacedCentredAndFullScreenCoversTheScreenByOneMore) {
  WindowFields windowed;
  windowed.mode = 0x100 | 0x20 | 0x10000;
  windowed.flags = 0x2;
  windowed.caption = "Quiz";
  WindowFields full;
  full.mode = 0x80 | 0x10000;
  WindowFields hide;
  hide.mode = 0x200;
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(CourseOf({{1, {Window(windowed, {-1, 20, 300, 220})}, {KeyResponse("")}},
                                     {2, {Window(full, {0, 0, 640, 480})}, {KeyResponse("")}},
                                     {3, {Window(hide, {})}, {KeyResponse("")}}})));
  CPresentationFrame* frame = player.App().GetPresentationFrame();
  ASSERT_TRUE(frame);
  const CSize screen(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  EXPECT_EQ(FrameRect(player), CRect((screen.cx - 300) / 2, 20, (screen.cx - 300) / 2 + 300, 240));
  EXPECT_TRUE(frame->GetStyle() & WS_CAPTION);
  EXPECT_FALSE(frame->GetStyle() & WS_THICKFRAME);
  player.Key('A');
  EXPECT_EQ(player.CurrentTask(), 2);
  EXPECT_EQ(FrameRect(player), CRect(0, 0, screen.cx + 1, screen.cy + 1));
  EXPECT_FALSE(frame->GetStyle() & WS_CAPTION);
  EXPECT_TRUE(frame->IsWindowVisible());
  player.Key('A');
  EXPECT_FALSE(frame->IsWindowVisible());
}

TEST(WindowMenuPlaythrough, ACourseMenuIsTickedByItsConditionAndItsChoiceAnswers) {
  MenuItemFields tick;
  tick.caption = "Tick";
  tick.commandId = 4001;
  tick.checkCondition = "Ticked = 1";
  MenuItemFields go;
  go.caption = "&Go";
  go.commandId = 4002;
  go.disableCondition = "Ticked = 2";
  VariableFields ticked;
  ticked.name = "Ticked";
  ticked.flags = 0x200;  // a number
  ResponseFields next;
  next.outcomeFlags = 1;
  auto choose = [next](CourseBuilder& b) { b.MenuResponse(IconFields{4, "go", "", 3}, next, "&Go", 4002); };
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(CourseOf({{1, {Menu({tick, go}), Script("Ticked = 1")}, {choose}},
                                     {2, {Menu({})}, {KeyResponse("")}}},
                                    {ticked})));
  CPresentationFrame* frame = player.App().GetPresentationFrame();
  HMENU bar = frame->GetMenuHandle();
  ASSERT_TRUE(bar);
  ASSERT_EQ(GetMenuItemCount(bar), 2);
  EXPECT_EQ(GetMenuItemID(bar, 1), 4002u);
  EXPECT_EQ(player.Number("Ticked"), 1.0);
  EXPECT_TRUE(GetMenuState(bar, 0, MF_BYPOSITION) & MF_CHECKED) << "ticked after the task's actions";
  EXPECT_FALSE(GetMenuState(bar, 1, MF_BYPOSITION) & MF_GRAYED);
  EXPECT_EQ(frame->UserMenu().GetCount(), 2);
  player.Command(4002);
  EXPECT_EQ(player.CurrentTask(), 2);
  EXPECT_EQ(frame->GetMenuHandle(), nullptr) << "an empty menu action removes the bar";
  EXPECT_EQ(frame->UserMenu().GetCount(), 0);
}

TEST(WindowMenuPlaythrough, WithTheLookAheadOnTheMediaOfReachableTasksAreQueuedButNamesFromVariablesNever) {
  auto picture = [](std::string file) {
    return [file](CourseBuilder& b) {
      ImageFields image;
      image.fileName = file;
      DisplayFields d;
      d.layer = 8;
      b.GraphicsAction(IconFields{4, "pic", "", 3}, 1500, 0, image, d);
    };
  };
  auto preload = [](std::uint32_t flags) {
    return [flags](CourseBuilder& b) { b.PreloadAction(IconFields{4, "pre", "", 3}, flags, 3000, {}); };
  };
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(CourseOf({{1, {preload(0x2 | 0x4)}, {KeyResponse("")}},
                                     {2, {picture("AHEAD.BMP"), picture("{Name}.BMP")}, {KeyResponse("")}},
                                     {3, {picture("LATER.BMP")}, {KeyResponse("")}}})));
  EXPECT_EQ(player.View().GetLookAheadPreload(), 4);
  std::vector<std::string> names;
  for (const auto& [name, loaded] : player.App().PreloadCache().Describe()) names.push_back(name.str());
  ASSERT_EQ(names.size(), 1u);
  EXPECT_NE(names[0].find("AHEAD.BMP"), std::string::npos);
  player.App().PreloadCache().WaitForWorkers();
}

TEST(WindowMenuPlaythrough, OneCourseThroughEveryNewKind) {
  ShapeFields box;
  box.type = 1;
  box.flags = 0x04;
  box.brushStyle = 0;
  box.brushColour = RGB(200, 0, 0);
  DisplayFields boxAt;
  boxAt.rect = {10, 10, 30, 30};
  ShapeFields arrow;
  arrow.type = 0;
  arrow.arrowStyle = 3;
  arrow.penWidth = 2;
  arrow.points.points = {{50, 100}, {150, 100}};
  MoveFields move;
  move.type = 0;
  move.flags = 0x1 | 0x100000 | 0x20;  // waits, once, tells the view
  move.objectName = "box";
  move.time = 30;
  move.path.points = {{20, 20}, {120, 20}, {120, 60}, {200, 60}};
  move.path.types = {2, 4, 4, 2};
  WidgitFields widget;
  widget.interval = 5;
  MenuItemFields go;
  go.caption = "&Go";
  go.commandId = 4100;
  WindowFields window;
  window.mode = 0x100 | 0x20 | 0x20000 | 0x400000 | 0x10000;
  window.flags = 0x2 | 0x400;
  window.caption = "All kinds";
  VariableFields done;
  done.name = "Done";
  done.flags = 0x200;
  ResponseFields next;
  next.outcomeFlags = 1;
  auto choose = [next](CourseBuilder& b) { b.MenuResponse(IconFields{4, "go", "", 3}, next, "&Go", 4100); };
  auto writers = std::vector<CourseBuilder::Writer>{
      Window(window, {0, 0, 400, 300}),
      [=](CourseBuilder& b) { b.ShapeAction(IconFields{4, "box", "", 3}, box, boxAt); },
      [=](CourseBuilder& b) { b.ShapeAction(IconFields{4, "arrow", "", 3}, arrow, DisplayFields{}); },
      [=](CourseBuilder& b) { b.MoveAction(IconFields{4, "move", "", 3}, move, DisplayFields{}); },
      [=](CourseBuilder& b) { b.WidgitAction(IconFields{4, "spin", "", 3}, widget, DisplayFields{}); },
      Menu({go}),
      [](CourseBuilder& b) { b.PaletteAction(IconFields{4, "pal", "", 3}, 0x5, ""); },
      [](CourseBuilder& b) { b.PrintAction(IconFields{4, "print", "", 3}, 0x2, 100, {100, 100, 100, 100}); },
      [](CourseBuilder& b) { b.PreloadAction(IconFields{4, "pre", "", 3}, 0x2, 3000, {}); },
      Script("Done = 1")};
  ScriptedPlayer player;
  const std::filesystem::path printed = player.Directory() / "printed.pdf";
  player.UsePrinter(CPrinterSetup::PdfFile(CString(printed.string())));
  ASSERT_TRUE(player.Start(CourseOf({{1, writers, {choose}}, {2, {}, {KeyResponse("")}}}, {done})));
  EXPECT_EQ(player.Number("Done"), 1.0) << "the waiting move let the action list go on";
  CPresentationView& view = player.View();
  CDrawObj* boxObj = view.FindObjectByName("box");
  ASSERT_TRUE(boxObj);
  EXPECT_EQ(boxObj->GetRect()->CenterPoint(), CPoint(200, 60)) << "at the end of its path";
  EXPECT_EQ(player.Pixel(200, 60), RGB(200, 0, 0));
  EXPECT_EQ(player.Pixel(140, 100), RGB(0, 0, 0)) << "the arrow";
  EXPECT_EQ(view.GetPaletteMode() & 0xF, 5u);
  EXPECT_EQ(view.GetPrintMode(), 0x2u);
  EXPECT_GT(std::filesystem::file_size(printed), 500u) << "the page printed on the PDF printer";
  EXPECT_TRUE(player.Dialogs().boxes.empty());
  ASSERT_TRUE(player.App().GetPresentationFrame()->GetMenuHandle());
  player.Command(4100);
  EXPECT_EQ(player.CurrentTask(), 2);
}
