// CRgn: an area of whole pixels (rectangles, polygons, ellipses, round rectangles and their combinations).
#pragma once

#include <memory>
#include <span>
#include <vector>

#include "platform/gdi/gdi_object.h"
#include "platform/base/geometry.h"

class QRegion;

class CRgn : public CGdiObject {
 public:
  // Coordinates of made regions are cut to this range; beyond it no course draws.
  static constexpr LONG kCoordinateLimit = 32767;

  CRgn();
  ~CRgn() override;
  Kind GetKind() const override { return Kind::region; }

  // Right and bottom edges lie outside, as for rectangles.
  BOOL CreateRectRgn(LONG left, LONG top, LONG right, LONG bottom);
  BOOL CreateRectRgnIndirect(const CRect& rect) { return CreateRectRgn(rect.left, rect.top, rect.right, rect.bottom); }
  // The pixels whose centres lie inside the ellipse bounded by the rectangle.
  BOOL CreateEllipticRgn(LONG left, LONG top, LONG right, LONG bottom);
  BOOL CreateEllipticRgnIndirect(const CRect& rect) {
    return CreateEllipticRgn(rect.left, rect.top, rect.right, rect.bottom);
  }
  // Corners are quarters of an ellipse of cornerWidth x cornerHeight.
  BOOL CreateRoundRectRgn(LONG left, LONG top, LONG right, LONG bottom, LONG cornerWidth, LONG cornerHeight);
  // fillMode ALTERNATE (1) or WINDING (2); fewer than three points make an empty region.
  BOOL CreatePolygonRgn(const CPoint* points, int count, int fillMode);
  BOOL CreatePolygonRgn(std::span<const CPoint> points, int fillMode) {
    return CreatePolygonRgn(points.data(), static_cast<int>(points.size()), fillMode);
  }
  // The union of the rectangles (right and bottom outside); empty ones add nothing.
  BOOL CreateFromRects(std::span<const CRect> rects);
  BOOL DeleteObject() override;

  // This region becomes a op b (RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF, RGN_COPY);
  // either argument may be this region. Returns the region type or RGN_ERROR.
  int CombineRgn(const CRgn* a, const CRgn* b, int mode);
  int CopyRgn(const CRgn* source) { return CombineRgn(source, nullptr, 5); }
  int OffsetRgn(LONG dx, LONG dy);
  int OffsetRgn(CPoint offset) { return OffsetRgn(offset.x, offset.y); }
  void SetRectRgn(LONG left, LONG top, LONG right, LONG bottom);

  BOOL PtInRegion(LONG x, LONG y) const;
  BOOL PtInRegion(CPoint p) const { return PtInRegion(p.x, p.y); }
  BOOL RectInRegion(const CRect& rect) const;
  BOOL EqualRgn(const CRgn* other) const;
  // The bounding box; returns the region type (NULLREGION, SIMPLEREGION, COMPLEXREGION).
  int GetRgnBox(CRect* box) const;
  // The region as rectangles that do not overlap, row by row.
  std::vector<CRect> GetRects() const;

  const QRegion& Area() const { return *m_region; }
  // NULLREGION, SIMPLEREGION or COMPLEXREGION for any area.
  static int TypeOf(const QRegion& area);
  void SetArea(const QRegion& area);

 private:
  std::unique_ptr<QRegion> m_region;
};
