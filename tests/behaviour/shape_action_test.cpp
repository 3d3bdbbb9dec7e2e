// Shapes on a real page: kinds, outlines, fills, shading, boxes, arrow heads and hit regions.
#include <gtest/gtest.h>

#include "behaviour/dither_strip.h"
#include "behaviour/shape_action.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_defs.h"
#include "tests/behaviour/display_test_support.h"

using namespace tvn::testing;

namespace {

constexpr COLORREF kWhite = CTestPage::kBackground;

DisplayFields ShapeAt(VariableRectFields rect, EffectFields effect = {}) {
  DisplayFields d;
  d.rect = rect;
  d.effect = effect;
  return d;
}

CourseBuilder::Writer Shape(const char* name, ShapeFields shape, DisplayFields display = {}) {
  return [=](CourseBuilder& b) { b.ShapeAction(IconFields{4, name, "", 3}, shape, display); };
}

ShapeFields Of(std::uint8_t type, std::uint32_t flags = 0x13) {
  ShapeFields f;
  f.type = type;
  f.flags = flags;
  return f;
}

class ShapeActionTest : public ::testing::Test {
 protected:
  ShapeActionTest() { services.pageOverride = &page; }
  CShapeAction* Run(std::vector<CourseBuilder::Writer> writers) {
    task = TaskWithActions(services, writers);
    EXPECT_TRUE(task);
    for (int i = 0; i < static_cast<int>(writers.size()); ++i) EXPECT_TRUE(ActionOf<CShapeAction>(*task, i)->Execute());
    page.FlushInvalidRects();
    return ActionOf<CShapeAction>(*task);
  }
  COLORREF At(int x, int y) { return page.GetBufferPixel(x, y); }

  CTestPage page;
  FakeTaskServices services;
  std::unique_ptr<CTask> task;
};

}  // namespace

TEST(ShapeAction, StartsAsAnOutlinedRectangleOnLayerSix) {
  CShapeAction shape;
  EXPECT_EQ(shape.GetShapeType(), ShapeType::kRectangle);
  EXPECT_EQ(shape.GetShapeFlags(), 0x13u);
  EXPECT_EQ(shape.Brush().lbStyle, BS_NULL);
  EXPECT_EQ(shape.Brush().lbColor, 0xFF0000u);
  EXPECT_EQ(shape.Pen().lopnStyle, PS_SOLID);
  EXPECT_EQ(shape.Pen().lopnWidthX, 1);
  EXPECT_EQ(shape.Pen().lopnWidthY, 1);
  EXPECT_EQ(shape.Pen().lopnColor, 0u);
  EXPECT_EQ(*shape.GetShapeData(), CSize(16, 16));
  EXPECT_EQ(shape.GetLayer(), 6);
  EXPECT_EQ(shape.GetTypeFlags(), 338);
  EXPECT_EQ(shape.GetKind(), ActionKind::kShape);

  EXPECT_EQ(shape.SetPoint(PS_SOLID, 1), 0) << "unchanged";
  EXPECT_EQ(shape.SetPoint(PS_DASH, 3), 1);
  int style = 0, width = 0;
  EXPECT_EQ(shape.GetPoint(&style, &width), 3);
  EXPECT_EQ(style, PS_DASH);
  shape.SetRect(CRect(1, 2, 30, 40));
  ASSERT_EQ(shape.Points().GetPointCount(), 4) << "an empty path takes the rectangle's corners";
  EXPECT_EQ(shape.Points().GetPoint(2), CPoint(30, 40));
  EXPECT_EQ(shape.Points().GetPoint(3), CPoint(1, 40));
}

