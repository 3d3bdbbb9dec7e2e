// The grid and drag-and-drop responses: stored forms, cells and their answers,
// the hover highlight on the page, the slider and area constraints and drops.
#include <gtest/gtest.h>

#include "behaviour/drag_drop_response.h"
#include "behaviour/grid_response.h"
#include "behaviour/response_view.h"
#include "platform/base/exceptions.h"
#include "platform/msg/window_messages.h"
#include "tests/behaviour/answer_test_support.h"
#include "tests/behaviour/display_test_support.h"

using namespace tvn::testing;

namespace {

GridFields ThreeByTwo() {
  GridFields g;
  g.rows = 3;
  g.columns = 2;
  g.gridFlags = GridFlag::kLines | GridFlag::kHighlight | GridFlag::kOwnCursor;
  g.cursorFile = "cell.cur";
  for (int i = 0; i < 6; ++i) {
    CellFields c;
    c.outcomeFlags = i == 5 ? 1 : 2;
    c.targets = {10 + i};
    c.expression = "Cell = " + std::to_string(i);
    g.cells.push_back(c);
  }
  return g;
}

std::unique_ptr<CGridResponse> Grid(const GridFields& g, VariableRectFields rect = {0, 0, 100, 100}) {
  CourseBuilder b;
  b.GridResponse(IconFields{4, "grid", "", 3}, ResponseFields{}, g, rect);
  return ReadBack<CGridResponse>(b);
}

std::unique_ptr<CDragDropResponse> Drag(const DragDropFields& d, VariableRectFields rect = {0, 0, 200, 200}) {
  CourseBuilder b;
  b.DragDropResponse(IconFields{4, "drag", "", 3}, ResponseFields{}, d, rect);
  return ReadBack<CDragDropResponse>(b);
}

// A page that is also the presentation view for the responses: cursors and the drop.
class CResponsePage : public CTestPage, public IResponseView {
 public:
  HCURSOR GetCursor(const CString& file) override {
    asked.push_back(file.str());
    return LoadCursor(nullptr, IDC_CROSS);
  }
  void SetCursor(HCURSOR cursor) override { shown = cursor; }
  void RestoreCursor(BOOL) override { shown = LoadCursor(nullptr, IDC_ARROW); }
  CIconObject* GetDropPartner() override { return partner; }
  BOOL IsMode1() override { return TRUE; }
  std::vector<std::string> asked;
  HCURSOR shown = nullptr;
  CIconObject* partner = nullptr;
};

struct Host {
  Host() {
    services.pageOverride = &page;
    task.SetServices(&services);
    page.SetRunning(true);
  }
  template <class T>
  T* Add(std::unique_ptr<T> response) {
    T* raw = response.get();
    task.GetResponses()->AddChild(std::move(response));
    return raw;
  }
  FakeTaskServices services;
  CResponsePage page;
  CTask task;
};

BOOL Press(CIconObject& r, CPoint at, UINT message = WM_LBUTTONDOWN, UINT keys = MK_LBUTTON) {
  return r.OnMouseButton(message, keys, at, kInputFromTaskResponses, nullptr);
}

}  // namespace

TEST(GridResponse, CellsCoverWholePixelsAndAClickTakesTheCellsAnswer) {
  Host h;
  GridFields g = ThreeByTwo();
  g.cells[0].reserved = 7;
  auto* grid = h.Add(Grid(g));
  ASSERT_EQ(grid->m_cells.size(), 6u);
  EXPECT_EQ(grid->m_cells[0]->m_reserved, 7);
  EXPECT_EQ(grid->GetTypeFlags(), 0x45);
  CRect r;
  grid->GetRect(&r);
  EXPECT_EQ(r, CRect(0, 0, 100, 99)) << "three rows over 100 pixels use 99";
  EXPECT_EQ(grid->CellAt(CPoint(0, 98)), 4);
  EXPECT_EQ(grid->CellAt(CPoint(99, 98)), 5);
  EXPECT_EQ(grid->CellAt(CPoint(10, 99)), -1) << "the last pixel row is outside";
  EXPECT_EQ(grid->CellAt(CPoint(-1, 10)), -1);
  EXPECT_EQ(grid->CellRect(3), CRect(50, 33, 100, 66));
  EXPECT_TRUE(grid->CellRect(6).IsRectEmpty());

  EXPECT_FALSE(Press(*grid, CPoint(10, 99)));
  EXPECT_FALSE(Press(*grid, CPoint(10, 10), WM_LBUTTONUP));
  EXPECT_FALSE(grid->OnMouseButton(WM_LBUTTONDOWN, MK_LBUTTON, CPoint(10, 10), 6, nullptr));
  ASSERT_TRUE(Press(*grid, CPoint(60, 40), WM_RBUTTONDOWN, MK_RBUTTON)) << "a right press is taken like a left";
  EXPECT_EQ(grid->GetExpression(), "Cell = 3");
  EXPECT_EQ(grid->GetBranchTarget(0), 13);
  EXPECT_EQ(grid->GetOutcomeFlags(), 2);
  h.services.vars.Declare("Cell", VarType::kNumber);
  ASSERT_TRUE(Press(*grid, CPoint(60, 80)));
  int target = 0;
  EXPECT_EQ(grid->ExecuteResponse(&target), 1) << "flags left at 1: the next task";
  EXPECT_EQ(h.services.vars.Var("Cell").GetReal(), 5);

  // A copy has the source's cells, not its own and the source's.
  auto copy = Grid(ThreeByTwo());
  copy->CopyFrom(grid, FALSE);
  copy->CopyFrom(grid, FALSE);
  EXPECT_EQ(copy->m_cells.size(), 6u);

  // Fewer pixels than rows: no cell, so a click below or beside it is no answer.
  auto* flat = h.Add(Grid(ThreeByTwo(), {0, 0, 100, 2}));
  EXPECT_EQ(flat->CellAt(CPoint(10, 50)), -1);
  EXPECT_FALSE(Press(*flat, CPoint(10, 50)));
  EXPECT_FALSE(Press(*flat, CPoint(300, 1)));
}

