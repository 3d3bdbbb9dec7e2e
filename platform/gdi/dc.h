// CDC: a device context drawing into 32-bit pixels (a memory bitmap or a window's surface).
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/base/cstring.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/raster_ops.h"
#include "platform/base/geometry.h"

class QImage;
class QPainter;
class CBitmap;
class CBrush;
class CFont;
class CGdiObject;
class CPen;
class CRgn;

// Coordinates given to drawing functions are logical; SetWindowOrg/SetViewportOrg
// (and the extents in MM_ANISOTROPIC) map them to device pixels. Clip regions
// given to SelectClipRgn are in device pixels, as callers compute them so.
// Pen widths and font heights are not scaled by the extents.
//
// Selected pens, brushes and fonts are copied when selected: deleting one that
// is still selected leaves the context drawing with the copy. A selected bitmap
// is drawn into directly; when it is deleted or destroyed the context falls
// back to its own 1 x 1 monochrome bitmap.
class CDC {
 public:
  CDC();
  virtual ~CDC();
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  // A memory context (dc is not read): it draws into the bitmap selected into it.
  BOOL CreateCompatibleDC(CDC* dc);
  // A context drawing into a window's surface, which must outlive the context
  // (or be detached first); an image that is not 32-bit RGB is converted.
  void AttachSurface(QImage* image);
  void AttachSurface(const gdi::PixelSurface& surface);
  void DetachSurface();
  BOOL DeleteDC();
  // The pixels drawn into now (invalid when there are none).
  gdi::PixelSurface GetSurfaceInfo() const;
  // Printer contexts get plain copies where the screen gets keyed or blended pictures.
  BOOL IsPrinting() const { return m_printing; }
  void SetPrinting(BOOL printing) { m_printing = printing; }
  virtual int GetDeviceCaps(int index) const;

  // Selection returns what was selected before, to be selected back.
  CPen* SelectObject(CPen* pen);
  CBrush* SelectObject(CBrush* brush);
  CFont* SelectObject(CFont* font);
  CBitmap* SelectObject(CBitmap* bitmap);  // memory contexts only; null elsewhere
  // A region selected is the clip region; the result is its region type.
  int SelectObject(CRgn* rgn) { return SelectClipRgn(rgn); }
  CGdiObject* SelectObject(CGdiObject* object);
  CGdiObject* SelectStockObject(int index);
  CPen* GetCurrentPen() const;
  CBrush* GetCurrentBrush() const;
  CFont* GetCurrentFont() const;
  CBitmap* GetCurrentBitmap() const;

  COLORREF SetTextColor(COLORREF colour);
  COLORREF GetTextColor() const;
  COLORREF SetBkColor(COLORREF colour);
  COLORREF GetBkColor() const;
  int SetBkMode(int mode);
  int GetBkMode() const;
  int SetROP2(int mode);
  int GetROP2() const;
  UINT SetTextAlign(UINT align);
  UINT GetTextAlign() const;
  int SetPolyFillMode(int mode);
  int GetPolyFillMode() const;
  int SetStretchBltMode(int mode);
  int GetStretchBltMode() const;
  CPoint SetBrushOrg(int x, int y);

  // Saves colours, modes, selected pen/brush/font, mapping, position and clipping.
  int SaveDC();
  // saved > 0 restores that level, negative counts back from the latest.
  BOOL RestoreDC(int saved);

  int SetMapMode(int mode);
  int GetMapMode() const;
  CPoint SetWindowOrg(int x, int y);
  CPoint SetWindowOrg(CPoint p) { return SetWindowOrg(p.x, p.y); }
  CPoint GetWindowOrg() const;
  CPoint OffsetWindowOrg(int dx, int dy);
  CPoint SetViewportOrg(int x, int y);
  CPoint SetViewportOrg(CPoint p) { return SetViewportOrg(p.x, p.y); }
  CPoint GetViewportOrg() const;
  CPoint OffsetViewportOrg(int dx, int dy);
  CSize SetWindowExt(int cx, int cy);
  CSize SetViewportExt(int cx, int cy);
  // The window extent times num / denom on each axis, in the scaled modes;
  // a zero denominator or a zero result leaves it. Returns the extent before.
  CSize ScaleWindowExt(int xNum, int xDenom, int yNum, int yDenom);
  CSize GetWindowExt() const;
  CSize GetViewportExt() const;
  void LPtoDP(CPoint* points, int count = 1) const;
  void LPtoDP(CRect* rect) const;
  void DPtoLP(CPoint* points, int count = 1) const;
  void DPtoLP(CRect* rect) const;

  // rgn null removes clipping; the region is copied. Returns the clip's region type.
  int SelectClipRgn(CRgn* rgn);
  int SelectClipRgn(CRgn* rgn, int mode);
  int IntersectClipRect(int left, int top, int right, int bottom);
  int IntersectClipRect(const CRect& r) { return IntersectClipRect(r.left, r.top, r.right, r.bottom); }
  int ExcludeClipRect(int left, int top, int right, int bottom);
  int ExcludeClipRect(const CRect& r) { return ExcludeClipRect(r.left, r.top, r.right, r.bottom); }
  // Moves the clip region by a logical offset; without one nothing moves.
  int OffsetClipRgn(int x, int y);
  // The clip region in device pixels: 1 with one (rgn gets it), 0 without.
  int GetClipRgn(CRgn* rgn) const;
  // The bounding box of what can be drawn, in logical coordinates.
  int GetClipBox(CRect* rect) const;
  BOOL PtVisible(int x, int y) const;
  BOOL RectVisible(const CRect& rect) const;