TEST(ShapeAction, ABoxLeansBackByAQuarterOfItsWidthButNoHigherThanItIs) {
  int d = 0, f = 0;
  CShapeAction::BoxDepth(CRect(0, 0, 40, 5), d, f);
  EXPECT_EQ(d, 10);
  EXPECT_EQ(f, 5) << "tan(0.5236) x 10 is 5.77, more than the height";
  CShapeAction::BoxDepth(CRect(0, 0, 40, 100), d, f);
  EXPECT_EQ(f, 5);
  CShapeAction::BoxDepth(CRect(0, 0, 80, 100), d, f);
  EXPECT_EQ(d, 20);
  EXPECT_EQ(f, 11);
}

TEST_F(ShapeActionTest, EachShapeReadsItsFieldsAndPutsItsKindOfObjectOnThePage) {
  ShapeFields line = Of(ShapeType::kLine);
  line.points.points = {{10, 10}, {60, 20}};
  ShapeFields poly = Of(ShapeType::kPolyline);
  poly.points.points = {{10, 100}, {60, 100}, {40, 140}};
  ShapeFields round = Of(ShapeType::kRoundRect);
  round.cornerX = 6;
  round.cornerY = 8;
  EffectFields wipe;
  wipe.category = 1;
  wipe.variant = 1;
  Run({Shape("line", line), Shape("round", round, ShapeAt({100, 10, 150, 50})),
       Shape("rect", Of(ShapeType::kRectangle), ShapeAt({160, 10, 200, 50})),
       Shape("ellipse", Of(ShapeType::kEllipse), ShapeAt({210, 10, 260, 50})), Shape("poly", poly),
       Shape("box", Of(ShapeType::kBox), ShapeAt({100, 100, 140, 140})),
       Shape("wiped", Of(ShapeType::kEllipse), ShapeAt({200, 100, 240, 140}, wipe))});
  const DWORD kinds[] = {4, 8, 16, 32, 2, 16, 32 | 2048};
  for (int i = 0; i < 7; ++i) {
    CDrawObj* obj = page.FindDisplayItem(ActionOf<CShapeAction>(*task, i));
    ASSERT_TRUE(obj) << i;
    EXPECT_EQ(obj->GetFlags(), kinds[i]) << i;
  }
  auto* r = ActionOf<CShapeAction>(*task, 1);
  EXPECT_EQ(*r->GetShapeData(), CSize(6, 8));
  EXPECT_EQ(ActionOf<CShapeAction>(*task, 4)->GetBounds(), CRect(9, 99, 61, 141))
      << "the path's object grows the position by half the pen and one";
  EXPECT_EQ(page.effects.size(), 1u);
}

TEST_F(ShapeActionTest, APenWiderThanAnyPageIsHeldSoTheRoomAroundThePathStaysInRange) {
  ShapeFields line = Of(ShapeType::kPolyline, 0x02);
  line.penWidth = 0x7FFFFFFF;
  line.points.points = {{10, 10}, {60, 20}};
  Run({Shape("wide", line)});
  auto* shape = ActionOf<CShapeAction>(*task, 0);
  EXPECT_EQ(shape->Pen().lopnWidthX, 10000);
  CRect room(10, 10, 60, 20);
  shape->GetRect(&room);
  EXPECT_LT(room.left, 10 - 5000);
  EXPECT_GT(room.left, -100000);
  EXPECT_EQ(shape->SetPoint(PS_SOLID, -0x7FFFFFFF), 1);
  EXPECT_EQ(shape->Pen().lopnWidthX, -10000);
}

TEST_F(ShapeActionTest, AOnePixelOutlineStaysInsideItsRectangleAndFillsFollowTheBrush) {
  ShapeFields solid = Of(ShapeType::kRectangle, 0x04);
  solid.brushStyle = BS_SOLID;
  solid.brushColour = RGB(0, 200, 0);
  Run({Shape("a", Of(ShapeType::kRectangle), ShapeAt({10, 10, 50, 40})), Shape("b", solid, ShapeAt({60, 10, 100, 40}))});
  EXPECT_EQ(At(10, 10), RGB(0, 0, 0));
  EXPECT_EQ(At(49, 39), RGB(0, 0, 0));
  EXPECT_EQ(At(50, 40), kWhite);
  EXPECT_EQ(At(9, 9), kWhite);
  EXPECT_EQ(At(30, 25), kWhite) << "flag 0x04 clear: no fill";
  EXPECT_EQ(At(80, 25), RGB(0, 200, 0));
}

