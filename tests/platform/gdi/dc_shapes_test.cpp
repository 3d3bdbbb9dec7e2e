// Lines, shapes, fills and mix modes of CDC.
#include <gtest/gtest.h>

#include "platform/gdi/brush.h"
#include "platform/gdi/pen.h"
#include "platform/gdi/rgn.h"
#include "tests/platform/gdi/canvas.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);

// A background that is not symmetric under inversion, so mix mistakes show.
void PaintGradient(Canvas& c, int w, int h) {
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) c.dc.SetPixel(x, y, RGB(x * 7 % 256, y * 13 % 256, (x + y) * 5 % 256));
}

TEST(CDCShapes, OnePixelRectangleOutlineLiesInsideItsRectangle) {
  Canvas c(20, 20);
  CPen pen(PS_SOLID, 1, kRed);
  CBrush brush(RGB(0, 0, 255));
  c.dc.SelectObject(&pen);
  c.dc.SelectObject(&brush);
  c.dc.Rectangle(5, 5, 15, 12);
  EXPECT_EQ(c.InkBox(kWhite), CRect(5, 5, 15, 12)) << c.Picture(kWhite);
  // Outline on the outermost pixels, brush inside.
  EXPECT_EQ(c.dc.GetPixel(5, 5), kRed);
  EXPECT_EQ(c.dc.GetPixel(14, 11), kRed);
  EXPECT_EQ(c.dc.GetPixel(6, 6), RGB(0, 0, 255));
  EXPECT_EQ(c.dc.GetPixel(13, 10), RGB(0, 0, 255));
}

TEST(CDCShapes, InsideFramePenKeepsWideOutlineInside) {
  Canvas c(40, 40);
  CPen pen(PS_INSIDEFRAME, 5, kRed);
  c.dc.SelectObject(&pen);
  c.dc.SelectStockObject(NULL_BRUSH);
  c.dc.Rectangle(10, 10, 30, 30);
  const CRect ink = c.InkBox(kWhite);
  EXPECT_GE(ink.left, 10);
  EXPECT_GE(ink.top, 10);
  EXPECT_LE(ink.right, 30);
  EXPECT_LE(ink.bottom, 30);
  EXPECT_EQ(c.dc.GetPixel(20, 20), kWhite);  // null brush: the middle stays
  EXPECT_EQ(c.dc.GetPixel(11, 20), kRed);
}

TEST(CDCShapes, LineLeavesOutItsEndPointWhichBecomesCurrent) {
  Canvas c(10, 10);
  c.dc.MoveTo(1, 1);
  c.dc.LineTo(6, 1);
  EXPECT_EQ(c.InkBox(kWhite), CRect(1, 1, 6, 2)) << c.Picture(kWhite);
  EXPECT_EQ(c.dc.GetCurrentPosition(), CPoint(6, 1));
  c.dc.LineTo(6, 6);  // continues from there without touching (6,1) again... it starts there
  EXPECT_EQ(c.dc.GetPixel(6, 1), kBlack);
  EXPECT_EQ(c.dc.GetPixel(6, 6), kWhite);
}

