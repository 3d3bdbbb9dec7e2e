// CRgn: hit tests of the region kinds and their combinations.
#include "platform/gdi/rgn.h"

#include <gtest/gtest.h>

#include <climits>

#include "platform/gdi/gdi_defs.h"

namespace {

TEST(CRgn, RectangleExcludesRightAndBottomEdges) {
  CRgn r;
  r.CreateRectRgn(10, 20, 30, 40);
  EXPECT_TRUE(r.PtInRegion(10, 20));
  EXPECT_TRUE(r.PtInRegion(29, 39));
  EXPECT_FALSE(r.PtInRegion(30, 39));
  EXPECT_FALSE(r.PtInRegion(29, 40));
  CRect box;
  EXPECT_EQ(r.GetRgnBox(&box), SIMPLEREGION);
  EXPECT_EQ(box, CRect(10, 20, 30, 40));
  // Given the wrong way round, the rectangle is normalised.
  CRgn back;
  back.CreateRectRgn(30, 40, 10, 20);
  EXPECT_TRUE(back.EqualRgn(&r));
}

TEST(CRgn, EllipseHoldsItsCentreAndAxesButNotItsCorners) {
  CRgn e;
  e.CreateEllipticRgn(0, 0, 40, 20);
  EXPECT_TRUE(e.PtInRegion(20, 10));
  EXPECT_TRUE(e.PtInRegion(0, 10));
  EXPECT_TRUE(e.PtInRegion(39, 10));
  EXPECT_TRUE(e.PtInRegion(20, 0));
  EXPECT_TRUE(e.PtInRegion(20, 19));
  EXPECT_FALSE(e.PtInRegion(40, 10));
  EXPECT_FALSE(e.PtInRegion(1, 1));
  EXPECT_FALSE(e.PtInRegion(38, 18));
  CRect box;
  EXPECT_EQ(e.GetRgnBox(&box), COMPLEXREGION);
  EXPECT_EQ(box, CRect(0, 0, 40, 20));
  // Symmetric left to right and top to bottom.
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) {
      ASSERT_EQ(e.PtInRegion(x, y), e.PtInRegion(39 - x, y)) << x << "," << y;
      ASSERT_EQ(e.PtInRegion(x, y), e.PtInRegion(x, 19 - y)) << x << "," << y;
    }
}

TEST(CRgn, RoundRectangleCutsOnlyItsCorners) {
  CRgn r;
  r.CreateRoundRectRgn(0, 0, 50, 30, 20, 20);
  EXPECT_FALSE(r.PtInRegion(0, 0));
  EXPECT_FALSE(r.PtInRegion(49, 29));
  EXPECT_TRUE(r.PtInRegion(25, 0));
  EXPECT_TRUE(r.PtInRegion(0, 15));
  EXPECT_TRUE(r.PtInRegion(4, 4));
  // Corners larger than the box make an ellipse, not something larger.
  CRgn big, ellipse;
  big.CreateRoundRectRgn(0, 0, 50, 30, 500, 300);
  ellipse.CreateEllipticRgn(0, 0, 50, 30);
  EXPECT_TRUE(big.EqualRgn(&ellipse));
  // Zero corners: a plain rectangle.
  CRgn square, rect;
  square.CreateRoundRectRgn(0, 0, 5, 5, 0, 0);
  rect.CreateRectRgn(0, 0, 5, 5);
  EXPECT_TRUE(square.EqualRgn(&rect));
}

TEST(CRgn, PolygonFillModesAndDegenerateOutlines) {
  // A square traced twice in the same direction: winding keeps it, alternate leaves nothing.
  const CPoint twice[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {10, 0}, {10, 10}, {0, 10}};
  CRgn winding, alternate;
  winding.CreatePolygonRgn(twice, 8, WINDING);
  alternate.CreatePolygonRgn(twice, 8, ALTERNATE);
  EXPECT_TRUE(winding.PtInRegion(5, 5));
  EXPECT_FALSE(alternate.PtInRegion(5, 5));
  const CPoint triangle[] = {{0, 0}, {20, 0}, {0, 20}};
  CRgn t;
  t.CreatePolygonRgn(triangle, 3, ALTERNATE);
  EXPECT_TRUE(t.PtInRegion(2, 2));
  EXPECT_FALSE(t.PtInRegion(18, 18));
  // Two points enclose nothing; the region exists but is empty.
  CRgn line;
  EXPECT_TRUE(line.CreatePolygonRgn(triangle, 2, ALTERNATE));
  EXPECT_FALSE(line.PtInRegion(0, 0));
  EXPECT_EQ(line.GetRgnBox(nullptr), NULLREGION);
  EXPECT_TRUE(line.CreatePolygonRgn(nullptr, 5, ALTERNATE));
}

TEST(CRgn, CombinationsAndOffsets) {
  CRgn a, b, r;
  a.CreateRectRgn(0, 0, 10, 10);
  b.CreateRectRgn(5, 5, 15, 15);
  EXPECT_EQ(r.CombineRgn(&a, &b, RGN_AND), SIMPLEREGION);
  EXPECT_TRUE(r.PtInRegion(7, 7));
  EXPECT_FALSE(r.PtInRegion(2, 2));
  EXPECT_EQ(r.CombineRgn(&a, &b, RGN_OR), COMPLEXREGION);
  EXPECT_TRUE(r.PtInRegion(2, 2));
  EXPECT_TRUE(r.PtInRegion(12, 12));
  EXPECT_FALSE(r.PtInRegion(12, 2));
  r.CombineRgn(&a, &b, RGN_XOR);
  EXPECT_FALSE(r.PtInRegion(7, 7));
  EXPECT_TRUE(r.PtInRegion(12, 12));
  r.CombineRgn(&a, &b, RGN_DIFF);
  EXPECT_TRUE(r.PtInRegion(2, 2));
  EXPECT_FALSE(r.PtInRegion(7, 7));
  EXPECT_EQ(r.CombineRgn(&a, &b, 99), RGN_ERROR);
  CRgn never;
  EXPECT_EQ(r.CombineRgn(&a, &never, RGN_OR), RGN_ERROR);
  // A region combined with itself.
  a.CombineRgn(&a, &b, RGN_OR);
  EXPECT_TRUE(a.PtInRegion(12, 12));

  EXPECT_EQ(b.OffsetRgn(-5, 10), SIMPLEREGION);
  CRect box;
  b.GetRgnBox(&box);
  EXPECT_EQ(box, CRect(0, 15, 10, 25));
  EXPECT_TRUE(b.RectInRegion(CRect(9, 24, 20, 30)));
  EXPECT_FALSE(b.RectInRegion(CRect(10, 24, 20, 30)));
}

TEST(CRgn, HugeStoredCoordinatesAreCutNotFollowed) {
  CRgn e;
  EXPECT_TRUE(e.CreateEllipticRgn(INT_MIN, INT_MIN, INT_MAX, INT_MAX));
  EXPECT_TRUE(e.PtInRegion(0, 0));
  CRgn r;
  r.CreateRoundRectRgn(INT_MIN, 0, INT_MAX, 10, INT_MAX, INT_MIN);
  const CPoint far[] = {{INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {0, INT_MAX}};
  CRgn p;
  p.CreatePolygonRgn(far, 3, WINDING);
  EXPECT_TRUE(p.PtInRegion(0, 0));
  EXPECT_FALSE(CRgn().PtInRegion(0, 0));
}

}  // namespace
