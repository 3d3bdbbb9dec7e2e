// A course of form answers played headless: a list box, a drop-down list and
// check buttons stored at task end, hover cursors and an inverting hot spot
// on the window, a grid and a drop on a target; the keyboard after a task
// whose form control went away with it.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "behaviour/list_box_response.h"
#include "model/course_doc.h"
#include "model/task.h"
#include "model/task_managers.h"
#include "model/variable.h"
#include "platform/user/combo_box.h"
#include "platform/user/list_box.h"
#include "platform/msg/window_messages.h"
#include "playback/presentation_view.h"
#include "tests/playback/view_test_courses.h"
#include "platform/gdi/system_metrics.h"
#include "page/draw_obj.h"
#include "tests/platform/gdi/canvas.h"
#include "tests/support/cursor_writer.h"
#include "tests/support/editor_writer.h"
#include "tests/support/packed_file_builder.h"
#include "tests/support/scripted_player.h"

using namespace tvn::testing;

namespace {

VariableFields Var(const char* name, std::uint32_t type) {
  VariableFields v;
  v.name = name;
  v.flags = type;
  return v;
}

std::uint32_t IdOf(const char* name) { return static_cast<std::uint32_t>(CVariable::ComputeId(name)); }

CourseBuilder::Writer Button(const char* caption, VariableRectFields rect, ResponseFields outcome,
                             std::uint32_t style = 0x12, const char* cursor = "") {
  return [=](CourseBuilder& b) {
    ButtonFields f;
    f.caption = caption;
    f.style = style;
    f.cursorFile = cursor;
    b.PushButtonResponse(IconFields{4, caption, "", 3}, outcome, f, rect);
  };
}

CourseBuilder::Writer List(const char* name, ListBoxFields f, VariableRectFields rect) {
  return [=](CourseBuilder& b) { b.ListBoxResponse(IconFields{4, name, "", 3}, ResponseFields{}, f, rect); };
}

std::vector<std::uint8_t> FormCourse() {
  CourseFileFields f;
  f.variables = {Var("Colour", 0x100), Var("Pick", 0x200), Var("Many", 0x400), Var("Agreed", 0x200)};
  // Task 1: the forms.
  ListBoxFields colour;
  colour.variableId = IdOf("Colour");
  colour.items = "Red\r\nGreen\r\nBlue";
  colour.selection = "2";
  ListBoxFields pick;
  pick.variableId = IdOf("Pick");
  pick.options = 0x2;
  pick.items = "Apple|Banana|Cherry";
  pick.separator = "|";
  pick.selection = "ch";
  ListBoxFields many;
  many.variableId = IdOf("Many");
  many.options = 0x9 | 0x10;
  many.items = "a\r\nb\r\nc";
  many.selection = "1\r\nnone\r\nc";
  CheckButtonFields agree;
  agree.label = "I agree";
  ResponseFields agreeScript;
  agreeScript.expression = "Agreed = 1";
  agreeScript.answerMark = 1;
  std::vector<CourseBuilder::Writer> forms = {
      List("colour", colour, {20, 20, 160, 120}), List("pick", pick, {200, 20, 340, 140}),
      List("many", many, {360, 20, 460, 100}),
      [=](CourseBuilder& b) { b.CheckButtonResponse(IconFields{4, "agree", "", 3}, agreeScript, agree, {20, 150, 200, 170}); },
      Button("Done", {20, 300, 160, 350}, Outcomes(1, 0))};
  // Task 2: hover cursors and an inverted hot spot.
  RegionFields spot;
  spot.regionFlags = 0x20 | 0x4 | 0x2;
  spot.cursorFile = "spot.cur";
  std::vector<CourseBuilder::Writer> hovers = {
      [=](CourseBuilder& b) { b.RegionResponse(IconFields{4, "spot", "", 3}, Outcomes(1, 0), spot, {20, 20, 120, 80}); },
      Button("On", {200, 20, 340, 70}, Outcomes(1, 0), 0x20012, "button.cur")};
  // Task 3: a grid whose last cell goes to task 4.
  GridFields grid;
  grid.rows = 2;
  grid.columns = 2;
  grid.gridFlags = 0x6;
  grid.cursorFile = "spot.cur";
  for (int i = 0; i < 4; ++i) {
    CellFields c;
    c.outcomeFlags = i == 3 ? 2 : 1;
    c.targets = {4};
    grid.cells.push_back(c);
  }
  std::vector<CourseBuilder::Writer> grids = {
      [=](CourseBuilder& b) { b.GridResponse(IconFields{4, "grid", "", 3}, ResponseFields{}, grid, {0, 0, 200, 200}); }};
  // Task 4: a box dropped on one of two targets.
  ShapeFields box;
  box.type = 1;
  box.flags = 0x04;
  box.brushStyle = 0;
  box.brushColour = RGB(200, 0, 0);
  DisplayFields boxAt;
  boxAt.rect = {300, 300, 340, 340};
  DragDropFields target;
  target.objectName = "ball";
  std::vector<CourseBuilder::Writer> drops = {
      [=](CourseBuilder& b) { b.DragDropResponse(IconFields{4, "near", "", 3}, Outcomes(2, 6), target, {0, 0, 200, 200}); },
      [=](CourseBuilder& b) { b.DragDropResponse(IconFields{4, "far", "", 3}, Outcomes(2, 5), target, {400, 0, 600, 200}); }};
  auto task = [&f](int number, std::vector<CourseBuilder::Writer> actions, std::vector<CourseBuilder::Writer> responses) {
    f.tasks.push_back([=](CourseBuilder& b) {
      b.Task(IconFields{4, "Task " + std::to_string(number), "", 3}, number, {}, actions, responses);
    });
  };
  task(1, {}, forms);
  task(2, {}, hovers);
  task(3, {}, grids);
  task(4, {[=](CourseBuilder& b) { b.ShapeAction(IconFields{4, "ball", "", 3}, box, boxAt); }}, drops);
  task(5, {}, {KeyResponse("")});
  task(6, {}, {KeyResponse("")});
  CourseBuilder b;
  b.CourseFile(f);
  return b.bytes();
}

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

TEST(FormAnswersPlaythrough, FormsAreStoredAtTaskEndAndHoverDragAndGridAnswer) {
  ScriptedPlayer player;
  WriteFile(player.Directory() / "spot.cur", CursorFileBytes(1, 1));
  WriteFile(player.Directory() / "button.cur", CursorFileBytes(2, 2));
  ASSERT_TRUE(player.Start(FormCourse()));
  CPresentationView& view = player.View();

  // Task 1: the list box starts on its second entry; Down in it moves to the third.
  auto* colour = dynamic_cast<CListBox*>(view.GetDlgItem(ListControlId::kListBox));
  ASSERT_NE(colour, nullptr);
  EXPECT_EQ(colour->GetCurSel(), 1);
  colour->SetFocus();
  colour->PostMessage(WM_KEYDOWN, VK_DOWN, 1);
  player.Pump();
  EXPECT_EQ(colour->GetCurSel(), 2);
  EXPECT_EQ(player.CurrentTask(), 1) << "the key went on to the view and nothing took it";
  player.PressAndRelease(CPoint(30, 160), {}, CPoint(30, 160));  // the check box
  player.PressAndRelease(CPoint(90, 325), {}, CPoint(90, 325));  // Done
  EXPECT_EQ(player.CurrentTask(), 2);
  EXPECT_EQ(player.Text("Colour"), "Blue");
  EXPECT_EQ(player.Number("Pick"), 3.0) << "a word selects the entry it begins";
  EXPECT_EQ(player.Text("Many"), "1\r\n3") << "unmatched words are skipped";
  EXPECT_EQ(player.Variable("Many")->GetLong(), 1) << "the first chosen number is the value";
  EXPECT_EQ(player.Number("Agreed"), 1.0);
  EXPECT_EQ(player.Text("AnswerText"), "Right");

  // Task 2: the hot spot shows inverted on the window while the pointer is over it.
  const COLORREF before = player.WindowPixel(70, 50);
  ASSERT_NE(before, CLR_INVALID);
  player.MoveTo(CPoint(70, 50));
  EXPECT_EQ(player.WindowPixel(70, 50), RGB(255 - GetRValue(before), 255 - GetGValue(before), 255 - GetBValue(before)));
  EXPECT_EQ(view.GetCursorState(), ViewCursor::kCourse);
  player.MoveTo(CPoint(400, 300));
  EXPECT_EQ(player.WindowPixel(70, 50), before);
  EXPECT_EQ(view.GetCursorState(), ViewCursor::kSystem);
  player.MoveTo(CPoint(250, 40));
  EXPECT_EQ(view.GetCursorState(), ViewCursor::kCourse) << "the button's own cursor";
  player.MoveTo(CPoint(400, 300));
  EXPECT_EQ(view.GetCursorState(), ViewCursor::kSystem);
  player.PressAndRelease(CPoint(250, 40), {}, CPoint(250, 40));
  EXPECT_EQ(player.CurrentTask(), 3);

  // Task 3: the cell under the pointer shows inverted; the last cell answers.
  const COLORREF cell = player.WindowPixel(150, 150);
  player.MoveTo(CPoint(150, 150));
  EXPECT_NE(player.WindowPixel(150, 150), cell);
  player.MoveTo(CPoint(50, 150));
  EXPECT_EQ(player.WindowPixel(150, 150), cell);
  player.Click(CPoint(150, 150));
  EXPECT_EQ(player.CurrentTask(), 4);

  // Task 4: the box dropped on the far target goes to task 5.
  player.Press(CPoint(320, 320), MK_LBUTTON);
  player.MoveTo(CPoint(500, 100), MK_LBUTTON);
  player.Release(CPoint(500, 100));
  EXPECT_EQ(player.CurrentTask(), 5);
}

TEST(FormAnswersPlaythrough, ListSelectionsSearchJoinAndClearAsStored) {
  CourseFileFields f;
  f.variables = {Var("Both", 0x100), Var("Joined", 0x100), Var("Nothing", 0x100), Var("Index", 0x400)};
  ListBoxFields both;  // options 0x3: a list box
  both.variableId = IdOf("Both");
  both.options = 0x3;
  both.items = "ant\r\nAnchor\r\nbee";
  both.selection = "an";  // the search starts after entry 0: "Anchor"
  ListBoxFields joined;
  joined.variableId = IdOf("Joined");
  joined.options = 0x9;
  joined.separator = ";;";
  joined.items = "x;y;z";
  joined.selection = "3;1";
  ListBoxFields nothing;
  nothing.variableId = IdOf("Nothing");
  nothing.items = "p\r\nq";
  ListBoxFields index;
  index.variableId = IdOf("Index");
  index.options = 0x2 | 0x4;
  index.items = "zeta\r\nalpha\r\nmu";
  index.selection = "0";  // a number of 0 is searched as text: no entry starts with it
  f.tasks.push_back([=](CourseBuilder& b) {
    b.Task(IconFields{4, "lists", "", 3}, 1, {}, {},
           {List("both", both, {10, 10, 110, 110}), List("joined", joined, {120, 10, 220, 110}),
            List("nothing", nothing, {230, 10, 330, 110}), List("index", index, {340, 10, 440, 200}),
            KeyResponse("N")});
  });
  f.tasks.push_back([](CourseBuilder& b) { b.Task(IconFields{4, "end", "", 3}, 2, {}, {}, {KeyResponse("")}); });
  CourseBuilder b;
  b.CourseFile(f);
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(b.bytes()));
  player.Variable("Nothing")->SetString("stale");
  auto* combo = dynamic_cast<CComboBox*>(player.View().GetDlgItem(ListControlId::kDropDown));
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->GetCurSel(), static_cast<int>(CB_ERR));
  combo->SetCurSel(combo->FindString(-1, "MU"));  // sorted: alpha, mu, zeta
  player.Key('N');
  EXPECT_EQ(player.CurrentTask(), 2);
  EXPECT_EQ(player.Text("Both"), "Anchor");
  EXPECT_EQ(player.Text("Joined"), "x;;z") << "joined with the whole separator";
  EXPECT_EQ(player.Text("Nothing"), "") << "nothing selected clears the variable";
  EXPECT_EQ(player.Variable("Index")->GetLong(), 2);
}