TEST(GridResponse, ShortAndForeignCellArrays) {
  Host h;
  GridFields g = ThreeByTwo();
  g.cells.resize(2);
  auto* grid = h.Add(Grid(g));
  EXPECT_TRUE(Press(*grid, CPoint(60, 10)));
  EXPECT_FALSE(Press(*grid, CPoint(60, 40))) << "a position with no stored cell is no answer";

  GridFields foreign = ThreeByTwo();
  foreign.cells[1].className = "CVarOrValue";
  CourseBuilder b;
  b.GridResponse(IconFields{4, "grid", "", 3}, ResponseFields{}, foreign, {0, 0, 100, 100});
  StreamReader r(b.bytes(), b.version());
  try {
    r.ar.ReadOwned<CGridResponse>();
    FAIL() << "a cell of another class loaded";
  } catch (const CArchiveException& e) {
    EXPECT_EQ(e.m_cause, CArchiveException::badClass);
  }
}

TEST(GridResponse, HoverInvertsOneCellAtATimeOnThePageAndLeavingTakesItOff) {
  Host h;
  auto* grid = h.Add(Grid(ThreeByTwo()));
  ASSERT_TRUE(grid->Activate());
  EXPECT_EQ(h.page.asked, std::vector<std::string>{"cell.cur"});
  h.page.ComposeRect(nullptr);
  auto inverted = [&](CPoint p) { return h.page.GetBufferPixel(p.x, p.y) == RGB(0, 0, 0); };
  const CPoint cell0(20, 10), cell3(70, 50);
  EXPECT_FALSE(inverted(cell0));

  grid->OnMouseMove(0, cell0, kInputFromTaskResponses, nullptr);
  EXPECT_EQ(grid->GetHighlightedCell(), 0);
  EXPECT_TRUE(inverted(cell0));
  EXPECT_EQ(h.page.shown, LoadCursor(nullptr, IDC_CROSS));
  grid->OnMouseMove(0, cell3, kInputFromTaskResponses, nullptr);
  EXPECT_FALSE(inverted(cell0)) << "the old cell is inverted back";
  EXPECT_TRUE(inverted(cell3));
  h.page.ComposeRect(nullptr);
  EXPECT_TRUE(inverted(cell3)) << "the highlight stays when the page is composed again";
  grid->OnMouseMove(0, CPoint(300, 200), kInputFromTaskResponses, nullptr);
  EXPECT_FALSE(inverted(cell3));
  EXPECT_EQ(grid->GetHighlightedCell(), -1);
  EXPECT_EQ(h.page.shown, LoadCursor(nullptr, IDC_ARROW));
  // The grid lines are dotted over the cells' edges.
  int dots = 0;
  for (int x = 0; x < 100; ++x) dots += h.page.GetBufferPixel(x, 33) == RGB(0, 0, 0);
  EXPECT_GT(dots, 20);
  EXPECT_LT(dots, 80);
}

