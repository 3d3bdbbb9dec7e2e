// CDC: contexts, selection, attributes, mapping, clipping and single pixels.
#include "platform/gdi/dc.h"

#include <algorithm>
#include <cstdint>

#include "platform/gdi/dc_impl.h"
#include "platform/gdi/font_mapper.h"
#include "platform/gdi/qt_text.h"
#include "platform/gdi/rgn.h"
#include "platform/gdi/system_metrics.h"

namespace {

LONG ClampToLong(std::int64_t v) {
  return static_cast<LONG>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

// Device positions are kept within this range, so sizes and pen widths can be
// added to them in plain ints; it is far beyond any surface.
constexpr std::int64_t kDeviceLimit = 1 << 27;

// One axis of the logical-to-device mapping, in 64 bits so no stored value can overflow it.
LONG MapAxis(LONG v, LONG fromOrigin, LONG fromExtent, LONG toOrigin, LONG toExtent) {
  std::int64_t d = static_cast<std::int64_t>(v) - fromOrigin;
  if (fromExtent != toExtent && fromExtent != 0) d = d * toExtent / fromExtent;
  return static_cast<LONG>(std::clamp<std::int64_t>(d + toOrigin, -kDeviceLimit, kDeviceLimit));
}

void MakeStockFont(CFont& font, int height, int weight, BYTE pitchAndFamily, const char* face) {
  font.CreateFont(height, 0, 0, 0, weight, 0, 0, 0, 0, 0, 0, 0, pitchAndFamily, face);
}

}  // namespace

QImage WrapSurface(const gdi::PixelSurface& s) {
  return QImage(reinterpret_cast<uchar*>(s.bits), s.width, s.height,
                static_cast<qsizetype>(s.stride) * static_cast<qsizetype>(sizeof(DWORD)), QImage::Format_RGB32);
}

CRect SpanRect(int x, int y, int width, int height) {
  return CRect(x, y, ClampToLong(std::int64_t{x} + width), ClampToLong(std::int64_t{y} + height));
}

QString ToQString(const CString& text) { return gdi::ToQt(text); }

CDC::Impl::Impl() {
  stockPens[0].CreatePen(PS_SOLID, 0, RGB(255, 255, 255));
  stockPens[1].CreatePen(PS_SOLID, 0, RGB(0, 0, 0));
  stockPens[2].CreatePen(PS_NULL, 0, 0);
  const COLORREF greys[5] = {RGB(255, 255, 255), RGB(192, 192, 192), RGB(128, 128, 128), RGB(64, 64, 64), 0};
  for (int i = 0; i < 5; ++i) stockBrushes[i].CreateSolidBrush(greys[i]);
  stockBrushes[5].CreateNullBrush();
  for (CFont& f : stockFonts) MakeStockFont(f, 16, FW_BOLD, 0, "System");
  MakeStockFont(stockFonts[OEM_FIXED_FONT - OEM_FIXED_FONT], 12, FW_NORMAL, FIXED_PITCH | FF_MODERN, "Terminal");
  MakeStockFont(stockFonts[ANSI_FIXED_FONT - OEM_FIXED_FONT], 13, FW_NORMAL, FIXED_PITCH | FF_MODERN, "Courier");
  MakeStockFont(stockFonts[ANSI_VAR_FONT - OEM_FIXED_FONT], 13, FW_NORMAL, FF_SWISS, "MS Sans Serif");
  MakeStockFont(stockFonts[SYSTEM_FIXED_FONT - OEM_FIXED_FONT], 16, FW_NORMAL, FIXED_PITCH | FF_MODERN, "Fixedsys");
  MakeStockFont(stockFonts[DEFAULT_GUI_FONT - OEM_FIXED_FONT], -11, FW_NORMAL, FF_SWISS, "MS Sans Serif");
  defaultBitmap.CreateBitmap(1, 1, 1, 1, nullptr);

  state.pen = stockPens[1].GetLogPen();
  state.penObject = &stockPens[1];
  state.brush = stockBrushes[0].Data();
  state.brushObject = &stockBrushes[0];
  state.font = stockFonts[SYSTEM_FONT - OEM_FIXED_FONT].GetLogFontRef();
  state.fontObject = &stockFonts[SYSTEM_FONT - OEM_FIXED_FONT];
}

bool CDC::Impl::FontsAvailable() { return gdi::FontDatabaseAvailable(); }

const QFont& CDC::Impl::CurrentFont() const {
  if (!state.qfontReady) {
    state.qfont = gdi::MakeQFont(state.font);
    state.qfontReady = true;
  }
  return state.qfont;
}

gdi::PixelSurface CDC::Impl::Surface() const {
  if (memory) return bitmap ? bitmap->GetSurface() : gdi::PixelSurface{};
  if (image) {
    if (image->isNull()) return {};
    return gdi::PixelSurface{reinterpret_cast<DWORD*>(image->bits()), image->width(), image->height(),
                             image->bytesPerLine() / static_cast<qsizetype>(sizeof(DWORD)), false};
  }
  return external;
}

QRect CDC::Impl::Bounds() const {
  const gdi::PixelSurface s = Surface();
  return s.IsValid() ? QRect(0, 0, s.width, s.height) : QRect();
}

QRegion CDC::Impl::DrawableArea() const {
  QRegion area(Bounds());
  return state.clipped ? area.intersected(state.clip) : area;
}

QPoint CDC::Impl::ToDevice(int x, int y) const {
  const DcState& s = state;
  const bool scaled = s.mapMode != MM_TEXT;
  return QPoint(MapAxis(x, s.windowOrigin.x, scaled ? s.windowExtent.cx : 1, s.viewportOrigin.x,
                        scaled ? s.viewportExtent.cx : 1),
                MapAxis(y, s.windowOrigin.y, scaled ? s.windowExtent.cy : 1, s.viewportOrigin.y,
                        scaled ? s.viewportExtent.cy : 1));
}

CRect CDC::Impl::ToDevice(const CRect& r) const {
  const QPoint a = ToDevice(r.left, r.top), b = ToDevice(r.right, r.bottom);
  CRect d(a.x(), a.y(), b.x(), b.y());
  d.NormalizeRect();
  return d;
}

QRegion CDC::Impl::ToDevice(const QRegion& logical) const {
  const QPoint origin = ToDevice(0, 0);
  if (state.mapMode == MM_TEXT || (state.windowExtent == state.viewportExtent)) return logical.translated(origin);
  QRegion device;
  for (const QRect& r : logical) {
    const CRect d = ToDevice(FromQRect(r));
    if (!d.IsRectEmpty()) device += ToQRect(d);
  }
  return device;
}

CPoint CDC::Impl::ToLogical(int x, int y) const {
  const DcState& s = state;
  const bool scaled = s.mapMode != MM_TEXT;
  return CPoint(MapAxis(x, s.viewportOrigin.x, scaled ? s.viewportExtent.cx : 1, s.windowOrigin.x,
                        scaled ? s.windowExtent.cx : 1),
                MapAxis(y, s.viewportOrigin.y, scaled ? s.viewportExtent.cy : 1, s.windowOrigin.y,
                        scaled ? s.windowExtent.cy : 1));
}

gdi::PatternTile CDC::Impl::BrushTile(const gdi::BrushData& brush) const {
  return brush.Resolve(state.textColour, state.backColour, state.backMode == OPAQUE, state.brushOrigin);
}

CDC::CDC() : m(std::make_unique<Impl>()) {}

CDC::~CDC() {
  if (m->bitmap && m->bitmap != &m->defaultBitmap) m->bitmap->m_selectedInto = nullptr;
}

BOOL CDC::CreateCompatibleDC(CDC*) {
  DeleteDC();
  m->memory = true;
  m->bitmap = &m->defaultBitmap;
  return TRUE;
}

void CDC::AttachSurface(QImage* image) {
  DeleteDC();
  if (image && image->format() != QImage::Format_RGB32) *image = image->convertToFormat(QImage::Format_RGB32);
  m->image = image;
}

void CDC::AttachSurface(const gdi::PixelSurface& surface) {
  DeleteDC();
  m->external = surface;
}

void CDC::DetachSurface() {
  m->image = nullptr;
  m->external = {};
}

BOOL CDC::DeleteDC() {
  if (m->bitmap && m->bitmap != &m->defaultBitmap) m->bitmap->m_selectedInto = nullptr;
  m->bitmap = nullptr;
  m->memory = false;
  DetachSurface();
  return TRUE;
}

void CDC::ForgetBitmap(CBitmap* bitmap) {
  if (m->bitmap == bitmap) m->bitmap = &m->defaultBitmap;
  bitmap->m_selectedInto = nullptr;
}

gdi::PixelSurface CDC::GetSurfaceInfo() const { return m->Surface(); }

int CDC::GetDeviceCaps(int index) const {
  const CSize screen = gdi::ScreenSize();
  switch (index) {
    case TECHNOLOGY: return DT_RASDISPLAY;
    case HORZRES: return screen.cx;
    case VERTRES: return screen.cy;
    case HORZSIZE: return screen.cx * 254 / (gdi::kLogicalDpi * 10);
    case VERTSIZE: return screen.cy * 254 / (gdi::kLogicalDpi * 10);
    case BITSPIXEL: return m->Surface().monochrome ? 1 : 32;
    case PLANES: return 1;
    case NUMCOLORS: return -1;
    case RASTERCAPS: return RC_BITBLT | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
    case LOGPIXELSX: case LOGPIXELSY: return gdi::kLogicalDpi;
    case SIZEPALETTE: case NUMRESERVED: return 0;
    default: return 0;
  }
}

CPen* CDC::SelectObject(CPen* pen) {
  if (!pen || !pen->IsCreated()) return nullptr;
  CPen* old = m->state.penObject;
  m->state.pen = pen->GetLogPen();
  m->state.penObject = pen;
  return old;
}

CBrush* CDC::SelectObject(CBrush* brush) {
  if (!brush || !brush->IsCreated()) return nullptr;
  CBrush* old = m->state.brushObject;
  m->state.brush = brush->Data();
  m->state.brushObject = brush;
  return old;
}

CFont* CDC::SelectObject(CFont* font) {
  if (!font || !font->IsCreated()) return nullptr;
  CFont* old = m->state.fontObject;
  m->state.font = font->GetLogFontRef();
  m->state.qfontReady = false;
  m->state.fontObject = font;
  return old;
}

CBitmap* CDC::SelectObject(CBitmap* bitmap) {
  if (!m->memory || !bitmap || !bitmap->IsCreated()) return nullptr;
  // A bitmap draws in one context at a time.
  if (bitmap->m_selectedInto && bitmap->m_selectedInto != this) return nullptr;
  CBitmap* old = m->bitmap;
  if (old && old != &m->defaultBitmap) old->m_selectedInto = nullptr;
  m->bitmap = bitmap;
  if (bitmap != &m->defaultBitmap) bitmap->m_selectedInto = this;
  return old;
}

CGdiObject* CDC::SelectObject(CGdiObject* object) {
  if (!object) return nullptr;
  switch (object->GetKind()) {
    case CGdiObject::Kind::pen: return SelectObject(static_cast<CPen*>(object));
    case CGdiObject::Kind::brush: return SelectObject(static_cast<CBrush*>(object));
    case CGdiObject::Kind::font: return SelectObject(static_cast<CFont*>(object));
    case CGdiObject::Kind::bitmap: return SelectObject(static_cast<CBitmap*>(object));
    case CGdiObject::Kind::region: SelectClipRgn(static_cast<CRgn*>(object)); return nullptr;
  }
  return nullptr;
}

CGdiObject* CDC::SelectStockObject(int index) {
  if (index >= WHITE_BRUSH && index <= NULL_BRUSH) return SelectObject(&m->stockBrushes[index - WHITE_BRUSH]);
  if (index >= WHITE_PEN && index <= NULL_PEN) return SelectObject(&m->stockPens[index - WHITE_PEN]);
  if (index >= OEM_FIXED_FONT && index <= DEFAULT_GUI_FONT && index != 15)
    return SelectObject(&m->stockFonts[index - OEM_FIXED_FONT]);
  return nullptr;
}

CPen* CDC::GetCurrentPen() const { return m->state.penObject; }
CBrush* CDC::GetCurrentBrush() const { return m->state.brushObject; }
CFont* CDC::GetCurrentFont() const { return m->state.fontObject; }
CBitmap* CDC::GetCurrentBitmap() const { return m->bitmap; }

COLORREF CDC::SetTextColor(COLORREF c) { return std::exchange(m->state.textColour, c & 0xFFFFFFu); }
COLORREF CDC::GetTextColor() const { return m->state.textColour; }
COLORREF CDC::SetBkColor(COLORREF c) { return std::exchange(m->state.backColour, c & 0xFFFFFFu); }
COLORREF CDC::GetBkColor() const { return m->state.backColour; }
int CDC::SetBkMode(int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  return std::exchange(m->state.backMode, mode);
}
int CDC::GetBkMode() const { return m->state.backMode; }
int CDC::SetROP2(int mode) {
  if (mode < R2_BLACK || mode > R2_WHITE) return 0;
  return std::exchange(m->state.rop2, mode);
}
int CDC::GetROP2() const { return m->state.rop2; }
UINT CDC::SetTextAlign(UINT align) { return std::exchange(m->state.textAlign, align); }
UINT CDC::GetTextAlign() const { return m->state.textAlign; }
int CDC::SetPolyFillMode(int mode) {
  if (mode != ALTERNATE && mode != WINDING) return 0;
  return std::exchange(m->state.polyFillMode, mode);
}
int CDC::GetPolyFillMode() const { return m->state.polyFillMode; }
int CDC::SetStretchBltMode(int mode) {
  if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
  return std::exchange(m->state.stretchMode, mode);
}
int CDC::GetStretchBltMode() const { return m->state.stretchMode; }
CPoint CDC::SetBrushOrg(int x, int y) { return std::exchange(m->state.brushOrigin, CPoint(x, y)); }

int CDC::SaveDC() {
  m->saved.push_back(m->state);
  return static_cast<int>(m->saved.size());
}

BOOL CDC::RestoreDC(int saved) {
  const int depth = static_cast<int>(m->saved.size());
  const int level = saved < 0 ? depth + 1 + saved : saved;
  if (level < 1 || level > depth) return FALSE;
  m->state = m->saved[static_cast<std::size_t>(level - 1)];
  m->saved.resize(static_cast<std::size_t>(level - 1));
  return TRUE;
}

int CDC::SetMapMode(int mode) {
  if (mode != MM_TEXT && mode != MM_ISOTROPIC && mode != MM_ANISOTROPIC) return 0;
  return std::exchange(m->state.mapMode, mode);
}
int CDC::GetMapMode() const { return m->state.mapMode; }
CPoint CDC::SetWindowOrg(int x, int y) { return std::exchange(m->state.windowOrigin, CPoint(x, y)); }
CPoint CDC::GetWindowOrg() const { return m->state.windowOrigin; }
CPoint CDC::OffsetWindowOrg(int dx, int dy) {
  const CPoint o = m->state.windowOrigin;
  return SetWindowOrg(ClampToLong(std::int64_t{o.x} + dx), ClampToLong(std::int64_t{o.y} + dy));
}
CPoint CDC::SetViewportOrg(int x, int y) { return std::exchange(m->state.viewportOrigin, CPoint(x, y)); }
CPoint CDC::GetViewportOrg() const { return m->state.viewportOrigin; }
CPoint CDC::OffsetViewportOrg(int dx, int dy) {
  const CPoint o = m->state.viewportOrigin;
  return SetViewportOrg(ClampToLong(std::int64_t{o.x} + dx), ClampToLong(std::int64_t{o.y} + dy));
}
CSize CDC::SetWindowExt(int cx, int cy) {
  // Extents only count in the scaled modes, and a zero extent would divide by zero.
  if (m->state.mapMode == MM_TEXT || cx == 0 || cy == 0) return m->state.windowExtent;
  return std::exchange(m->state.windowExtent, CSize(cx, cy));
}
CSize CDC::SetViewportExt(int cx, int cy) {
  if (m->state.mapMode == MM_TEXT || cx == 0 || cy == 0) return m->state.viewportExtent;
  return std::exchange(m->state.viewportExtent, CSize(cx, cy));
}
CSize CDC::ScaleWindowExt(int xNum, int xDenom, int yNum, int yDenom) {
  const CSize before = m->state.windowExtent;
  if (m->state.mapMode == MM_TEXT || xDenom == 0 || yDenom == 0) return before;
  const std::int64_t cx = std::int64_t{before.cx} * xNum / xDenom, cy = std::int64_t{before.cy} * yNum / yDenom;
  if (cx == 0 || cy == 0) return before;
  m->state.windowExtent = CSize(ClampToLong(cx), ClampToLong(cy));
  return before;
}
CSize CDC::GetWindowExt() const { return m->state.windowExtent; }
CSize CDC::GetViewportExt() const { return m->state.viewportExtent; }

void CDC::LPtoDP(CPoint* points, int count) const {
  for (int i = 0; points && i < count; ++i) {
    const QPoint d = m->ToDevice(points[i].x, points[i].y);
    points[i] = CPoint(d.x(), d.y());
  }
}

void CDC::LPtoDP(CRect* rect) const {
  if (!rect) return;
  const QPoint a = m->ToDevice(rect->left, rect->top), b = m->ToDevice(rect->right, rect->bottom);
  *rect = CRect(a.x(), a.y(), b.x(), b.y());
}

void CDC::DPtoLP(CPoint* points, int count) const {
  for (int i = 0; points && i < count; ++i) points[i] = m->ToLogical(points[i].x, points[i].y);
}

void CDC::DPtoLP(CRect* rect) const {
  if (!rect) return;
  const CPoint a = m->ToLogical(rect->left, rect->top), b = m->ToLogical(rect->right, rect->bottom);
  *rect = CRect(a.x, a.y, b.x, b.y);
}

int CDC::SelectClipRgn(CRgn* rgn) { return SelectClipRgn(rgn, RGN_COPY); }

int CDC::SelectClipRgn(CRgn* rgn, int mode) {
  DcState& s = m->state;
  if (!rgn || !rgn->IsCreated()) {
    if (mode != RGN_COPY) return RGN_ERROR;
    s.clipped = false;
    s.clip = QRegion();
    return CRgn::TypeOf(m->DrawableArea());
  }
  const QRegion current = s.clipped ? s.clip : QRegion(m->Bounds());
  switch (mode) {
    case RGN_COPY: s.clip = rgn->Area(); break;
    case RGN_AND: s.clip = current.intersected(rgn->Area()); break;
    case RGN_OR: s.clip = current.united(rgn->Area()); break;
    case RGN_XOR: s.clip = current.xored(rgn->Area()); break;
    case RGN_DIFF: s.clip = current.subtracted(rgn->Area()); break;
    default: return RGN_ERROR;
  }
  s.clipped = true;
  return CRgn::TypeOf(m->DrawableArea());
}

int CDC::IntersectClipRect(int left, int top, int right, int bottom) {
  DcState& s = m->state;
  const CRect d = m->ToDevice(CRect(left, top, right, bottom));
  const QRegion box = d.IsRectEmpty() ? QRegion() : QRegion(ToQRect(d));
  s.clip = (s.clipped ? s.clip : QRegion(m->Bounds())).intersected(box);
  s.clipped = true;
  return CRgn::TypeOf(m->DrawableArea());
}

int CDC::ExcludeClipRect(int left, int top, int right, int bottom) {
  DcState& s = m->state;
  const CRect d = m->ToDevice(CRect(left, top, right, bottom));
  const QRegion box = d.IsRectEmpty() ? QRegion() : QRegion(ToQRect(d));
  s.clip = (s.clipped ? s.clip : QRegion(m->Bounds())).subtracted(box);
  s.clipped = true;
  return CRgn::TypeOf(m->DrawableArea());
}

int CDC::OffsetClipRgn(int x, int y) {
  DcState& s = m->state;
  if (s.clipped) {
    const QPoint a = m->ToDevice(0, 0), b = m->ToDevice(x, y);
    s.clip.translate(b - a);
  }
  return CRgn::TypeOf(m->DrawableArea());
}

int CDC::GetClipRgn(CRgn* rgn) const {
  if (!m->state.clipped) return 0;
  if (rgn) rgn->SetArea(m->state.clip);
  return 1;
}

int CDC::GetClipBox(CRect* rect) const {
  const QRegion area = m->DrawableArea();
  if (rect) {
    if (area.isEmpty()) {
      *rect = CRect();
    } else {
      const QRect b = area.boundingRect();
      CRect r(b.left(), b.top(), b.right() + 1, b.bottom() + 1);
      DPtoLP(&r);
      r.NormalizeRect();
      *rect = r;
    }
  }
  return CRgn::TypeOf(area);
}

BOOL CDC::PtVisible(int x, int y) const { return m->DrawableArea().contains(m->ToDevice(x, y)) ? TRUE : FALSE; }

BOOL CDC::RectVisible(const CRect& rect) const {
  const CRect d = m->ToDevice(rect);
  return !d.IsRectEmpty() && m->DrawableArea().intersects(ToQRect(d)) ? TRUE : FALSE;
}

COLORREF CDC::SetPixel(int x, int y, COLORREF colour) {
  const QPoint d = m->ToDevice(x, y);
  if (!m->DrawableArea().contains(d)) return CLR_INVALID;
  const gdi::PixelSurface s = m->Surface();
  DWORD pixel = gdi::ColorToPixel(colour);
  if (s.monochrome) pixel = colour == 0 ? gdi::kOpaque : gdi::kOpaque | gdi::kColourBits;
  s.Row(d.y())[d.x()] = pixel;
  return gdi::PixelToColor(pixel);
}

BOOL CDC::SetPixelV(int x, int y, COLORREF colour) { return SetPixel(x, y, colour) != CLR_INVALID ? TRUE : FALSE; }

COLORREF CDC::GetPixel(int x, int y) const {
  const QPoint d = m->ToDevice(x, y);
  if (!m->DrawableArea().contains(d)) return CLR_INVALID;
  return gdi::PixelToColor(m->Surface().Row(d.y())[d.x()]);
}

gdi::PixelSurface CDC::GetPixelRect(const CRect& rect) {
  const gdi::PixelSurface s = m->Surface();
  CRect d = m->ToDevice(rect);
  if (!s.IsValid() || !d.IntersectRect(d, CRect(0, 0, s.width, s.height))) return {};
  return gdi::PixelSurface{s.Row(d.top) + d.left, d.Width(), d.Height(), s.stride, s.monochrome};
}