TEST_F(ShapeActionTest, PatternFillsComeFromTheDitherStripAndAHatchPastItFillsNothing) {
  CBitmap strip;
  ASSERT_TRUE(MakeDitherStrip(strip));
  EXPECT_EQ(strip.GetSize(), CSize(8 * kDitherCells, 8));
  ShapeFields full = Of(ShapeType::kRectangle, 0x04);
  full.brushStyle = BS_PATTERN;
  full.brushColour = RGB(0, 0, 255);
  full.backColour = RGB(255, 255, 0);
  full.penStyle = PS_NULL;
  ShapeFields half = full;
  half.brushHatch = 8;
  ShapeFields past = full;
  past.brushHatch = kDitherCells;
  Run({Shape("full", full, ShapeAt({10, 10, 26, 26})), Shape("half", half, ShapeAt({40, 10, 56, 26})),
       Shape("past", past, ShapeAt({70, 10, 86, 26}))});
  int brush = 0, back = 0;
  for (int y = 10; y < 18; ++y)
    for (int x = 10; x < 18; ++x) brush += At(x, y) == RGB(0, 0, 255);
  EXPECT_EQ(brush, 64) << "cell 0 sets no pixel: all in the brush colour";
  brush = 0;
  for (int y = 10; y < 18; ++y)
    for (int x = 40; x < 48; ++x) {
      brush += At(x, y) == RGB(0, 0, 255);
      back += At(x, y) == RGB(255, 255, 0);
    }
  EXPECT_EQ(brush, 32);
  EXPECT_EQ(back, 32);
  EXPECT_EQ(At(78, 18), kWhite);
}

TEST_F(ShapeActionTest, ShadedFillsRunFromTheBrushToTheBackColourInsideTheShape) {
  ShapeFields bands = Of(ShapeType::kRectangle, 0x08 | 0x10);
  bands.brushColour = RGB(255, 0, 0);
  bands.backColour = RGB(0, 0, 255);
  bands.penStyle = PS_NULL;
  ShapeFields oval = Of(ShapeType::kEllipse, 0x08 | 0x20);
  oval.brushColour = RGB(0, 255, 0);
  oval.backColour = RGB(0, 0, 0);
  oval.penStyle = PS_NULL;
  Run({Shape("bands", bands, ShapeAt({10, 10, 110, 110})), Shape("oval", oval, ShapeAt({150, 10, 250, 110}))});
  EXPECT_GT(GetRValue(At(50, 11)), 200);
  EXPECT_LT(GetBValue(At(50, 11)), 40);
  EXPECT_GT(GetBValue(At(50, 108)), 150);
  EXPECT_LT(GetRValue(At(50, 108)), 100);
  EXPECT_EQ(At(151, 11), kWhite) << "the ellipse's corner stays outside the shading";
  EXPECT_GT(GetGValue(At(155, 60)), 200) << "left edge: the brush colour";
  EXPECT_LT(GetGValue(At(245, 60)), GetGValue(At(200, 60)));
  EXPECT_LT(GetGValue(At(200, 60)), GetGValue(At(155, 60)));
}

TEST_F(ShapeActionTest, ABoxHasAFrontFaceAndSideAndTopInTheBackColour) {
  ShapeFields box = Of(ShapeType::kBox, 0x04);
  box.brushStyle = BS_SOLID;
  box.brushColour = RGB(200, 0, 0);
  box.backColour = RGB(0, 0, 200);
  Run({Shape("box", box, ShapeAt({20, 20, 100, 120}))});
  // d = 20, f = 11: the front face is (20, 31, 80, 120).
  EXPECT_EQ(At(50, 80), RGB(200, 0, 0));
  EXPECT_EQ(At(90, 80), RGB(0, 0, 200)) << "side face";
  EXPECT_EQ(At(60, 25), RGB(0, 0, 200)) << "top face";
  EXPECT_EQ(At(22, 22), kWhite);
}