TEST(DragDropResponse, ReadsItsFieldsAndKeepsTheObjectInsideItsArea) {
  DragDropFields d;
  d.mode = IDragPartner::kInArea;
  d.dragFlags = 0x55;
  d.objectName = "ball";
  d.rangeLow = 3;
  d.rangeHigh = 4;
  d.path.points = {{0, 0}, {10, 10}};
  Host h;
  auto* drag = h.Add(Drag(d));
  EXPECT_EQ(drag->m_dwDragFlags, 0x55u);
  EXPECT_EQ(drag->m_strObjectName, "ball");
  EXPECT_EQ(drag->m_rangeHigh.GetLiteral(), 4);
  EXPECT_EQ(drag->m_path.GetPointCount(), 2);
  EXPECT_EQ(drag->GetTypeFlags(), 0x44);

  CRect object(40, 40, 60, 60);
  drag->ConstrainToArea(CPoint(5, 5), object);
  EXPECT_EQ(object, CRect(0, 0, 20, 20));
  drag->ConstrainToArea(CPoint(500, 100), object);
  EXPECT_EQ(object, CRect(180, 90, 200, 110));
  EXPECT_FALSE(Press(*drag, CPoint(100, 100), WM_LBUTTONUP)) << "area drops are never accepted";
}

TEST(DragDropResponse, SliderValueFollowsTheDropAlongThePath) {
  Host h;
  h.services.vars.Declare("DragScaleValue", VarType::kNumber).SetReal(-1);
  DragDropFields d;
  d.mode = IDragPartner::kOnPath;
  d.objectName = "knob";
  d.offsetOrMinimum = 10;
  d.offsetOrMaximum = 20;
  d.rangeLow = 14;
  d.rangeHigh = 16;
  d.path.points = {{0, 100}, {100, 100}, {200, 100}};
  auto* slider = h.Add(Drag(d));
  ASSERT_TRUE(slider->Activate());
  EXPECT_EQ(slider->m_pathLength, 200);
  CRect knob(0, 90, 20, 110);
  slider->ConstrainToPath(CPoint(100, 130), knob);
  EXPECT_EQ(knob, CRect(90, 90, 110, 110));
  EXPECT_TRUE(slider->AcceptDrop(MK_LBUTTON, knob.CenterPoint()));
  EXPECT_EQ(h.services.vars.Var("DragScaleValue").GetReal(), 15);
  slider->ConstrainToPath(CPoint(190, 100), knob);
  EXPECT_FALSE(slider->AcceptDrop(MK_LBUTTON, knob.CenterPoint()));
  EXPECT_EQ(h.services.vars.Var("DragScaleValue").GetReal(), 19);

  // Range 0..0: the value is set, never accepted; minimum and maximum 0: nothing at all.
  slider->m_rangeLow.SetLiteral(0);
  slider->m_rangeHigh.SetLiteral(0);
  EXPECT_FALSE(slider->AcceptDrop(MK_LBUTTON, knob.CenterPoint()));
  slider->m_offsetOrMinimum.SetLiteral(0);
  slider->m_offsetOrMaximum.SetLiteral(0);
  h.services.vars.Var("DragScaleValue").SetReal(-1);
  EXPECT_FALSE(slider->AcceptDrop(MK_LBUTTON, knob.CenterPoint()));
  EXPECT_EQ(h.services.vars.Var("DragScaleValue").GetReal(), -1);

  // A curve is flattened at 20 steps.
  DragDropFields curved = d;
  curved.path.points = {{0, 0}, {0, 100}, {100, 100}, {100, 0}};
  curved.path.types = {2, 4, 4, 4};
  auto* bent = h.Add(Drag(curved));
  bent->Activate();
  EXPECT_EQ(bent->m_flatPath.GetPointCount(), 21);
  // A path of a huge length does not overflow the percentage.
  bent->m_pathLength = 2000000000;
  bent->m_segment = -1;
  bent->m_segmentOffset = 1900000000;
  EXPECT_EQ(bent->SliderValue(), 19);
}

TEST(DragDropResponse, TargetsJudgeTheDroppedObjectByNameAndTheirOwnRectangles) {
  Host h;
  DragDropFields d;
  d.objectName = "ball";
  auto* left = h.Add(Drag(d, {0, 0, 100, 100}));
  auto* right = h.Add(Drag(d, {100, 0, 200, 100}));
  d.objectName = "cube";
  auto* other = h.Add(Drag(d, {0, 0, 200, 100}));
  for (CDragDropResponse* r : {left, right, other}) EXPECT_TRUE(r->Activate()) << "nothing named so: no link, no message";

  EXPECT_FALSE(Press(*left, CPoint(50, 50), WM_LBUTTONUP)) << "no drop under way";
  h.page.partner = left;
  EXPECT_TRUE(Press(*left, CPoint(50, 50), WM_LBUTTONUP));
  EXPECT_FALSE(Press(*right, CPoint(50, 50), WM_LBUTTONUP));
  EXPECT_TRUE(Press(*right, CPoint(150, 50), WM_LBUTTONUP));
  EXPECT_FALSE(Press(*other, CPoint(50, 50), WM_LBUTTONUP)) << "another object's target";
  EXPECT_FALSE(Press(*left, CPoint(50, 50), WM_LBUTTONDOWN));
  EXPECT_EQ(left->GetHotSpot(), CPoint(0, 0));
}
