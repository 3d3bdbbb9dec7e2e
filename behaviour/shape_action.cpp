#include "behaviour/shape_action.h"

#include <algorithm>
#include <cmath>

#include "behaviour/dither_strip.h"
#include "model/archive.h"
#include "model/draw_helpers.h"
#include "model/int_geometry.h"
#include "page/draw_obj.h"
#include "page/off_screen_view.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/pen.h"
#include "platform/gdi/rgn.h"

IMPLEMENT_SERIAL(CShapeAction, CDisplayAction, VERSIONABLE_SCHEMA | 2)

namespace {

const CRect kDefaultDrawRect(0, 0, 640, 480);
// The box's faces lean back at this angle (30 degrees).
constexpr double kBoxAngle = 0.5236;

CRect Normalized(CRect r) {
  r.NormalizeRect();
  return r;
}

// Puts the context's colours, mode, pen and brush back as they were.
class KeptContext {
 public:
  explicit KeptContext(CDC* dc) : m_dc(dc), m_saved(dc->SaveDC()) {}
  ~KeptContext() { m_dc->RestoreDC(m_saved); }
  KeptContext(const KeptContext&) = delete;
  KeptContext& operator=(const KeptContext&) = delete;

 private:
  CDC* m_dc;
  int m_saved;
};

// Pens far wider than any page are held at this width, so the room a shape
// keeps around its path (and its arrow wings) stays in range.
constexpr LONG kMaxPenWidth = 10000;

LONG HeldPenWidth(LONG width) { return std::clamp(width, -kMaxPenWidth, kMaxPenWidth); }

}  // namespace

CShapeAction::CShapeAction() : CDisplayAction(ActionKind::kShape, kDefaultLayer) {}

void CShapeAction::Serialize(CArchive& ar) {
  m_shapeType = ar.ReadByte();
  m_dwShapeFlags = ar.ReadDword();
  m_pen.lopnStyle = ar.ReadDword();
  m_pen.lopnWidthX = HeldPenWidth(ar.ReadLong());
  m_pen.lopnWidthY = HeldPenWidth(ar.ReadLong());
  m_pen.lopnColor = ar.ReadDword();
  m_corner.cx = ar.ReadLong();
  m_corner.cy = ar.ReadLong();
  m_brush.lbStyle = ar.ReadDword();
  m_brush.lbColor = ar.ReadDword();
  m_brush.lbHatch = ar.ReadLong();
  m_backColour = ar.ReadDword();
  m_arrowStyle = ar.ReadByte();
  m_points.Serialize(ar);
  CDisplayAction::Serialize(ar);
}

void CShapeAction::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (auto* other = dynamic_cast<const CShapeAction*>(source)) {
    m_shapeType = other->m_shapeType;
    m_arrowStyle = other->m_arrowStyle;
    m_dwShapeFlags = other->m_dwShapeFlags;
    m_brush = other->m_brush;
    m_pen = other->m_pen;
    m_corner = other->m_corner;
    m_points = other->m_points;
    m_backColour = other->m_backColour;
  }
  CDisplayAction::CopyFrom(source, keepIdentity);
}

int CShapeAction::SetPoint(int style, int width) {
  width = HeldPenWidth(width);
  if (m_pen.lopnStyle == static_cast<UINT>(style) && m_pen.lopnWidthX == width) return 0;
  m_pen.lopnStyle = static_cast<UINT>(style);
  m_pen.lopnWidthX = m_pen.lopnWidthY = width;
  return 1;
}

int CShapeAction::GetPoint(int* style, int* width) {
  if (style) *style = static_cast<int>(m_pen.lopnStyle);
  int result = m_pen.lopnWidthX;
  // A line with heads needs room for the wings beside it.
  if (LineWithHeads()) result += static_cast<int>(2.0 * std::sin(kWingAngle) * m_pen.lopnWidthX * 10.0);
  if (width) *width = result;
  return result;
}

