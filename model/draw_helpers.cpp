// Drawing helpers: opaque text boxes, clipped text, dither brushes, arrow heads and colour ramps.
#include "model/draw_helpers.h"

#include <algorithm>
#include <cmath>

#include "model/int_geometry.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"

namespace {

constexpr double kArrowWingAngle = 0.245;
constexpr double kDegreesToRadians = 0.017453292519444445;
constexpr int kMaxGradientSteps = 64;

// Keeps a context's state (colours, pen, brush, clipping) for the length of a helper.
class SavedContext {
 public:
  explicit SavedContext(CDC* dc) : m_dc(dc), m_level(dc->SaveDC()) {}
  ~SavedContext() { m_dc->RestoreDC(m_level); }
  SavedContext(const SavedContext&) = delete;
  SavedContext& operator=(const SavedContext&) = delete;

 private:
  CDC* m_dc;
  int m_level;
};

struct Channels {
  int r, g, b;
  COLORREF Colour() const { return RGB(static_cast<BYTE>(r), static_cast<BYTE>(g), static_cast<BYTE>(b)); }
};

int GradientSteps(const CRect& rect) {
  const CPoint centre = rect.CenterPoint();
  int steps = kMaxGradientSteps;
  if (centre.y - rect.top < kMaxGradientSteps)
    steps = centre.y - rect.top;
  else if (centre.x - rect.left < kMaxGradientSteps)
    steps = centre.x - rect.left;
  return std::max(steps, 1);
}

}  // namespace

void DrawTextBox(CDC* dc, int x, int y, int width, int height, COLORREF colour) {
  DrawTextBackground(dc, CRect(x, y, x + width, y + height), colour);
}

void DrawTextBackground(CDC* dc, const CRect& rect, COLORREF colour) {
  SavedContext keep(dc);
  dc->SetBkColor(colour);
  dc->ExtTextOut(rect.left, rect.top, ETO_OPAQUE, &rect, CString());
}

void DrawTextClipped(CDC* dc, int x, int y, int maxWidth, const CString& text) {
  if (text.IsEmpty()) return;
  CString shown = text;
  while (shown.GetLength() > 1 && dc->GetTextExtent(shown).cx > maxWidth) shown = shown.Left(shown.GetLength() - 1);
  dc->TextOut(x, y, shown);
}

BOOL CreateDitherBrush(CBitmap& strip, int n, CBrush& brush) {
  const CSize size = strip.GetSize();
  if (n < 0 || n > (size.cx - 8) / 8 || size.cy < 8) return FALSE;
  CDC from, to;
  from.CreateCompatibleDC(nullptr);
  to.CreateCompatibleDC(nullptr);
  CBitmap block;
  block.CreateBitmap(8, 8, 1, 1, nullptr);
  CBitmap* oldFrom = from.SelectObject(&strip);
  CBitmap* oldTo = to.SelectObject(&block);
  to.BitBlt(0, 0, 8, 8, &from, 8 * n, 0, SRCCOPY);
  to.SelectObject(oldTo);
  from.SelectObject(oldFrom);
  return brush.CreatePatternBrush(&block);
}

CRect DrawArrowHead(CRect* result, CDC* dc, CPoint tip, CPoint other, int size, BOOL filled) {
  const double length = static_cast<double>(size) * 10.0;
  const double angle = std::atan2(static_cast<double>(other.y) - tip.y, static_cast<double>(other.x) - tip.x);
  const auto wing = [&](double a) {
    return CPoint(static_cast<LONG>(tip.x + length * std::cos(a)), static_cast<LONG>(tip.y + length * std::sin(a)));
  };
  const CPoint w1 = wing(angle + kArrowWingAngle), w2 = wing(angle - kArrowWingAngle);
  CRect out;
  if (!dc) {
    const CPoint points[4] = {tip, w1, w2, other};
    out = PointsBoundingRect(points, 4);
  } else if (filled) {
    const CPoint triangle[3] = {tip, w1, w2};
    dc->Polygon(triangle, 3);
  } else {
    const CPoint strokes[3] = {w1, tip, w2};
    dc->Polyline(strokes, 3);
  }
  if (result) *result = out;
  return out;
}

