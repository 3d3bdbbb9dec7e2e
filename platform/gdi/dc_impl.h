// The inside of CDC: its state, stock objects and the Qt objects it draws with.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRegion>

#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/font.h"
#include "platform/gdi/pen.h"
#include "platform/gdi/gdi_types.h"

// Everything SaveDC saves.
struct DcState {
  LOGPEN pen{0, 1, 0, 0};
  CPen* penObject = nullptr;
  gdi::BrushData brush;
  CBrush* brushObject = nullptr;
  LOGFONT font;
  CFont* fontObject = nullptr;
  // Made from font on first use: text needs the font database, other drawing does not.
  mutable QFont qfont;
  mutable bool qfontReady = false;

  COLORREF textColour = 0x000000;
  COLORREF backColour = 0xFFFFFF;
  int backMode = OPAQUE;
  int rop2 = R2_COPYPEN;
  UINT textAlign = TA_LEFT | TA_TOP;
  int polyFillMode = ALTERNATE;
  int stretchMode = BLACKONWHITE;
  CPoint brushOrigin;
  CPoint position;  // logical

  int mapMode = MM_TEXT;
  CPoint windowOrigin;
  CPoint viewportOrigin;
  CSize windowExtent{1, 1};
  CSize viewportExtent{1, 1};

  bool clipped = false;
  QRegion clip;  // device pixels, when clipped
};

struct CDC::Impl {
  DcState state;
  std::vector<DcState> saved;

  bool memory = false;
  CBitmap* bitmap = nullptr;  // selected into a memory context, not owned
  QImage* image = nullptr;    // a window's surface, not owned
  gdi::PixelSurface external;

  CPen stockPens[3];      // white, black, null
  CBrush stockBrushes[6]; // white, light grey, grey, dark grey, black, null
  CFont stockFonts[DEFAULT_GUI_FONT - OEM_FIXED_FONT + 1];  // by index - OEM_FIXED_FONT
  CBitmap defaultBitmap;  // 1 x 1 monochrome, what a new memory context holds

  Impl();
  gdi::PixelSurface Surface() const;
  QRect Bounds() const;
  // What may be drawn: the surface, cut by the clip region.
  QRegion DrawableArea() const;
  QPoint ToDevice(int x, int y) const;
  CRect ToDevice(const CRect& logical) const;  // normalised
  // A region of logical coordinates in device pixels, rectangle by rectangle.
  QRegion ToDevice(const QRegion& logical) const;
  CPoint ToLogical(int x, int y) const;
  gdi::PatternTile BrushTile(const gdi::BrushData& brush) const;
  const QFont& CurrentFont() const;
  // Text needs Qt's font database, which exists only with a GUI application
  // object; without one text measures nothing and draws nothing.
  static bool FontsAvailable();
};

// Qt's image view of a pixel surface (no copy: painting changes the surface).
QImage WrapSurface(const gdi::PixelSurface& surface);
QString ToQString(const CString& text);
inline QRect ToQRect(const CRect& r) { return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)); }
inline CRect FromQRect(const QRect& r) { return CRect(r.left(), r.top(), r.right() + 1, r.bottom() + 1); }
inline QColor ToQColor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }
// The rectangle at (x, y) of a size, its far edges cut to the integer range.
CRect SpanRect(int x, int y, int width, int height);
