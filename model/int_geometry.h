// Integer geometry shared by shapes, paths, effects and responses.
#pragma once

#include "platform/base/geometry.h"
#include "platform/base/win_types.h"

// TRUE when the rectangles are equal or every corner of inner lies inside
// outer by the point test (right and bottom edges outside), so an inner
// rectangle touching outer's right or bottom edge is not inside.
BOOL RectInRect(const CRect& outer, const CRect& inner);

// The whole square root by binary search over 0..32768: exact for a perfect
// square, otherwise one of the two whole numbers next to the root.
int IntSqrt(long long n);

// IntSqrt of the squared distance between the points.
int PointDistance(int x1, int y1, int x2, int y2);

// The point distance along the line from from to to. When the line is shorter
// than distance the result is to and FALSE; otherwise TRUE. A line of length
// 0 gives to and FALSE.
BOOL MovePointTowards(int distance, CPoint from, CPoint to, CPoint* result);

// The smallest and largest x and y of the points; all zero for fewer than 2.
CRect PointsBoundingRect(const CPoint* points, int count);