// Drawing an outline twice with an inverting mix must give back every pixel:
// rubber bands and grid lines rely on it.
TEST(CDCShapes, XorOutlinesDrawnTwiceRestoreEveryPixel) {
  struct Row {
    int mode;
    UINT style;
    COLORREF colour;
  } rows[] = {
      {R2_XORPEN, PS_SOLID, RGB(0x12, 0x34, 0x56)},
      {R2_NOTXORPEN, PS_DOT, kBlack},
      {R2_NOT, PS_SOLID, kBlack},
      {R2_NOTXORPEN, PS_SOLID, RGB(200, 10, 99)},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE("row " + std::to_string(i));
    Canvas c(40, 30);
    PaintGradient(c, 40, 30);
    const auto before = c.Pixels();
    CPen pen(rows[i].style, 0, rows[i].colour);
    c.dc.SelectObject(&pen);
    c.dc.SelectStockObject(NULL_BRUSH);
    c.dc.SetBkMode(TRANSPARENT);
    c.dc.SetROP2(rows[i].mode);
    const CPoint zigzag[] = {{2, 2}, {30, 5}, {3, 20}, {35, 25}, {2, 2}};
    for (int pass = 0; pass < 2; ++pass) {
      c.dc.Rectangle(3, 4, 30, 25);
      c.dc.Polyline(zigzag, 5);
      c.dc.MoveTo(0, 29);
      c.dc.LineTo(39, 0);
      c.dc.Ellipse(5, 5, 25, 20);
      if (pass == 0) {
        EXPECT_NE(c.Pixels(), before) << "the first pass drew nothing";
      }
    }
    EXPECT_EQ(c.Pixels(), before);
  }
}

TEST(CDCShapes, XorOnePixelRectangleInvertsExactlyItsFrame) {
  Canvas c(12, 12, kBlack);
  c.dc.SelectStockObject(WHITE_PEN);
  c.dc.SelectStockObject(NULL_BRUSH);
  c.dc.SetROP2(R2_XORPEN);
  c.dc.Rectangle(2, 2, 10, 10);
  // Each frame pixel once: corners are not inverted twice.
  EXPECT_EQ(c.Count(kWhite), 4 * 7) << c.Picture(kBlack);
  EXPECT_EQ(c.dc.GetPixel(2, 2), kWhite);
  EXPECT_EQ(c.dc.GetPixel(9, 9), kWhite);
}

TEST(CDCShapes, FilledXorShapeMixesBrushAndPen) {
  Canvas c(20, 20, kBlack);
  CPen pen(PS_SOLID, 1, RGB(0, 255, 0));
  CBrush brush(RGB(255, 0, 0));
  c.dc.SelectObject(&pen);
  c.dc.SelectObject(&brush);
  c.dc.SetROP2(R2_XORPEN);
  c.dc.Rectangle(2, 2, 12, 12);
  EXPECT_EQ(c.dc.GetPixel(5, 5), RGB(255, 0, 0));
  // The frame gets the pen over the brush only where the brush reached.
  EXPECT_EQ(c.dc.GetPixel(11, 11), RGB(0, 255, 0));
  c.dc.Rectangle(2, 2, 12, 12);
  EXPECT_EQ(c.Count(kBlack), 400);
}

TEST(CDCShapes, PolygonFillModes) {
  // A five-pointed star drawn as one polygon: its centre is inside with winding
  // fill and a hole with alternate fill.
  const CPoint star[] = {{20, 2}, {31, 36}, {2, 14}, {38, 14}, {9, 36}};
  for (int mode : {ALTERNATE, WINDING}) {
    Canvas c(40, 40);
    c.dc.SelectStockObject(NULL_PEN);
    c.dc.SelectStockObject(BLACK_BRUSH);
    c.dc.SetPolyFillMode(mode);
    c.dc.Polygon(star, 5);
    EXPECT_EQ(c.dc.GetPixel(20, 20), mode == WINDING ? kBlack : kWhite) << c.Picture(kWhite);
    EXPECT_EQ(c.dc.GetPixel(20, 6), kBlack);
  }
}

TEST(CDCShapes, EllipseAndRoundRectStayInTheirBoxes) {
  Canvas c(50, 40);
  c.dc.Ellipse(5, 5, 45, 35);
  EXPECT_EQ(c.InkBox(kWhite), CRect(5, 5, 45, 35));
  EXPECT_EQ(c.dc.GetPixel(6, 6), kWhite);  // corners are outside
  Canvas r(50, 40);
  r.dc.RoundRect(5, 5, 45, 35, 16, 16);
  EXPECT_EQ(r.InkBox(kWhite), CRect(5, 5, 45, 35));
  EXPECT_EQ(r.dc.GetPixel(5, 5), kWhite);
  EXPECT_EQ(r.dc.GetPixel(25, 5), kBlack);
}

