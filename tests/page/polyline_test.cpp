// Paths: the curve rule, lengths, stepping along a path and nearest points.
#include "page/polyline.h"

#include <gtest/gtest.h>

#include "model/archive.h"
#include "model/int_geometry.h"
#include "tests/support/archive_writer.h"

using tvn::testing::ArchiveWriter;

namespace {

CPolyline Path(std::initializer_list<CPoint> points, std::initializer_list<BYTE> types = {}) {
  CPolyline p;
  for (CPoint pt : points) p.AddPoint(pt);
  int i = 0;
  for (BYTE t : types) {
    if (t == CPolyline::kCurvePoint) p.TogglePointType(i + 1);
    ++i;
  }
  return p;
}

}  // namespace

TEST(Polyline, IntegerSquareRootByBisection) {
  struct Row { long long value; int root; };
  const Row rows[] = {{0, 0}, {1, 1}, {25, 5}, {50, 8}, {100, 10}, {1LL << 40, 32768}};
  for (std::size_t i = 0; i < std::size(rows); ++i) EXPECT_EQ(IntSqrt(rows[i].value), rows[i].root) << "row " << i;
  // Far-apart points saturate instead of overflowing.
  EXPECT_EQ(CPolyline::IntegerDistance(CPoint(-2147483647, 0), CPoint(2147483647, 0)), 32768);
}

TEST(Polyline, CurveRuleAndPathLength) {
  CPolyline zeroSegment = Path({{0, 0}, {3, 4}, {3, 4}, {6, 8}});
  EXPECT_EQ(zeroSegment.GetPathLength(), 10);
  EXPECT_EQ(zeroSegment.GetPathLength(2), 5);

  // Types 2,4,4,2: one curve from point 0 to point 3; 2,4,2,2: straight segments.
  CPolyline curve = Path({{0, 0}, {0, 100}, {100, 100}, {100, 0}}, {2, 4, 4, 2});
  CPolyline lines = Path({{0, 0}, {0, 100}, {100, 100}, {100, 0}}, {2, 4, 2, 2});
  EXPECT_EQ(lines.GetPathLength(), 300);
  int curved = curve.GetPathLength();
  EXPECT_GT(curved, 100);
  EXPECT_LT(curved, 300);
  EXPECT_EQ(curve.FlatOutline().size(), 1u + 51u);
  EXPECT_EQ(lines.FlatOutline().size(), 4u);
}

TEST(Polyline, StepsAlongAStraightPath) {
  CPolyline p = Path({{0, 0}, {0, 20}});
  int distance = 0, index = 0, curveStep = 0, curveSteps = 0;
  CPoint out;
  std::vector<CPoint> seen;
  while (p.GetPointOnPath(distance, &out, index, curveStep, curveSteps, 5)) {
    seen.push_back(out);
    ASSERT_LT(seen.size(), 100u);
  }
  EXPECT_EQ(seen, (std::vector<CPoint>{{0, 1}, {0, 6}, {0, 11}, {0, 16}}));
  EXPECT_EQ(out, CPoint(0, 20));
}

TEST(Polyline, StepsThroughCurvesAndEndsEvenOnTinyCurvesOrZeroSteps) {
  CPolyline curve = Path({{0, 0}, {0, 100}, {100, 100}, {100, 0}, {200, 0}}, {2, 4, 4, 2, 2});
  int distance = 0, index = 0, curveStep = 0, curveSteps = 0, produced = 0;
  CPoint out;
  while (curve.GetPointOnPath(distance, &out, index, curveStep, curveSteps, 10)) ASSERT_LT(++produced, 1000);
  EXPECT_EQ(out, CPoint(200, 0));
  EXPECT_GT(produced, 20);

  CPolyline tiny = Path({{0, 0}, {1, 0}, {1, 1}, {2, 1}}, {2, 4, 4, 2});
  distance = index = curveStep = curveSteps = 0;
  EXPECT_EQ(tiny.GetPointOnPath(distance, &out, index, curveStep, curveSteps, 50), 1);
  EXPECT_EQ(out, CPoint(2, 1));  // shorter than one step: its end point
  EXPECT_EQ(tiny.GetPointOnPath(distance, &out, index, curveStep, curveSteps, 50), 0);

  CPolyline line = Path({{0, 0}, {0, 5}});
  distance = index = curveStep = curveSteps = produced = 0;
  while (line.GetPointOnPath(distance, &out, index, curveStep, curveSteps, 0)) ASSERT_LT(++produced, 100);
}