int GradientStep(int endChannel, int startChannel, int steps) {
  if (steps == 0) return 0;
  return static_cast<int>(std::lround(static_cast<double>(endChannel - startChannel) / steps));
}

void DrawGradientRect(CDC* dc, const CRect& rect, COLORREF start, COLORREF end, UINT mode) {
  SavedContext keep(dc);
  const bool bands = (mode & (kGradientTopToBottom | kGradientLeftToRight)) != 0;
  const bool concentric = !bands && (mode & (kGradientRectangles | kGradientEllipses)) != 0;
  if (!bands && !concentric) {
    dc->FillSolidRect(rect, start);
    return;
  }
  const int steps = GradientSteps(rect);
  int bandW = rect.Width() / steps + 1, bandH = rect.Height() / steps + 1;
  const int stepR = GradientStep(GetRValue(end), GetRValue(start), steps);
  const int stepG = GradientStep(GetGValue(end), GetGValue(start), steps);
  const int stepB = GradientStep(GetBValue(end), GetBValue(start), steps);
  Channels colour{GetRValue(start), GetGValue(start), GetBValue(start)};
  const bool ellipses = (mode & kGradientEllipses) != 0;

  CRect shape = rect;
  bool last = false;
  if (bands && (mode & kGradientTopToBottom)) {
    shape.bottom = rect.top + bandH;
    if (shape.bottom >= rect.bottom) shape.bottom = rect.bottom, last = true;
  } else if (bands) {
    shape.right = rect.left + bandW;
    if (shape.right >= rect.right) shape.right = rect.right, last = true;
  } else if (mode & kGradientRectangles) {
    bandW /= 2;
    bandH /= 2;
  } else {
    shape.InflateRect(rect.Width() / 4, rect.Height() / 4);
    bandW = (shape.Width() / steps + 1) / 2;
    bandH = (shape.Height() / steps + 1) / 2;
  }

  // The enlarged ellipses reach past the rectangle's corners; nothing outside it is painted.
  dc->IntersectClipRect(rect);
  dc->SelectStockObject(NULL_PEN);
  for (;;) {
    CBrush brush(colour.Colour());
    if (ellipses) {
      CBrush* previous = dc->SelectObject(&brush);
      dc->Ellipse(shape);
      dc->SelectObject(previous);
    } else {
      dc->FillRect(shape, &brush);
    }
    colour.r = std::clamp(colour.r + stepR, 0, 255);
    colour.g = std::clamp(colour.g + stepG, 0, 255);
    colour.b = std::clamp(colour.b + stepB, 0, 255);
    if (last) break;
    if (bands && (mode & kGradientTopToBottom)) {
      shape.top = shape.bottom;
      shape.bottom += bandH;
      if (shape.bottom > rect.bottom) shape.bottom = rect.bottom, last = true;
    } else if (bands) {
      shape.left = shape.right;
      shape.right += bandW;
      if (shape.right > rect.right) shape.right = rect.right, last = true;
    } else {
      shape.InflateRect(-bandW, -bandH);
      if (shape.bottom < shape.top) {
        const LONG cy = shape.CenterPoint().y;
        shape.top = cy - 1;
        shape.bottom = cy + 1;
        bandH = 0;
      }
      if (shape.right < shape.left) {
        const LONG cx = shape.CenterPoint().x;
        shape.left = cx - 1;
        shape.right = cx + 1;
        bandW = 0;
      }
      if (bandW == 0 && bandH == 0) last = true;
    }
  }
}

int RotatedTextOffset(int degrees, int height) {
  return std::abs(static_cast<int>(std::sin(degrees * kDegreesToRadians) * height));
}