CRect CShapeAction::LineBounds(const CPolyline& points) const {
  const std::vector<CPoint>& pts = points.Points();
  CRect bounds = PointsBoundingRect(pts.data(), static_cast<int>(pts.size()));
  if (!LineWithHeads() || pts.size() != 2) return bounds;
  const int size = m_pen.lopnWidthX;
  // Every head drawn lies inside, not only the one at the first point.
  if (HeadAtFirst()) bounds.UnionRect(bounds, DrawArrowHead(nullptr, nullptr, pts[0], pts[1], size, FilledHeads()));
  if (HeadAtLast()) bounds.UnionRect(bounds, DrawArrowHead(nullptr, nullptr, pts[1], pts[0], size, FilledHeads()));
  return bounds;
}

CRect* CShapeAction::GetRect(CRect* inout) {
  *inout = Normalized(GetBounds());
  if (LineWithHeads()) inout->UnionRect(*inout, LineBounds(PlacedPoints()));
  if (IsPath()) inout->InflateRect((m_pen.lopnWidthX + 5) / 2, (m_pen.lopnWidthY + 5) / 2);
  return inout;
}

void CShapeAction::SetRect(const CRect& rect) {
  SetRectConstants(rect);
  if (m_points.GetPointCount() == 0) {
    m_points.AddPoint(CPoint(rect.left, rect.top));
    m_points.AddPoint(CPoint(rect.right, rect.top));
    m_points.AddPoint(CPoint(rect.right, rect.bottom));
    m_points.AddPoint(CPoint(rect.left, rect.bottom));
  }
}

DWORD CShapeAction::DrawKind() const {
  switch (m_shapeType) {
    case ShapeType::kLine: return DrawFlag::kPathShape;
    case ShapeType::kRoundRect: return DrawFlag::kRoundRect;
    case ShapeType::kEllipse: return DrawFlag::kEllipse;
    case ShapeType::kPolyline: return DrawFlag::kPathLine;
    default: return 16;  // rectangle and box
  }
}

BOOL CShapeAction::Execute() {
  // Shaded shapes bring no fade palette: the page is always true colour.
  COffScreenView* view = PageViewOf(this);
  if (m_shapeType == ShapeType::kLine) {
    SetRectConstants(LineBounds(m_points));
  } else if (m_shapeType == ShapeType::kPolyline) {
    CRect bounds;
    m_points.GetBoundingRect(&bounds);
    SetRectConstants(bounds);
  } else if (GetBounds().IsRectEmpty() && view) {
    CRect client;
    view->GetClientRect(&client);
    SetRectConstants(client);
  }
  DWORD kind = DrawKind();
  const bool transition = Effect().HasEffect() != 0;
  if (transition) kind |= DrawFlag::kTransition;

  Display().NoteShownOn(this);
  if (!view) return TRUE;
  view->AddObject(this, kind);
  if (!transition || (GetDisplayFlags() & 0x4000)) {
    CRect area = GetBounds();
    GetRect(&area);
    view->InvalidateRect(&area);
  }
  return TRUE;
}

const CPolyline& CShapeAction::PlacedPoints() {
  if (COffScreenView* view = PageViewOf(this))
    if (auto* poly = dynamic_cast<CDrawPoly*>(view->FindDisplayItem(this))) return poly->GetPoints();
  return m_points;
}

void CShapeAction::BoxDepth(const CRect& rect, int& depth, int& lift) {
  depth = rect.Width() / 4;
  const double f = std::tan(kBoxAngle) * depth;
  lift = static_cast<int>(std::min(f, static_cast<double>(rect.Height())));
}

void CShapeAction::DrawHeads(CDC* dc, const std::vector<CPoint>& pts) {
  if (pts.size() < 2) return;
  const int size = m_pen.lopnWidthX;
  CBrush solid(m_pen.lopnColor);
  CBrush* old = FilledHeads() ? dc->SelectObject(&solid) : nullptr;
  if (HeadAtFirst()) DrawArrowHead(nullptr, dc, pts[0], pts[1], size, FilledHeads());
  if (HeadAtLast()) DrawArrowHead(nullptr, dc, pts[pts.size() - 1], pts[pts.size() - 2], size, FilledHeads());
  if (old) dc->SelectObject(old);
}