TEST(Polyline, NearestPoints) {
  CPolyline p = Path({{0, 0}, {10, 0}});
  EXPECT_EQ(CPolyline::NearestOnSegment({0, 0}, {10, 0}, {15, 0}), CPoint(10, 0));
  EXPECT_EQ(CPolyline::NearestOnSegment({0, 0}, {10, 0}, {-3, 4}), CPoint(0, 0));
  EXPECT_EQ(CPolyline::NearestOnSegment({4, 4}, {4, 4}, {9, 9}), CPoint(4, 4));

  CPoint point(5, -3);
  CRect rect(0, 0, 20, 10);
  int index = -1, distance = 0;
  p.FindNearestPointOnPath(point, rect, index, distance);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(point, CPoint(5, 0));
  EXPECT_EQ(rect, CRect(-5, -5, 15, 5));

  // The winner's point is returned, not the last segment's.
  CPolyline two = Path({{0, 0}, {10, 0}, {10, 50}});
  point = CPoint(3, 1);
  index = -1;
  two.FindNearestPointOnPath(point, rect, index, distance);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(point, CPoint(3, 0));

  // A given segment: coinciding with its end moves on to the next one.
  point = CPoint(12, -5);
  index = 0;
  two.FindNearestPointOnPath(point, rect, index, distance);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(distance, 0);

  CPoint out;
  EXPECT_EQ(two.FindSegment({10, 30}, &out, 2), 1);
  EXPECT_EQ(out, CPoint(10, 30));
  EXPECT_EQ(two.FindSegment({50, 50}, &out, 2), -1);
}

TEST(Polyline, EditingAndBounds) {
  CPolyline p = Path({{5, 5}, {-2, 8}, {7, 1}});
  CRect bounds;
  p.GetBoundingRect(&bounds);
  EXPECT_EQ(bounds, CRect(-2, 1, 7, 8));
  EXPECT_TRUE(p.IsInRect(CRect(-2, 1, 8, 9)));
  EXPECT_FALSE(p.IsInRect(CRect(-2, 1, 7, 9)));  // right edge excluded
  EXPECT_EQ(p.TogglePointType(1), 0);
  EXPECT_EQ(p.TogglePointType(3), 0);
  EXPECT_EQ(p.TogglePointType(2), 1);
  EXPECT_EQ(p.GetPointType(1), CPolyline::kCurvePoint);
  p.InsertPoint(0, {1, 1});
  p.RemovePoint(3);
  p.Offset(1, 2);
  EXPECT_EQ(p.GetPoint(0), CPoint(2, 3));
  EXPECT_EQ(p.GetPointCount(), 3);
  CPolyline empty;
  empty.GetBoundingRect(&bounds);
  EXPECT_EQ(bounds, CRect());
  EXPECT_FALSE(empty.IsInRect(CRect(0, 0, 10, 10)));
}

TEST(Polyline, FlattenReplacesCurvesWithoutRepeats) {
  CPolyline curve = Path({{0, 0}, {0, 100}, {100, 100}, {100, 0}}, {2, 4, 4, 2});
  CPolyline flat;
  flat.Flatten(curve, 10);
  EXPECT_LE(flat.GetPointCount(), 12);
  EXPECT_FALSE(flat.HasCurves());
  EXPECT_EQ(flat.GetPoint(flat.GetPointCount() - 1), CPoint(100, 0));
  CPolyline degenerate = Path({{0, 0}, {0, 0}, {0, 0}, {0, 0}}, {2, 4, 4, 2});
  degenerate.Flatten(degenerate, 10);
  EXPECT_EQ(degenerate.GetPointCount(), 1);
}

TEST(Polyline, StoredFormAndDamagedArrays) {
  ArchiveWriter w;
  w.NewObject("CPolyline", 2);
  w.Count(3).Point(1, 2).Point(3, 4).Point(5, 6);
  w.Count(2).Byte(2).Byte(4);  // one type short
  CMemFile file(w.bytes().data(), w.size());
  CArchive ar(file);
  auto p = ar.ReadOwned<CPolyline>();
  ASSERT_TRUE(p);
  EXPECT_EQ(p->GetPointCount(), 3);
  EXPECT_EQ(p->GetPoint(2), CPoint(5, 6));
  EXPECT_EQ(p->GetPointType(1), CPolyline::kCurvePoint);
  EXPECT_EQ(p->GetPointType(2), CPolyline::kLinePoint);

  ArchiveWriter forged;
  forged.NewObject("CPolyline", 2);
  forged.Word(0xFFFF).Dword(0x10000000);  // 268 million points in a few bytes
  CMemFile f2(forged.bytes().data(), forged.size());
  CArchive ar2(f2);
  try {
    ar2.ReadOwned<CPolyline>();
    FAIL() << "a forged count was accepted";
  } catch (const CArchiveException& e) {
    EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
  }
}
