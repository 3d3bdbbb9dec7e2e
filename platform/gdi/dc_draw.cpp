// CDC: lines, shapes and whole-pixel fills.
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

#include <algorithm>
#include <vector>

#include "platform/gdi/dc_impl.h"
#include "platform/gdi/rgn.h"

namespace {

// Dash patterns of one-pixel pens, in pixels on and off.
QList<qreal> DashPattern(UINT style) {
  switch (style) {
    case PS_DASH: return {18, 6};
    case PS_DOT: return {3, 3};
    case PS_DASHDOT: return {9, 6, 3, 6};
    case PS_DASHDOTDOT: return {9, 3, 3, 3, 3, 3};
    default: return {};
  }
}

bool IsCosmetic(const LOGPEN& pen) { return pen.lopnWidthX <= 1; }

UINT PenStyle(const LOGPEN& pen) {
  const UINT style = pen.lopnStyle & PS_STYLE_MASK;
  return style > PS_INSIDEFRAME ? PS_SOLID : style;
}

// Qt's pen for a logical pen. One-pixel pens leave out a line's last pixel
// (a flat cap), so that polylines and XOR lines never touch a pixel twice.
QPen MakeQPen(const LOGPEN& pen, QColor colour, bool dashed) {
  QPen q(colour);
  if (IsCosmetic(pen)) {
    q.setWidth(0);
    q.setCapStyle(Qt::FlatCap);
    q.setJoinStyle(Qt::MiterJoin);
    if (dashed) {
      const QList<qreal> dashes = DashPattern(PenStyle(pen));
      if (!dashes.isEmpty()) q.setDashPattern(dashes);
    }
  } else {
    // Wide pens are drawn solid, with round ends and joins.
    q.setWidth(pen.lopnWidthX);  // pens cut stored widths to 4096
    q.setCapStyle(Qt::RoundCap);
    q.setJoinStyle(Qt::RoundJoin);
  }
  return q;
}


QBrush MakeQBrush(const gdi::PatternTile& tile) {
  if (tile.IsSolid()) return QBrush(QColor::fromRgb(tile.pixels[0]));
  QImage texture(tile.width, tile.height, QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < tile.height; ++y)
    for (int x = 0; x < tile.width; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(tile.width) + static_cast<std::size_t>(x);
      texture.setPixel(x, y, tile.opaque[i] ? tile.pixels[i] : 0u);
    }
  return QBrush(texture);
}


// The box a shape's outline path runs along: one-pixel pens on the outermost
// pixels, an inside-frame pen of width w half its width in from the edges.
QRectF OutlineBox(const CRect& d, const LOGPEN& pen) {
  if (!IsCosmetic(pen) && PenStyle(pen) == PS_INSIDEFRAME) {
    const qreal w = pen.lopnWidthX;
    return QRectF(d.left + w / 2.0, d.top + w / 2.0, std::max<qreal>(0, d.Width() - w), std::max<qreal>(0, d.Height() - w));
  }
  return QRectF(d.left, d.top, d.Width() - 1, d.Height() - 1);
}

}  // namespace

template <class Draw>
void CDC::PaintShape(const CRect& deviceBounds, bool closed, Draw&& draw) {
  const gdi::PixelSurface surface = m->Surface();
  if (!surface.IsValid()) return;
  const DcState& st = m->state;
  const QRegion area = m->DrawableArea();
  if (area.isEmpty()) return;

  const gdi::PatternTile tile = closed ? m->BrushTile(st.brush) : gdi::PatternTile{};
  const bool fill = closed && !tile.null;
  const UINT style = PenStyle(st.pen);
  const bool stroke = style != PS_NULL;
  const bool dashed = IsCosmetic(st.pen) && !DashPattern(style).isEmpty();
  const QBrush brush = fill ? MakeQBrush(tile) : QBrush();
  const QPen pen = MakeQPen(st.pen, ToQColor(st.pen.lopnColor), true);

  // Each pass draws the geometry once with one pen or brush.
  auto fillPass = [&](QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(brush);
    p.setBrushOrigin(QPoint(tile.origin.x, tile.origin.y));
    draw(p);
  };
  auto strokePass = [&](QPainter& p, const QPen& q) {
    p.setBrush(Qt::NoBrush);
    p.setPen(q);
    draw(p);
  };

  if (st.rop2 == R2_COPYPEN) {
    QImage image = WrapSurface(surface);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setClipRegion(area);
    if (fill) fillPass(p);
    if (stroke) {
      // Gaps of a styled pen show the background colour when it is opaque.
      if (dashed && st.backMode == OPAQUE) strokePass(p, MakeQPen(st.pen, ToQColor(st.backColour), false));
      strokePass(p, pen);
    }
    return;
  }

  // Other mixes: draw the coverage into a mask, then mix each covered pixel
  // exactly once, so that drawing twice in XOR restores every pixel.
  CRect bounds = deviceBounds;
  bounds.NormalizeRect();
  const QRect box = ToQRect(bounds).intersected(area.boundingRect());
  if (box.isEmpty()) return;
  auto mixPass = [&](auto&& pass) {
    QImage mask(box.size(), QImage::Format_ARGB32_Premultiplied);
    mask.fill(0u);
    {
      QPainter p(&mask);
      p.setRenderHint(QPainter::Antialiasing, false);
      p.translate(-box.topLeft());
      p.setClipRegion(area);
      pass(p);
    }
    for (int y = 0; y < box.height(); ++y) {
      const QRgb* in = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
      DWORD* out = surface.Row(box.top() + y) + box.left();
      for (int x = 0; x < box.width(); ++x)
        if (qAlpha(in[x]) != 0) out[x] = gdi::ApplyRop2(st.rop2, in[x] | gdi::kOpaque, out[x]);
    }
  };
  if (fill) mixPass(fillPass);
  if (stroke) mixPass([&](QPainter& p) { strokePass(p, pen); });
}