TEST_F(ShapeActionTest, AnEmptyRectangleDrawsAtTheDefaultSize) {
  CShapeAction shape;
  shape.SetShapeFlags(0x04);
  shape.Brush() = LOGBRUSH{BS_SOLID, RGB(9, 9, 9), 0};
  CBitmap bitmap;
  ASSERT_TRUE(bitmap.CreateBitmap(700, 500, 1, 32, nullptr));
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  dc.SelectObject(&bitmap);
  dc.FillSolidRect(CRect(0, 0, 700, 500), kWhite);
  dc.SetBkColor(RGB(1, 2, 3));
  const CRect empty;
  shape.Draw(&dc, 0, &empty);
  EXPECT_EQ(dc.GetPixel(320, 240), RGB(9, 9, 9));
  EXPECT_EQ(dc.GetPixel(639, 479), RGB(0, 0, 0));
  EXPECT_EQ(dc.GetPixel(640, 480), kWhite);
  EXPECT_EQ(dc.GetBkColor(), RGB(1, 2, 3)) << "the context is left as it was";
  CShapeAction line;
  line.SetShapeType(ShapeType::kLine);
  line.Draw(&dc, 0, &empty);  // no points: nothing, no crash
  EXPECT_EQ(dc.GetPixel(320, 240), RGB(9, 9, 9));
}

TEST_F(ShapeActionTest, ALinesRectangleCoversEveryArrowHeadItDraws) {
  ShapeFields arrow = Of(ShapeType::kLine);
  arrow.arrowStyle = 5;
  arrow.penWidth = 2;
  arrow.points.points = {{100, 100}, {105, 100}};
  ShapeFields open = Of(ShapeType::kPolyline, 0x02);
  open.arrowStyle = 6;
  open.points.points = {{20, 200}};
  auto* line = Run({Shape("arrow", arrow), Shape("one", open)});
  CRect r;
  line->GetRect(&r);
  // The wings are 20 long: the head at the last point reaches back past the first.
  EXPECT_LE(r.left, 85);
  EXPECT_GE(r.right, 119);
  int style = 0, width = 0;
  EXPECT_EQ(line->GetPoint(&style, &width), 2 + 9) << "room for the heads: 2 sin(0.245) x 20";
  EXPECT_EQ(At(118, 100), RGB(0, 0, 0)) << "the first head's filled wing";
  EXPECT_EQ(At(90, 100), RGB(0, 0, 0)) << "the last head's filled wing";
}

