// CPolyline: a path of line and cubic Bézier points in page coordinates.
#pragma once

#include <vector>

#include "platform/base/geometry.h"
#include "platform/base/object.h"

class CArchive;

// Each point has a type byte: 2 a line point, 4 a curve point. Point i starts
// a curve when it and point i + 1 are curve points and i + 2 is a point of the
// path; points i - 1 .. i + 2 are then the four control points of one cubic
// Bézier curve.
class CPolyline : public CObject {
  DECLARE_SERIAL(CPolyline)

 public:
  static constexpr BYTE kLinePoint = 2;
  static constexpr BYTE kCurvePoint = 4;
  // Samples per curve when drawing and filling.
  static constexpr int kDrawSteps = 50;
  // Samples per curve when measuring.
  static constexpr int kMeasureSteps = 10;

  CPolyline() = default;
  CPolyline(const CPolyline&) = default;
  CPolyline& operator=(const CPolyline&) = default;
  void CopyFrom(const CPolyline& other) { *this = other; }
  // Two paths are equal when they hold the same points with the same types, in order.
  bool operator==(const CPolyline& other) const { return m_points == other.m_points && m_types == other.m_types; }

  void Serialize(CArchive& ar) override;

  int GetPointCount() const { return static_cast<int>(m_points.size()); }
  CPoint GetPoint(int i) const;
  BYTE GetPointType(int i) const;
  const std::vector<CPoint>& Points() const { return m_points; }
  void AddPoint(CPoint point);
  // Moves point i, keeping its type; nothing for an index outside the path.
  void SetPoint(int i, CPoint point);
  void InsertPoint(int i, CPoint point);
  void RemovePoint(int i);
  void RemoveAll();
  // Switches point n - 1 between a line and a curve point, for 2 <= n < count.
  int TogglePointType(int n);
  void Offset(int dx, int dy);
  void GetBoundingRect(CRect* out) const;
  BOOL IsInRect(const CRect& rect) const;
  bool HasCurves() const;

  // This path becomes source with every curve replaced by steps + 1 line points.
  void Flatten(const CPolyline& source, int steps);
  // The outline as drawn and filled: each curve sampled at kDrawSteps.
  std::vector<CPoint> FlatOutline() const;

  // Length of the path up to point n (-1 or past the end: the whole path).
  int GetPathLength(int n = -1) const;
  // One step of stepLength along the path; the caller keeps distance, index,
  // curveStep and curveSteps between calls, all starting at 0. Gives 1 while a
  // point was produced and 0 at the end, with the last point in out.
  int GetPointOnPath(int& distance, CPoint* out, int& index, int& curveStep, int& curveSteps, int stepLength) const;
  // The first segment whose nearest point lies within tolerance, with that point; -1 when none.
  int FindSegment(CPoint point, CPoint* out, int tolerance) const;
  // Index -1: the segment nearest to point wins, and point becomes its nearest
  // point. Otherwise the nearest point on segment index, with distance from its
  // start. rect is moved so that its centre is at the nearest point.
  void FindNearestPointOnPath(CPoint& point, CRect& rect, int& index, int& distance) const;

  // Path lengths are measured in whole-number distances (IntSqrt of the squares).
  static int IntegerDistance(CPoint a, CPoint b);
  // Point k of n on the cubic Bézier curve p0..p3, truncated toward zero.
  static CPoint BezierPoint(CPoint p0, CPoint p1, CPoint p2, CPoint p3, int k, int n);
  // The point of segment a-b nearest to p.
  static CPoint NearestOnSegment(CPoint a, CPoint b, CPoint p);

 private:
  bool CurveStartsAt(int i) const;        // the drawing rule: i and i + 1 are curve points
  bool CurveFollowsSegment(int i) const;  // the walking rule: i + 1 and i + 2 are curve points
  int CurveLength(int start) const;       // a curve from point start to point start + 3

  std::vector<CPoint> m_points;
  std::vector<BYTE> m_types;
};