namespace {
// A box around device points, grown by a pen's width.
CRect BoundsOf(const QPolygon& points, const LOGPEN& pen) {
  const QRect r = points.boundingRect();
  const LONG grow = pen.lopnWidthX + 2;
  return CRect(r.left() - grow, r.top() - grow, r.right() + 1 + grow, r.bottom() + 1 + grow);
}
}  // namespace

CPoint CDC::MoveTo(int x, int y) { return std::exchange(m->state.position, CPoint(x, y)); }

CPoint CDC::GetCurrentPosition() const { return m->state.position; }

BOOL CDC::LineTo(int x, int y) {
  const CPoint from = m->state.position;
  const QPolygon line({m->ToDevice(from.x, from.y), m->ToDevice(x, y)});
  PaintShape(BoundsOf(line, m->state.pen), false, [&](QPainter& p) { p.drawLine(line[0], line[1]); });
  m->state.position = CPoint(x, y);
  return TRUE;
}

BOOL CDC::Polyline(const CPoint* points, int count) {
  if (!points || count < 2) return FALSE;
  QPolygon poly;
  poly.reserve(count);
  for (int i = 0; i < count; ++i) poly.append(m->ToDevice(points[i].x, points[i].y));
  PaintShape(BoundsOf(poly, m->state.pen), false, [&](QPainter& p) { p.drawPolyline(poly); });
  return TRUE;
}

BOOL CDC::Polygon(const CPoint* points, int count) {
  if (!points || count < 2) return FALSE;
  QPolygon poly;
  poly.reserve(count);
  for (int i = 0; i < count; ++i) poly.append(m->ToDevice(points[i].x, points[i].y));
  const Qt::FillRule rule = m->state.polyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill;
  PaintShape(BoundsOf(poly, m->state.pen), true, [&](QPainter& p) { p.drawPolygon(poly, rule); });
  return TRUE;
}

BOOL CDC::PolyBezier(const CPoint* points, int count) {
  if (!points || count < 4 || (count - 1) % 3 != 0) return FALSE;
  QPolygon poly;
  poly.reserve(count);
  for (int i = 0; i < count; ++i) poly.append(m->ToDevice(points[i].x, points[i].y));
  QPainterPath path(poly[0]);
  for (int i = 1; i + 2 < count; i += 3) path.cubicTo(poly[i], poly[i + 1], poly[i + 2]);
  PaintShape(BoundsOf(poly, m->state.pen), false, [&](QPainter& p) { p.drawPath(path); });
  return TRUE;
}

BOOL CDC::Rectangle(int left, int top, int right, int bottom) {
  const CRect d = m->ToDevice(CRect(left, top, right, bottom));
  if (d.Width() < 1 || d.Height() < 1) return TRUE;
  const LOGPEN pen = m->state.pen;
  CRect bounds = d;
  bounds.InflateRect(pen.lopnWidthX + 1, pen.lopnWidthX + 1);
  if (IsCosmetic(pen)) {
    const QRect box = ToQRect(d).adjusted(0, 0, -1, -1);
    PaintShape(bounds, true, [&](QPainter& p) { p.drawRect(box); });
  } else {
    const QRectF box = OutlineBox(d, pen);
    PaintShape(bounds, true, [&](QPainter& p) { p.drawRect(box); });
  }
  return TRUE;
}

BOOL CDC::Ellipse(int left, int top, int right, int bottom) {
  const CRect d = m->ToDevice(CRect(left, top, right, bottom));
  if (d.Width() < 1 || d.Height() < 1) return TRUE;
  const LOGPEN pen = m->state.pen;
  CRect bounds = d;
  bounds.InflateRect(pen.lopnWidthX + 1, pen.lopnWidthX + 1);
  const QRectF box = OutlineBox(d, pen);
  PaintShape(bounds, true, [&](QPainter& p) { p.drawEllipse(box); });
  return TRUE;
}