TEST_F(ShapeActionTest, HitRegionsFollowTheShape) {
  ShapeFields line = Of(ShapeType::kLine);
  line.penWidth = 1;
  line.points.points = {{10, 10}, {110, 10}};
  ShapeFields poly = Of(ShapeType::kPolyline);
  poly.points.points = {{0, 100}, {100, 100}, {0, 200}};
  Run({Shape("line", line), Shape("ellipse", Of(ShapeType::kEllipse), ShapeAt({200, 0, 300, 100})),
       Shape("poly", poly), Shape("box", Of(ShapeType::kBox), ShapeAt({200, 150, 240, 200}))});
  auto* l = ActionOf<CShapeAction>(*task, 0);
  EXPECT_TRUE(l->GetRegion(0, 60, 12, nullptr));
  EXPECT_TRUE(l->GetRegion(0, 8, 10, nullptr)) << "the band reaches past the ends";
  EXPECT_FALSE(l->GetRegion(0, 60, 15, nullptr));
  l->Points().AddPoint(CPoint(50, 50));
  CShapeAction three;
  three.SetShapeType(ShapeType::kLine);
  for (CPoint p : {CPoint(0, 0), CPoint(10, 0), CPoint(10, 10)}) three.Points().AddPoint(p);
  EXPECT_FALSE(three.GetRegion(0, 5, 0, nullptr)) << "three points give no region";
  const CRect oval(200, 0, 300, 100);
  EXPECT_TRUE(ActionOf<CShapeAction>(*task, 1)->GetRegion(0, 250, 50, &oval));
  EXPECT_FALSE(ActionOf<CShapeAction>(*task, 1)->GetRegion(0, 202, 2, &oval));
  EXPECT_TRUE(ActionOf<CShapeAction>(*task, 2)->GetRegion(0, 10, 110, nullptr));
  EXPECT_FALSE(ActionOf<CShapeAction>(*task, 2)->GetRegion(0, 90, 190, nullptr));
  EXPECT_TRUE(ActionOf<CShapeAction>(*task, 3)->GetRegion(0, 0, 0, nullptr)) << "boxes answer always";

  // A slanting line's band follows the line, not the axes.
  CShapeAction slant;
  slant.SetShapeType(ShapeType::kLine);
  slant.Points().AddPoint(CPoint(0, 0));
  slant.Points().AddPoint(CPoint(100, 100));
  EXPECT_TRUE(slant.GetRegion(0, 50, 52, nullptr) && slant.GetRegion(0, -1, -1, nullptr));
  EXPECT_FALSE(slant.GetRegion(0, 50, 56, nullptr) || slant.GetRegion(0, -4, -4, nullptr));
  CShapeAction rounded;
  rounded.SetShapeType(ShapeType::kRoundRect);
  const CRect card(0, 300, 100, 400);
  EXPECT_TRUE(rounded.GetRegion(0, 0, 350, &card));
  EXPECT_FALSE(rounded.GetRegion(0, 1, 301, &card)) << "the corner is cut away";
}

TEST_F(ShapeActionTest, PathsMatchTheirOwnPointsAndOtherShapesAnAreaTheyLieIn) {
  ShapeFields line = Of(ShapeType::kLine);
  line.points.points = {{10, 10}, {110, 10}};
  ShapeFields poly = Of(ShapeType::kPolyline);
  poly.points.points = {{0, 100}, {100, 100}, {50, 150}, {0, 200}};
  Run({Shape("line", line), Shape("poly", poly), Shape("rect", Of(ShapeType::kRectangle), ShapeAt({200, 0, 300, 100}))});
  CIconObject* l = ActionOf<CShapeAction>(*task, 0);
  auto* p = ActionOf<CShapeAction>(*task, 1);
  CIconObject* r = ActionOf<CShapeAction>(*task, 2);

  CPolyline same;
  same.AddPoint(CPoint(10, 10));
  same.AddPoint(CPoint(110, 10));
  EXPECT_TRUE(l->HitTest(&same));
  const CRect page(0, 0, 640, 480);
  EXPECT_FALSE(l->HitTest(&page)) << "a path matches points, not an area";
  CPolyline curved = *p->GetPathObject();
  EXPECT_TRUE(p->HitTest(&curved));
  curved.TogglePointType(2);
  EXPECT_FALSE(p->HitTest(&curved)) << "the same corners as a curve are another path";

  const CRect own(200, 0, 300, 100), touchingRight(150, 0, 300, 120);
  EXPECT_TRUE(r->HitTest(&own) && r->HitTest(&page));
  EXPECT_FALSE(r->HitTest(&touchingRight)) << "the right edge lies outside the area";
  EXPECT_FALSE(r->HitTest(&same)) << "a rectangle matches an area, not points";

  // Nothing matches while the rectangle is null, not even a null area or the own points.
  CShapeAction unplaced;
  const CRect null;
  EXPECT_FALSE(unplaced.HitTest(&null));
  unplaced.SetShapeType(ShapeType::kLine);
  unplaced.Points() = same;
  EXPECT_FALSE(unplaced.HitTest(&same));
}