  // CLR_INVALID outside the surface or the clip.
  COLORREF SetPixel(int x, int y, COLORREF colour);
  BOOL SetPixelV(int x, int y, COLORREF colour);
  COLORREF GetPixel(int x, int y) const;
  COLORREF GetPixel(CPoint p) const { return GetPixel(p.x, p.y); }
  // The pixels of a logical rectangle, cut to the surface: bits points at its
  // first pixel. Empty when nothing of it lies on the surface.
  gdi::PixelSurface GetPixelRect(const CRect& rect);

  CPoint MoveTo(int x, int y);
  CPoint MoveTo(CPoint p) { return MoveTo(p.x, p.y); }
  // Draws up to, not including, the end point, which becomes the current position.
  BOOL LineTo(int x, int y);
  BOOL LineTo(CPoint p) { return LineTo(p.x, p.y); }
  CPoint GetCurrentPosition() const;
  BOOL Polyline(const CPoint* points, int count);
  BOOL Polygon(const CPoint* points, int count);
  // 1 + 3n points: a start, then two control points and an end per curve.
  BOOL PolyBezier(const CPoint* points, int count);
  BOOL Rectangle(int left, int top, int right, int bottom);
  BOOL Rectangle(const CRect& r) { return Rectangle(r.left, r.top, r.right, r.bottom); }
  BOOL RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
  BOOL RoundRect(const CRect& r, CPoint corner) { return RoundRect(r.left, r.top, r.right, r.bottom, corner.x, corner.y); }
  BOOL Ellipse(int left, int top, int right, int bottom);
  BOOL Ellipse(const CRect& r) { return Ellipse(r.left, r.top, r.right, r.bottom); }

  // Whole-pixel fills that ignore the pen and the mix mode.
  void FillRect(const CRect& rect, CBrush* brush);
  void FillSolidRect(const CRect& rect, COLORREF colour);
  void FillSolidRect(int x, int y, int cx, int cy, COLORREF colour);
  void FrameRect(const CRect& rect, CBrush* brush);
  void InvertRect(const CRect& rect);
  // A one-pixel frame, top and left in one colour, bottom and right in the other.
  void Draw3dRect(const CRect& rect, COLORREF topLeft, COLORREF bottomRight);
  // A dotted frame inverted pixel by pixel: drawing it again removes it.
  void DrawFocusRect(const CRect& rect);
  // Regions here are in logical coordinates.
  BOOL FillRgn(CRgn* rgn, CBrush* brush);
  BOOL PaintRgn(CRgn* rgn);
  BOOL InvertRgn(CRgn* rgn);
  // A border inside the region's edges, width logical units across the
  // vertical strokes and height down the horizontal ones.
  BOOL FrameRgn(CRgn* rgn, CBrush* brush, int width, int height);

  BOOL BitBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, DWORD rop);
  BOOL StretchBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, int srcWidth, int srcHeight,
                  DWORD rop);
  BOOL PatBlt(int x, int y, int width, int height, DWORD rop);
  // Where a one-to-one BitBlt of width x height pixels to (x, y) writes, for
  // routines that write those pixels themselves: the device position of
  // (x, y) and the device rectangles the clip lets through, inside the
  // surface. FALSE (nothing set) when the context maps coordinates, so that
  // such a copy would stretch, or has no pixels.
  BOOL GetBlitArea(int x, int y, int width, int height, CPoint* deviceTopLeft, std::vector<CRect>* parts) const;

  BOOL TextOut(int x, int y, const CString& text);
  BOOL TextOut(int x, int y, const char* text, int count) { return TextOut(x, y, CString(text, count)); }
  // ETO_OPAQUE fills rect with the background colour; ETO_CLIPPED keeps the text inside it.
  BOOL ExtTextOut(int x, int y, UINT options, const CRect* rect, const CString& text);
  CSize GetTextExtent(const CString& text) const;
  CSize GetTextExtent(const char* text, int count) const { return GetTextExtent(CString(text, count)); }
  CSize GetOutputTextExtent(const CString& text) const { return GetTextExtent(text); }
  BOOL GetTextMetrics(TEXTMETRIC* metrics) const;
  // Returns the height of the text (with DT_VCENTER/DT_BOTTOM: from rect's top
  // to the bottom of the text); DT_CALCRECT only measures, setting right and bottom.
  int DrawText(const CString& text, CRect* rect, UINT format);

  // Lets a platform renderer (the rich-text control) paint with Qt: the
  // painter works in device pixels, clipped to what may be drawn. Nothing
  // happens without pixels or without Qt's fonts; FALSE then.
  BOOL PaintWithQt(const std::function<void(QPainter&)>& paint);

 private:
  friend class CBitmap;
  struct Impl;
  void ForgetBitmap(CBitmap* bitmap);
  void FillDeviceRect(const CRect& deviceRect, DWORD rop, const gdi::PatternTile& pattern);
  BOOL FillRegionWith(CRgn* rgn, DWORD rop, const gdi::PatternTile& pattern);
  // One-pixel lines through device points, each pixel by the mix mode.
  void StrokeThin(const CPoint* devicePoints, std::size_t count);
  template <class Draw>
  void PaintShape(const CRect& deviceBounds, bool closed, Draw&& draw);
  std::unique_ptr<Impl> m;
  BOOL m_printing = FALSE;
};