TEST(FormAnswersPlaythrough, ClicksInAListReachThePageAtTheirPlaceAndPrintedPicturesShowTheEntries) {
  CourseFileFields f;
  f.variables = {Var("Choice", 0x100)};
  ListBoxFields list;
  list.variableId = IdOf("Choice");
  list.options = 0x11;
  list.items = "first\r\nsecond";
  list.textColour = RGB(200, 0, 0);
  ListBoxFields combo;
  combo.options = 0x12;
  combo.items = "only";
  combo.selection = "1";
  combo.textColour = RGB(200, 0, 0);
  RegionFields region;
  region.regionFlags = 0x20;
  f.tasks.push_back([=](CourseBuilder& b) {
    b.Task(IconFields{4, "list", "", 3}, 1, {}, {},
           {List("list", list, {100, 100, 250, 200}), List("combo", combo, {300, 100, 450, 300}),
            // Where the list's own coordinates of the click would land, and where the click really is.
            [=](CourseBuilder& c) { c.RegionResponse(IconFields{4, "wrong", "", 3}, Outcomes(2, 2), region, {0, 0, 60, 60}); },
            [=](CourseBuilder& c) { c.RegionResponse(IconFields{4, "right", "", 3}, Outcomes(2, 3), region, {110, 100, 130, 110}); }});
  });
  for (int n : {2, 3})
    f.tasks.push_back([n](CourseBuilder& b) { b.Task(IconFields{4, "end", "", 3}, n, {}, {}, {KeyResponse("")}); });
  CourseBuilder b;
  b.CourseFile(f);
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(b.bytes()));
  CPresentationView& view = player.View();

  // The printed pictures: a framed list with its entries, a field with its arrow and choice.
  for (const char* name : {"list", "combo"}) {
    CDrawObj* obj = view.FindObjectByName(name);
    ASSERT_NE(obj, nullptr) << name;
    Canvas paper(500, 320, RGB(0, 255, 0));
    paper.dc.SetPrinting(TRUE);
    obj->GetOwner()->Draw(&paper.dc, 0, obj->GetRect());
    const CRect rect = *obj->GetRect();
    EXPECT_EQ(paper.dc.GetPixel(rect.left, rect.top + 5), GetSysColor(COLOR_WINDOWFRAME)) << name << ": the border";
    int red = 0;
    for (int y = rect.top; y < rect.top + 20; ++y)
      for (int x = rect.left; x < rect.left + 60; ++x)
        red += GetRValue(paper.dc.GetPixel(x, y)) > 150 && GetGValue(paper.dc.GetPixel(x, y)) < 100;
    EXPECT_GT(red, 5) << name << ": the first entry in the text colour";
    const COLORREF below = std::string(name) == "list" ? RGB(255, 255, 255) : RGB(0, 255, 0);
    EXPECT_EQ(paper.dc.GetPixel(rect.left + 30, rect.bottom - 2), below) << name << ": the list's back colour, nothing under the field";
  }

  auto* control = dynamic_cast<CListBox*>(view.GetDlgItem(ListControlId::kListBox));
  ASSERT_NE(control, nullptr);
  control->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 5));
  control->PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(20, 5));
  player.Pump();
  EXPECT_EQ(player.CurrentTask(), 3) << "the click reached the hot spot under it, not one at the list's own coordinates";
  EXPECT_EQ(player.Text("Choice"), "first") << "and chose the entry under it first";
}

