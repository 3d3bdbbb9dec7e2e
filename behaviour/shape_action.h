// CShapeAction: puts a vector shape on the page: a line with arrow heads, rectangles, an ellipse, a polygon or a box.
#pragma once

#include "behaviour/display_action.h"
#include "model/gradient_cache.h"
#include "page/polyline.h"
#include "platform/gdi/gdi_types.h"

namespace ShapeType {
constexpr BYTE kLine = 0;
constexpr BYTE kRectangle = 1;
constexpr BYTE kRoundRect = 2;
constexpr BYTE kEllipse = 3;
constexpr BYTE kPolyline = 4;
constexpr BYTE kBox = 5;
}  // namespace ShapeType

// Shape flag bits; 0x10 to 0x80 are handed to the gradient as its mode bits.
namespace ShapeFlag {
constexpr DWORD kTransparent = 0x01;
constexpr DWORD kOpenPolyline = 0x02;  // drawn open, with arrow heads
constexpr DWORD kFilled = 0x04;
constexpr DWORD kShaded = 0x08;
constexpr DWORD kGradientEllipses = 0x80;  // on a rectangle: the shading is clipped to it
}  // namespace ShapeFlag

// On disk: type, flags, pen (16 raw bytes), corner size, brush (12 raw
// bytes), background colour, arrow style, the points, the display part, the common part.
class CShapeAction : public CDisplayAction {
  DECLARE_SERIAL(CShapeAction)

 public:
  static constexpr BYTE kDefaultLayer = 6;
  // Arrow wings leave the line at this angle, 10 pen widths long.
  static constexpr double kWingAngle = 0.245;

  CShapeAction();
  CShapeAction(const CShapeAction& other) = default;

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 338; }
  void Draw(CDC* dc, int code, const CRect* rect) override;
  CPolyline* GetPathObject() override { return &m_points; }
  BOOL GetRegion(int code, int x, int y, const CRect* rect) override;
  // Lines and polylines match a point set equal to their own points; the
  // other shapes match an area their rectangle lies in. A shape whose
  // rectangle is null, or asked with the other kind of target, does not match.
  BOOL HitTest(const CRect* area) override;
  BOOL HitTest(const CPolyline* points) override;
  CRect* GetRect(CRect* inout) override;
  void SetRect(const CRect& rect) override;
  int SetPoint(int style, int width) override;
  int GetPoint(int* style, int* width) override;
  BOOL Execute() override;
  CSize* GetShapeData() override { return &m_corner; }

  BYTE GetShapeType() const { return m_shapeType; }
  void SetShapeType(BYTE type) { m_shapeType = type; }
  BYTE GetArrowStyle() const { return m_arrowStyle; }
  void SetArrowStyle(BYTE style) { m_arrowStyle = style; }
  DWORD GetShapeFlags() const { return m_dwShapeFlags; }
  void SetShapeFlags(DWORD flags) { m_dwShapeFlags = flags; }
  LOGBRUSH& Brush() { return m_brush; }
  LOGPEN& Pen() { return m_pen; }
  COLORREF GetBackColour() const { return m_backColour; }
  void SetBackColour(COLORREF colour) { m_backColour = colour; }
  CPolyline& Points() { return m_points; }

  // The draw-object kind Execute hands the page (before a transition's 2048).
  DWORD DrawKind() const;
  // The depth and lift of a box drawn in rect.
  static void BoxDepth(const CRect& rect, int& depth, int& lift);

 private:
  bool IsPath() const { return m_shapeType == ShapeType::kLine || m_shapeType == ShapeType::kPolyline; }
  bool HeadAtFirst() const { return m_arrowStyle >= 1 && m_arrowStyle <= 6 && m_arrowStyle != 3 && m_arrowStyle != 4; }
  bool HeadAtLast() const { return m_arrowStyle >= 3 && m_arrowStyle <= 6; }
  bool FilledHeads() const { return (m_arrowStyle & 1) != 0; }
  bool LineWithHeads() const {
    return m_shapeType == ShapeType::kLine && m_arrowStyle >= 1 && m_arrowStyle <= 6 && m_points.GetPointCount() == 2;
  }
  // The line's points and every arrow head drawn on them.
  CRect LineBounds(const CPolyline& points) const;
  // Where the path stands now: the page's copy, which moves with the object,
  // or the own points when the shape is not on a page.
  const CPolyline& PlacedPoints();
  void DrawHeads(CDC* dc, const std::vector<CPoint>& points);
  void DrawShaded(CDC* dc, const CRect& rect, class CRgn* clip);
  void DrawBox(CDC* dc, const CRect& rect);

  BYTE m_shapeType = ShapeType::kRectangle;
  BYTE m_arrowStyle = 0;
  DWORD m_dwShapeFlags = 0x13;
  LOGBRUSH m_brush{1, 0xFF0000, 0};
  LOGPEN m_pen{0, 1, 1, 0};
  CSize m_corner{16, 16};
  CPolyline m_points;
  COLORREF m_backColour = 0;
  CGradientCache m_shadeCache;  // the shaded fill as last drawn (not stored)
};
