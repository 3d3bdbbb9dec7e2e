// Integer geometry: containment by the point test, whole roots, distances and moving along a line.
#include <gtest/gtest.h>

#include "model/int_geometry.h"

namespace {

TEST(IntGeometry, RectInRectLeavesOutTheRightAndBottomEdges) {
  const CRect outer(0, 0, 100, 50);
  EXPECT_TRUE(RectInRect(outer, outer));
  EXPECT_TRUE(RectInRect(outer, CRect(10, 10, 99, 49)));
  EXPECT_FALSE(RectInRect(outer, CRect(10, 10, 100, 40)));  // touches the right edge
  EXPECT_FALSE(RectInRect(outer, CRect(10, 10, 90, 50)));   // touches the bottom edge
  EXPECT_FALSE(RectInRect(outer, CRect(-1, 10, 90, 40)));
  EXPECT_FALSE(RectInRect(CRect(0, 0, 100, 100), CRect(0, 0, 100, 60)));
}

TEST(IntGeometry, IntSqrtIsExactForSquaresAndNextToTheRootOtherwise) {
  EXPECT_EQ(IntSqrt(0), 0);
  EXPECT_EQ(IntSqrt(1), 1);
  EXPECT_EQ(IntSqrt(49), 7);
  EXPECT_EQ(IntSqrt(1024LL * 1024), 1024);
  for (long long n : {2LL, 3LL, 50LL, 63LL, 99999LL, 123456789LL}) {
    const int r = IntSqrt(n);
    EXPECT_TRUE(static_cast<long long>(r) * r <= n + 2 * r && (r + 1LL) * (r + 1) >= n - 2LL * r) << n;
    EXPECT_LE(std::abs(r * static_cast<double>(r) - static_cast<double>(n)), 2.0 * r + 1) << n;
  }
  // Beyond the search range the largest root it knows.
  EXPECT_EQ(IntSqrt(1LL << 40), 32768);
}

TEST(IntGeometry, PointDistance) {
  EXPECT_EQ(PointDistance(0, 0, 3, 4), 5);
  EXPECT_EQ(PointDistance(3, 4, 0, 0), 5);
  EXPECT_EQ(PointDistance(-3, -4, 3, 4), 10);
  EXPECT_EQ(PointDistance(7, 7, 7, 7), 0);
}

TEST(IntGeometry, MovePointTowards) {
  CPoint p;
  EXPECT_FALSE(MovePointTowards(10, CPoint(0, 0), CPoint(3, 4), &p));
  EXPECT_EQ(p, CPoint(3, 4));
  EXPECT_TRUE(MovePointTowards(5, CPoint(0, 0), CPoint(0, 20), &p));
  EXPECT_EQ(p, CPoint(0, 5));
  EXPECT_TRUE(MovePointTowards(0, CPoint(-50, 20), CPoint(100, 20), &p));
  EXPECT_EQ(p, CPoint(-50, 20));
  // Integer division truncates toward zero on both sides of the origin.
  EXPECT_TRUE(MovePointTowards(1, CPoint(0, 0), CPoint(-3, -4), &p));
  EXPECT_EQ(p, CPoint(0, 0));
  EXPECT_TRUE(MovePointTowards(3, CPoint(0, 0), CPoint(-3, -4), &p));
  EXPECT_EQ(p, CPoint(-1, -2));
  // A line of no length has nowhere to go and nothing to divide by.
  EXPECT_FALSE(MovePointTowards(0, CPoint(5, 5), CPoint(5, 5), &p));
  EXPECT_EQ(p, CPoint(5, 5));
}

TEST(IntGeometry, PointsBoundingRect) {
  const CPoint points[] = {{5, -2}, {-1, 7}, {3, 3}};
  EXPECT_EQ(PointsBoundingRect(points, 3), CRect(-1, -2, 5, 7));
  EXPECT_EQ(PointsBoundingRect(points, 1), CRect());
  EXPECT_EQ(PointsBoundingRect(nullptr, 5), CRect());
}

}  // namespace