TEST(FormAnswersPlaythrough, AFormControlClearedAwayWithTheFocusLeavesTheKeysToThePage) {
  ListBoxFields list;
  list.items = "one\r\ntwo";
  ListBoxFields dropDown = list;
  dropDown.options = 0x12;
  const RtfEditorFields richText{0, 0x8110, 0, 0, 0xFFFFFF, FontFields{}};
  const VariableRectFields at{20, 20, 220, 120};
  const std::vector<std::pair<const char*, CourseBuilder::Writer>> controls = {
      {"nothing", nullptr},
      {"list box", List("list", list, at)},
      {"drop-down list", List("drop", dropDown, at)},
      {"editor field", EditorResponse(IconFields{4, "field", "", 3}, ResponseFields{}, EditorFields{}, at)},
      {"rich-text editor",
       [=](CourseBuilder& b) { b.RtfEditorResponse(IconFields{4, "notes", "", 3}, ResponseFields{}, richText, at); }}};
  for (const auto& [kind, control] : controls) {
    for (const bool clickFirst : {false, true}) {
      SCOPED_TRACE(std::string(kind) + (clickFirst ? ", clicked into first" : ", never clicked"));
      // Task 1 times out with the control on the page; task 2 clears the page and waits for a key.
      CourseFileFields f;
      std::vector<CourseBuilder::Writer> first = {TimeResponse(5, Outcome::kNext)};
      if (control) first.push_back(control);
      f.tasks.push_back([=](CourseBuilder& b) { b.Task(IconFields{4, "form", "", 3}, 1, {}, {}, first); });
      f.tasks.push_back([](CourseBuilder& b) {
        auto clear = [](CourseBuilder& c) { c.AreaAction("CClearAction", IconFields{}, AreaFields{}, DisplayFields{}); };
        b.Task(IconFields{4, "keys", "", 3}, 2, {}, {clear}, {KeyResponse("")});
      });
      f.tasks.push_back([](CourseBuilder& b) { b.Task(IconFields{4, "end", "", 3}, 3, {}, {}, {KeyResponse("")}); });
      CourseBuilder b;
      b.CourseFile(f);
      ScriptedPlayer player;
      ASSERT_TRUE(player.Start(b.bytes()));
      CWnd* window = nullptr;
      CTask* task = player.Course()->GetCurrentTask();
      for (int i = 0; task && i < task->GetResponses()->GetCount(); ++i)
        if (CWnd* w = task->GetResponses()->GetChild(i)->GetControlWnd()) window = w;
      ASSERT_EQ(window != nullptr, control != nullptr);
      if (window && clickFirst) {
        player.ClickWindow(*window, CPoint(5, 5));
        ASSERT_TRUE(CWnd::GetFocus() == window || window->IsChild(CWnd::GetFocus()));
      }
      player.TickInSteps(1000);
      ASSERT_EQ(player.CurrentTask(), 2) << "the time response ended the first task";
      ASSERT_EQ(player.View().GetWindow(GW_CHILD), nullptr) << "the control went with the page";
      player.Key('K');
      EXPECT_EQ(player.CurrentTask(), 3) << "the key reached the keyboard response";
    }
  }
}