TEST(CDCShapes, BezierPassesThroughItsEnds) {
  Canvas c(60, 40);
  const CPoint curve[] = {{5, 30}, {15, 0}, {45, 0}, {55, 30}};
  EXPECT_TRUE(c.dc.PolyBezier(curve, 4));
  EXPECT_GT(c.Count(kBlack), 50);
  const CRect ink = c.InkBox(kWhite);
  EXPECT_EQ(ink.left, 5);
  EXPECT_GE(ink.bottom, 30);
  EXPECT_LE(ink.bottom, 31);
  EXPECT_GE(ink.top, 5);   // the curve stays well below its control points
  EXPECT_LE(ink.top, 10);
  EXPECT_FALSE(c.dc.PolyBezier(curve, 3));  // not 1 + 3n points
}

TEST(CDCShapes, FillsFramesAndInverts) {
  Canvas c(20, 20);
  CBrush red(kRed);
  c.dc.FillRect(CRect(2, 2, 6, 6), &red);
  EXPECT_EQ(c.InkBox(kWhite), CRect(2, 2, 6, 6));
  c.dc.FrameRect(CRect(10, 10, 15, 15), &red);
  EXPECT_EQ(c.dc.GetPixel(10, 14), kRed);
  EXPECT_EQ(c.dc.GetPixel(12, 12), kWhite);
  c.dc.InvertRect(CRect(0, 0, 4, 4));
  EXPECT_EQ(c.dc.GetPixel(0, 0), kBlack);
  EXPECT_EQ(c.dc.GetPixel(3, 3), RGB(0, 255, 255));
  c.dc.InvertRect(CRect(0, 0, 4, 4));
  EXPECT_EQ(c.dc.GetPixel(3, 3), kRed);
}

TEST(CDCShapes, HatchedBrushGapsFollowTheBackgroundMode) {
  for (int mode : {OPAQUE, TRANSPARENT}) {
    Canvas c(16, 16, kRed);
    CBrush hatch(HS_CROSS, kBlack);
    c.dc.SetBkColor(RGB(0, 0, 255));
    c.dc.SetBkMode(mode);
    c.dc.SelectStockObject(NULL_PEN);
    c.dc.SelectObject(&hatch);
    c.dc.Rectangle(0, 0, 17, 17);
    EXPECT_EQ(c.dc.GetPixel(7, 3), kBlack);
    EXPECT_EQ(c.dc.GetPixel(3, 3), mode == OPAQUE ? RGB(0, 0, 255) : kRed);
  }
}

TEST(CDCShapes, ClippingAndOriginsApplyToEveryShape) {
  Canvas c(30, 30);
  c.dc.IntersectClipRect(10, 10, 20, 20);
  c.dc.SelectStockObject(BLACK_BRUSH);
  c.dc.Rectangle(0, 0, 30, 30);
  c.dc.FillSolidRect(CRect(0, 0, 30, 30), kBlack);
  EXPECT_EQ(c.InkBox(kWhite), CRect(10, 10, 20, 20));
  CRect box;
  EXPECT_EQ(c.dc.GetClipBox(&box), SIMPLEREGION);
  EXPECT_EQ(box, CRect(10, 10, 20, 20));

  Canvas o(30, 30);
  o.dc.SetViewportOrg(10, 5);
  o.dc.FillSolidRect(CRect(0, 0, 2, 2), kRed);
  EXPECT_EQ(o.InkBox(kWhite), CRect(10, 5, 12, 7));
  CPoint p(0, 0);
  o.dc.LPtoDP(&p);
  EXPECT_EQ(p, CPoint(10, 5));
  o.dc.SetWindowOrg(3, 3);
  CRect logical(10, 5, 12, 7);
  o.dc.DPtoLP(&logical);
  EXPECT_EQ(logical, CRect(3, 3, 5, 5));
}

