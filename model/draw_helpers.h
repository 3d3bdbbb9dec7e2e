// Drawing helpers shared by display objects, shapes and effects: text boxes, clipped text, arrow heads, gradients.
#pragma once

#include "platform/base/cstring.h"
#include "platform/base/geometry.h"
#include "platform/base/win_types.h"

class CBitmap;
class CBrush;
class CDC;

// Each drawing helper leaves the context as it found it: background colour,
// pen and brush are restored.

// Fills (x, y, x + width, y + height) with the colour by an opaque text output without text.
void DrawTextBox(CDC* dc, int x, int y, int width, int height, COLORREF colour);
void DrawTextBackground(CDC* dc, const CRect& rect, COLORREF colour);

// Draws the text at (x, y), first cutting bytes off its end while it is wider
// than maxWidth and longer than one byte. An empty text draws nothing.
void DrawTextClipped(CDC* dc, int x, int y, int maxWidth, const CString& text);

// A pattern brush of the 8 x 8 block whose left edge is at x = 8 n of the
// strip of dither patterns, made monochrome. FALSE when the block does not lie
// inside the strip.
BOOL CreateDitherBrush(CBitmap& strip, int n, CBrush& brush);

// An arrow head at tip of the line from other to tip: wings 10 x size long at
// 0.245 radians either side of the line. Filled draws the triangle in the
// current pen and brush, otherwise two strokes through the tip. Without a
// context nothing is drawn and the result (also stored in *result when given)
// is the bounding box of tip, wings and other; with one it is empty.
CRect DrawArrowHead(CRect* result, CDC* dc, CPoint tip, CPoint other, int size, BOOL filled);

// Gradient mode bits, the first that applies wins.
constexpr UINT kGradientTopToBottom = 0x10;
constexpr UINT kGradientLeftToRight = 0x20;
constexpr UINT kGradientRectangles = 0x40;
constexpr UINT kGradientEllipses = 0x80;

// A colour ramp from start to end over rect in bands, concentric rectangles
// or concentric ellipses. Without any mode bit the rectangle takes the start colour.
void DrawGradientRect(CDC* dc, const CRect& rect, COLORREF start, COLORREF end, UINT mode);

// One channel's change per gradient step: (end - start) / steps rounded half away from zero.
int GradientStep(int endChannel, int startChannel, int steps);

// How far rotated text is moved along its baseline: |trunc(sin(angle) x height)|.
// The angle is turned into radians by 0.017453292519444445, slightly short of
// pi / 180, as stored courses were laid out with it.
int RotatedTextOffset(int degrees, int height);
