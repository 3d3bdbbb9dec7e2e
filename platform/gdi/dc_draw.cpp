// CDC: lines, shapes and whole-pixel fills.
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

#include <algorithm>
#include <cmath>
#include <cstdlib>
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

// Qt's pen for the outlines of closed shapes (thin lines are stepped by
// StrokeThin instead). One-pixel pens stay one pixel whatever the transform.
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

void CDC::StrokeThin(const CPoint* points, std::size_t count) {
  const gdi::PixelSurface surface = m->Surface();
  const QRegion area = m->DrawableArea();
  const DcState& st = m->state;
  const UINT style = PenStyle(st.pen);
  if (!surface.IsValid() || area.isEmpty() || style == PS_NULL || count < 2) return;
  const bool simpleClip = area.rectCount() == 1;
  const CRect box = FromQRect(area.boundingRect());

  // The dash pattern as runs of pixels; even runs draw, odd runs are gaps.
  std::vector<long long> runs;
  for (qreal r : DashPattern(style)) runs.push_back(static_cast<long long>(r));
  long long period = 0;
  for (long long r : runs) period += r;
  const bool opaqueGaps = st.backMode == OPAQUE;
  const DWORD penPixel = gdi::ColorToPixel(st.pen.lopnColor), backPixel = gdi::ColorToPixel(st.backColour);
  auto inDash = [&](long long step) {
    if (period == 0) return true;
    long long at = step % period;
    for (std::size_t i = 0; i < runs.size(); ++i) {
      if (at < runs[i]) return i % 2 == 0;
      at -= runs[i];
    }
    return true;
  };

  long long phase = 0;  // the pattern runs on across the segments of one call
  for (std::size_t s = 0; s + 1 < count; ++s) {
    const CPoint a = points[s], b = points[s + 1];
    gdi::ForEachLinePixel(a, b, box, [&](int x, int y, long long step) {
      if (!simpleClip && !area.contains(QPoint(x, y))) return;
      const bool on = inDash(phase + step);
      if (!on && !opaqueGaps) return;
      DWORD& d = surface.Row(y)[x];
      d = gdi::ApplyRop2(st.rop2, on ? penPixel : backPixel, d);
    });
    phase += std::max(std::llabs(static_cast<long long>(b.x) - a.x), std::llabs(static_cast<long long>(b.y) - a.y));
  }
}

BOOL CDC::LineTo(int x, int y) {
  const CPoint from = m->state.position;
  const QPoint a = m->ToDevice(from.x, from.y), b = m->ToDevice(x, y);
  if (IsCosmetic(m->state.pen)) {
    const CPoint line[] = {{a.x(), a.y()}, {b.x(), b.y()}};
    StrokeThin(line, 2);
  } else {
    const QPolygon line({a, b});
    PaintShape(BoundsOf(line, m->state.pen), false, [&](QPainter& p) { p.drawLine(line[0], line[1]); });
  }
  m->state.position = CPoint(x, y);
  return TRUE;
}

BOOL CDC::Polyline(const CPoint* points, int count) {
  if (!points || count < 2) return FALSE;
  QPolygon poly;
  poly.reserve(count);
  for (int i = 0; i < count; ++i) poly.append(m->ToDevice(points[i].x, points[i].y));
  if (IsCosmetic(m->state.pen)) {
    std::vector<CPoint> device;
    device.reserve(static_cast<std::size_t>(count));
    for (const QPoint& p : poly) device.emplace_back(p.x(), p.y());
    StrokeThin(device.data(), device.size());
  } else {
    PaintShape(BoundsOf(poly, m->state.pen), false, [&](QPainter& p) { p.drawPolyline(poly); });
  }
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
  if (IsCosmetic(m->state.pen)) {
    // Thin curves are drawn as the line steps of their flattened outline.
    std::vector<CPoint> device;
    for (const QPolygonF& part : path.toSubpathPolygons())
      for (const QPointF& p : part) {
        const CPoint q(static_cast<LONG>(std::lround(p.x())), static_cast<LONG>(std::lround(p.y())));
        if (device.empty() || !(device.back() == q)) device.push_back(q);
      }
    StrokeThin(device.data(), device.size());
  } else {
    PaintShape(BoundsOf(poly, m->state.pen), false, [&](QPainter& p) { p.drawPath(path); });
  }
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

void CDC::Draw3dRect(const CRect& rect, COLORREF topLeft, COLORREF bottomRight) {
  const LONG l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;
  if (r <= l || b <= t) return;
  FillSolidRect(CRect(l, t, r - 1, t + 1), topLeft);
  FillSolidRect(CRect(l, t, l + 1, b - 1), topLeft);
  FillSolidRect(CRect(r - 1, t, r, b), bottomRight);
  FillSolidRect(CRect(l, b - 1, r, b), bottomRight);
}

void CDC::DrawFocusRect(const CRect& rect) {
  const CRect d = m->ToDevice(rect);
  if (d.IsRectEmpty()) return;
  // Every other pixel, counted from the surface's origin: white inverts, black keeps.
  gdi::PatternTile dots;
  dots.width = dots.height = 2;
  dots.pixels = {gdi::kOpaque | gdi::kColourBits, gdi::kOpaque, gdi::kOpaque, gdi::kOpaque | gdi::kColourBits};
  dots.opaque = {1, 1, 1, 1};
  // The edges must not overlap, or corners would be inverted twice.
  FillDeviceRect(CRect(d.left, d.top, d.right, d.top + 1), PATINVERT, dots);
  if (d.Height() > 1) FillDeviceRect(CRect(d.left, d.bottom - 1, d.right, d.bottom), PATINVERT, dots);
  if (d.Height() > 2) {
    FillDeviceRect(CRect(d.left, d.top + 1, d.left + 1, d.bottom - 1), PATINVERT, dots);
    if (d.Width() > 1) FillDeviceRect(CRect(d.right - 1, d.top + 1, d.right, d.bottom - 1), PATINVERT, dots);
  }
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
  const QRegion area = m->DrawableArea().intersected(m->ToDevice(rgn->Area()));
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

BOOL CDC::FrameRgn(CRgn* rgn, CBrush* brush, int width, int height) {
  if (!rgn || !rgn->IsCreated() || !brush || !brush->IsCreated()) return FALSE;
  const gdi::PixelSurface surface = m->Surface();
  const gdi::PatternTile tile = m->BrushTile(brush->Data());
  if (!surface.IsValid() || tile.null) return TRUE;
  const QRegion area = m->ToDevice(rgn->Area());
  // The stroke sizes in device pixels, at least one where one was asked for.
  const QPoint o = m->ToDevice(0, 0), s = m->ToDevice(width, height);
  auto across = [](int device, int logical) { return logical == 0 ? 0 : std::max(1, std::abs(device)); };
  const int w = std::min<int>(across(s.x() - o.x(), width), CRgn::kCoordinateLimit);
  const int h = std::min<int>(across(s.y() - o.y(), height), CRgn::kCoordinateLimit);
  // The inside is what stays in the region when it moves by the strokes each way.
  const QRegion inside = area.intersected(area.translated(w, 0))
                             .intersected(area.translated(-w, 0))
                             .intersected(area.translated(0, h))
                             .intersected(area.translated(0, -h));
  const QRegion frame = m->DrawableArea().intersected(area.subtracted(inside));
  for (const QRect& r : frame)
    gdi::BlitRect(surface, CRect(r.left(), r.top(), r.right() + 1, r.bottom() + 1), nullptr, CPoint(), PATCOPY, tile, {});
  return TRUE;
}