TEST(CDCShapes, ClipRegionShapesDrawing) {
  Canvas c(30, 30);
  CRgn round;
  round.CreateEllipticRgn(0, 0, 30, 30);
  EXPECT_EQ(c.dc.SelectClipRgn(&round), COMPLEXREGION);
  c.dc.FillSolidRect(CRect(0, 0, 30, 30), kBlack);
  EXPECT_EQ(c.dc.GetPixel(0, 0), CLR_INVALID);  // outside the clip
  c.dc.SelectClipRgn(nullptr);
  EXPECT_EQ(c.dc.GetPixel(0, 0), kWhite);
  EXPECT_EQ(c.dc.GetPixel(15, 15), kBlack);
  EXPECT_EQ(c.dc.GetPixel(15, 0), kBlack);
}

TEST(CDCShapes, SaveAndRestoreBringBackAttributesAndClip) {
  Canvas c(10, 10);
  CPen red(PS_SOLID, 1, kRed);
  CPen* old = c.dc.SelectObject(&red);
  ASSERT_NE(old, nullptr);
  const int level = c.dc.SaveDC();
  c.dc.SetROP2(R2_XORPEN);
  c.dc.SetTextColor(kRed);
  c.dc.IntersectClipRect(0, 0, 1, 1);
  c.dc.SelectStockObject(WHITE_PEN);
  EXPECT_TRUE(c.dc.RestoreDC(level));
  EXPECT_EQ(c.dc.GetROP2(), R2_COPYPEN);
  EXPECT_EQ(c.dc.GetTextColor(), kBlack);
  EXPECT_EQ(c.dc.GetCurrentPen(), &red);
  EXPECT_EQ(c.dc.PtVisible(5, 5), TRUE);
  EXPECT_FALSE(c.dc.RestoreDC(level));  // already popped
  EXPECT_EQ(c.dc.SelectObject(old), &red);
}

TEST(CDCShapes, DeletingSelectedObjectsLeavesTheContextUsable) {
  Canvas c(10, 10);
  {
    CPen pen(PS_SOLID, 1, kRed);
    CBrush brush(kRed);
    c.dc.SelectObject(&pen);
    c.dc.SelectObject(&brush);
  }
  // The context kept copies; drawing still works and draws red.
  c.dc.Rectangle(0, 0, 5, 5);
  EXPECT_EQ(c.dc.GetPixel(0, 0), kRed);
}

TEST(CDCShapes, PixelsOutsideTheSurfaceAreRefused) {
  Canvas c(4, 4);
  EXPECT_EQ(c.dc.SetPixel(4, 0, kRed), CLR_INVALID);
  EXPECT_EQ(c.dc.GetPixel(-1, 0), CLR_INVALID);
  EXPECT_EQ(c.dc.SetPixel(3, 3, kRed), kRed);
  gdi::PixelSurface part = c.dc.GetPixelRect(CRect(2, 2, 10, 10));
  ASSERT_TRUE(part.IsValid());
  EXPECT_EQ(part.width, 2);
  EXPECT_EQ(gdi::PixelToColor(part.Row(1)[1]), kRed);
  EXPECT_FALSE(c.dc.GetPixelRect(CRect(5, 5, 9, 9)).IsValid());
}

TEST(CDCShapes, HugeCoordinatesFromCoursesDoNotOverflow) {
  Canvas c(10, 10);
  c.dc.SetViewportOrg(INT32_MAX - 1, INT32_MIN + 1);
  c.dc.Rectangle(INT32_MAX - 5, INT32_MIN, INT32_MAX, INT32_MAX);
  c.dc.FillSolidRect(CRect(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX), kRed);
  c.dc.SetViewportOrg(0, 0);
  const CPoint far[] = {{INT32_MIN, 0}, {INT32_MAX, 9}, {0, INT32_MAX}};
  c.dc.Polygon(far, 3);
  SUCCEED();
}

}  // namespace