void CShapeAction::DrawShaded(CDC* dc, const CRect& rect, CRgn* clip) {
  const int saved = dc->SaveDC();
  if (clip) dc->SelectClipRgn(clip, RGN_AND);
  m_shadeCache.Draw(dc, rect, m_brush.lbColor, m_backColour, m_dwShapeFlags);
  dc->RestoreDC(saved);
}

void CShapeAction::DrawBox(CDC* dc, const CRect& r) {
  int d = 0, f = 0;
  BoxDepth(r, d, f);
  const int frontRight = r.right - d;
  dc->Rectangle(r.left, r.top + f, frontRight, r.bottom);
  CBrush faces(m_backColour);
  CBrush* old = dc->SelectObject(&faces);
  const CPoint side[4] = {CPoint(frontRight, r.bottom), CPoint(r.right, r.bottom - f), CPoint(r.right, r.top),
                          CPoint(frontRight, r.top + f)};
  dc->Polygon(side, 4);
  const CPoint top[4] = {CPoint(r.left, r.top + f), CPoint(r.left + d, r.top), CPoint(r.right, r.top),
                         CPoint(frontRight, r.top + f)};
  dc->Polygon(top, 4);
  dc->SelectObject(old);
}

void CShapeAction::Draw(CDC* dc, int, const CRect* rect) {
  if (!dc) return;
  if (IsPath() && m_points.GetPointCount() == 0) return;
  CRect r = rect ? Normalized(*rect) : CRect();
  if (r.IsRectEmpty()) r = kDefaultDrawRect;

  KeptContext keep(dc);
  LOGPEN lp = m_pen;
  if (lp.lopnStyle == PS_SOLID) lp.lopnStyle = PS_INSIDEFRAME;  // the outline stays inside the rectangle
  CPen pen;
  pen.CreatePenIndirect(lp);
  dc->SelectObject(&pen);
  CBrush brush;
  if (m_dwShapeFlags & ShapeFlag::kFilled) {
    if (m_brush.lbStyle == BS_PATTERN) {
      CBitmap strip;
      // A hatch past the strip makes no brush and fills nothing.
      if (!MakeDitherStrip(strip) || !CreateDitherBrush(strip, m_brush.lbHatch, brush)) brush.CreateNullBrush();
    } else if (!brush.CreateBrushIndirect(m_brush)) {
      brush.CreateNullBrush();
    }
    dc->SelectObject(&brush);
  } else {
    dc->SelectStockObject(NULL_BRUSH);
  }
  dc->SetBkColor(m_backColour);
  dc->SetTextColor(m_brush.lbColor);
  dc->SetBkMode((m_dwShapeFlags & ShapeFlag::kTransparent) ? TRANSPARENT : OPAQUE);
  const bool shaded = (m_dwShapeFlags & ShapeFlag::kShaded) != 0;

  switch (m_shapeType) {
    case ShapeType::kLine: {
      const CPolyline& placed = PlacedPoints();
      if (placed.GetPointCount() < 2) return;
      const std::vector<CPoint> pts = {placed.GetPoint(0), placed.GetPoint(1)};
      dc->MoveTo(pts[0]);
      dc->LineTo(pts[1]);
      DrawHeads(dc, pts);
      break;
    }
    case ShapeType::kRectangle: {
      if (shaded) {
        CRgn clip;
        const bool clipped = (m_dwShapeFlags & ShapeFlag::kGradientEllipses) && clip.CreateRectRgnIndirect(r);
        DrawShaded(dc, r, clipped ? &clip : nullptr);
      }
      dc->Rectangle(r);
      break;
    }
    case ShapeType::kRoundRect: {
      if (shaded) {
        CRgn clip;
        if (clip.CreateRoundRectRgn(r.left, r.top, r.right, r.bottom, m_corner.cx, m_corner.cy))
          DrawShaded(dc, r, &clip);
      }
      dc->RoundRect(r, CPoint(m_corner.cx, m_corner.cy));
      break;
    }
    case ShapeType::kEllipse: {
      if (shaded) {
        CRgn clip;
        if (clip.CreateEllipticRgnIndirect(r)) DrawShaded(dc, r, &clip);
      }
      dc->Ellipse(r);
      break;
    }
    case ShapeType::kPolyline: {
      const CPolyline& placed = PlacedPoints();
      const std::vector<CPoint> outline = placed.FlatOutline();
      const int count = static_cast<int>(outline.size());
      if (shaded) {
        CRgn clip;
        if (count >= 3 && clip.CreatePolygonRgn(outline.data(), count, WINDING)) {
          CRect box;
          placed.GetBoundingRect(&box);
          DrawShaded(dc, box, &clip);
        }
        dc->SelectStockObject(NULL_BRUSH);
        dc->Polygon(outline.data(), count);
      } else if (m_dwShapeFlags & ShapeFlag::kOpenPolyline) {
        dc->Polyline(outline.data(), count);
        if (placed.GetPointCount() >= 2) DrawHeads(dc, placed.Points());
      } else {
        dc->Polygon(outline.data(), count);
      }
      break;
    }
    case ShapeType::kBox: DrawBox(dc, r); break;
    default: break;
  }
}