BOOL CDC::RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight) {
  const CRect d = m->ToDevice(CRect(left, top, right, bottom));
  if (d.Width() < 1 || d.Height() < 1) return TRUE;
  const LOGPEN pen = m->state.pen;
  CRect bounds = d;
  bounds.InflateRect(pen.lopnWidthX + 1, pen.lopnWidthX + 1);
  const QRectF box = OutlineBox(d, pen);
  const qreal rx = std::min<qreal>(std::abs(static_cast<qreal>(cornerWidth)), box.width()) / 2.0;
  const qreal ry = std::min<qreal>(std::abs(static_cast<qreal>(cornerHeight)), box.height()) / 2.0;
  PaintShape(bounds, true, [&](QPainter& p) { p.drawRoundedRect(box, rx, ry, Qt::AbsoluteSize); });
  return TRUE;
}

void CDC::FillDeviceRect(const CRect& deviceRect, DWORD rop, const gdi::PatternTile& pattern) {
  const gdi::PixelSurface surface = m->Surface();
  CRect d = deviceRect;
  d.NormalizeRect();
  if (!surface.IsValid() || d.IsRectEmpty() || pattern.null) return;
  const QRegion area = m->DrawableArea().intersected(ToQRect(d));
  for (const QRect& r : area)
    gdi::BlitRect(surface, CRect(r.left(), r.top(), r.right() + 1, r.bottom() + 1), nullptr, CPoint(), rop, pattern, {});
}

void CDC::FillRect(const CRect& rect, CBrush* brush) {
  if (!brush || !brush->IsCreated()) return;
  FillDeviceRect(m->ToDevice(rect), PATCOPY, m->BrushTile(brush->Data()));
}

void CDC::FillSolidRect(const CRect& rect, COLORREF colour) {
  gdi::PatternTile tile;
  tile.pixels[0] = gdi::ColorToPixel(colour);
  FillDeviceRect(m->ToDevice(rect), PATCOPY, tile);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF colour) {
  FillSolidRect(SpanRect(x, y, cx, cy), colour);
}

void CDC::FrameRect(const CRect& rect, CBrush* brush) {
  if (!brush || !brush->IsCreated()) return;
  const CRect d = m->ToDevice(rect);
  if (d.IsRectEmpty()) return;
  const gdi::PatternTile tile = m->BrushTile(brush->Data());
  FillDeviceRect(CRect(d.left, d.top, d.right, d.top + 1), PATCOPY, tile);
  FillDeviceRect(CRect(d.left, d.bottom - 1, d.right, d.bottom), PATCOPY, tile);
  FillDeviceRect(CRect(d.left, d.top, d.left + 1, d.bottom), PATCOPY, tile);
  FillDeviceRect(CRect(d.right - 1, d.top, d.right, d.bottom), PATCOPY, tile);
}

void CDC::InvertRect(const CRect& rect) { FillDeviceRect(m->ToDevice(rect), DSTINVERT, gdi::PatternTile{}); }

BOOL CDC::PatBlt(int x, int y, int width, int height, DWORD rop) {
  const CRect d = m->ToDevice(SpanRect(x, y, width, height));
  gdi::PatternTile tile = m->BrushTile(m->state.brush);
  if (gdi::RopUsesPattern(rop) && tile.null) return TRUE;  // a null brush paints nothing
  tile.null = false;
  FillDeviceRect(d, rop, tile);
  return TRUE;
}

BOOL CDC::FillRegionWith(CRgn* rgn, DWORD rop, const gdi::PatternTile& pattern) {
  if (!rgn || !rgn->IsCreated()) return FALSE;
  const gdi::PixelSurface surface = m->Surface();
  if (!surface.IsValid() || pattern.null) return TRUE;
  const QPoint offset = m->ToDevice(0, 0);
  const QRegion area = m->DrawableArea().intersected(rgn->Area().translated(offset));
  for (const QRect& r : area)
    gdi::BlitRect(surface, CRect(r.left(), r.top(), r.right() + 1, r.bottom() + 1), nullptr, CPoint(), rop, pattern, {});
  return TRUE;
}

BOOL CDC::FillRgn(CRgn* rgn, CBrush* brush) {
  if (!brush || !brush->IsCreated()) return FALSE;
  return FillRegionWith(rgn, PATCOPY, m->BrushTile(brush->Data()));
}

BOOL CDC::PaintRgn(CRgn* rgn) { return FillRegionWith(rgn, PATCOPY, m->BrushTile(m->state.brush)); }

BOOL CDC::InvertRgn(CRgn* rgn) { return FillRegionWith(rgn, DSTINVERT, gdi::PatternTile{}); }