BOOL CShapeAction::GetRegion(int, int x, int y, const CRect* rect) {
  const CPoint p(x, y);
  CRgn region;
  switch (m_shapeType) {
    case ShapeType::kLine: {
      const CPolyline& placed = PlacedPoints();
      if (placed.GetPointCount() != 2) return FALSE;
      const CPoint a = placed.GetPoint(0), b = placed.GetPoint(1);
      const double half = (m_pen.lopnWidthX + 5) / 2;
      const double dx = b.x - a.x, dy = b.y - a.y;
      const double length = std::hypot(dx, dy);
      const double ux = length > 0 ? dx / length : 1.0, uy = length > 0 ? dy / length : 0.0;
      // Both ends move out along the line and across it.
      const auto at = [&](CPoint c, double along, double across) {
        return CPoint(static_cast<LONG>(std::lround(c.x + ux * along - uy * across)),
                      static_cast<LONG>(std::lround(c.y + uy * along + ux * across)));
      };
      const CPoint quad[4] = {at(a, -half, -half), at(b, half, -half), at(b, half, half), at(a, -half, half)};
      return region.CreatePolygonRgn(quad, 4, WINDING) && region.PtInRegion(p);
    }
    case ShapeType::kRoundRect: {
      const CRect r = rect ? Normalized(*rect) : GetBounds();
      return region.CreateRoundRectRgn(r.left, r.top, r.right, r.bottom, m_corner.cx, m_corner.cy) &&
             region.PtInRegion(p);
    }
    case ShapeType::kEllipse: {
      const CRect r = rect ? Normalized(*rect) : GetBounds();
      return region.CreateEllipticRgnIndirect(r) && region.PtInRegion(p);
    }
    case ShapeType::kPolyline: {
      const std::vector<CPoint> outline = PlacedPoints().FlatOutline();
      if (outline.size() < 3) return FALSE;
      return region.CreatePolygonRgn(outline.data(), static_cast<int>(outline.size()), WINDING) &&
             region.PtInRegion(p);
    }
    default: return TRUE;
  }
}

BOOL CShapeAction::HitTest(const CRect* area) {
  if (!area || IsPath() || GetBounds().IsRectNull()) return FALSE;
  CRect r;
  GetRect(&r);
  return RectInRect(*area, r);
}

BOOL CShapeAction::HitTest(const CPolyline* points) {
  if (!points || !IsPath() || GetBounds().IsRectNull()) return FALSE;
  return *points == m_points;
}
