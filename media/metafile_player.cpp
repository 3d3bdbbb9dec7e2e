// The metafile record player: each known record becomes the matching call on the drawing layer.
#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <span>
#include <vector>

#include "media/dib_decode.h"
#include "media/dib_format.h"
#include "media/metafile.h"
#include "media/metafile_records.h"
#include "media/palette.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/font.h"
#include "platform/gdi/image_dc.h"
#include "platform/gdi/log_font_bytes.h"
#include "platform/gdi/pen.h"
#include "platform/gdi/rgn.h"

namespace {

// Record functions (the low byte numbers the function, the high byte is the
// parameter count of its usual form).
enum : WORD {
  kEof = 0x0000,
  kRealizePalette = 0x0035,
  kSaveDc = 0x001E,
  kSetPalEntries = 0x0037,
  kCreatePalette = 0x00F7,
  kSetBkMode = 0x0102,
  kSetMapMode = 0x0103,
  kSetRop2 = 0x0104,
  kSetPolyFillMode = 0x0106,
  kSetStretchBltMode = 0x0107,
  kDeleteObject = 0x01F0,
  kCreatePatternBrush = 0x01F9,
  kRestoreDc = 0x0127,
  kInvertRegion = 0x012A,
  kPaintRegion = 0x012B,
  kSelectClipRegion = 0x012C,
  kSelectObject = 0x012D,
  kSetTextAlign = 0x012E,
  kDibCreatePatternBrush = 0x0142,
  kSetBkColor = 0x0201,
  kSetTextColor = 0x0209,
  kSetWindowOrg = 0x020B,
  kSetWindowExt = 0x020C,
  kOffsetWindowOrg = 0x020F,
  kLineTo = 0x0213,
  kOffsetClipRgn = 0x0220,
  kFillRegion = 0x0228,
  kMoveTo = 0x0214,
  kSelectPalette = 0x0234,
  kCreatePenIndirect = 0x02FA,
  kCreateFontIndirect = 0x02FB,
  kCreateBrushIndirect = 0x02FC,
  kPolygon = 0x0324,
  kPolyline = 0x0325,
  kScaleWindowExt = 0x0410,
  kExcludeClipRect = 0x0415,
  kIntersectClipRect = 0x0416,
  kEllipse = 0x0418,
  kFrameRegion = 0x0429,
  kRectangle = 0x041B,
  kSetPixel = 0x041F,
  kTextOut = 0x0521,
  kPolyPolygon = 0x0538,
  kRoundRect = 0x061C,
  kPatBlt = 0x061D,
  kCreateRegion = 0x06FF,
  kArc = 0x0817,
  kPie = 0x081A,
  kChord = 0x0830,
  kDibBitBlt = 0x0940,
  kExtTextOut = 0x0A32,
  kDibStretchBlt = 0x0B41,
  kSetDibToDevice = 0x0D33,
  kStretchDib = 0x0F43,
};

using tvn::wmf::Params;

class Player {
 public:
  Player(CDC& dc, const CMetaFile& metaFile);

  void Play(WORD function, const Params& p);

 private:
  // An object table slot: a drawing object, a palette, or free.
  struct Slot {
    std::unique_ptr<CGdiObject> gdi;
    std::shared_ptr<CLogPalette> palette;
    bool IsFree() const { return !gdi && !palette; }
  };

  void AddObject(Slot object);
  void AddObject(std::unique_ptr<CGdiObject> object) { AddObject(Slot{std::move(object), nullptr}); }
  template <class T>
  T* ObjectAt(WORD index, CGdiObject::Kind kind) const;
  COLORREF Color(DWORD stored) const { return tvn::wmf::ResolveColor(stored, *m_palette); }
  // Sizes stored in logical units scaled to device pixels, for pens and fonts.
  int ScaleY(int value) const;
  int ScaleX(int value) const;
  void CreateObject(WORD function, const Params& p);
  void Region(WORD function, const Params& p);
  // The region (logical) as the clip, always inside the clip playback began with.
  void SelectClip(const CRgn* region);
  void Shape(WORD function, const Params& p);
  void Poly(WORD function, const Params& p);
  void ArcLike(WORD function, const Params& p);
  void Text(const Params& p, bool extended);
  void Dib(WORD function, const Params& p);
  void SetDibToDevice(const Params& p);

  CDC& m_dc;
  std::vector<Slot> m_objects;
  int m_saved = 0;  // SaveDC levels the metafile made itself
  // The selected palette: the system's default until the metafile selects one.
  std::shared_ptr<CLogPalette> m_palette;
  bool m_ownPalette = false;
  // The clip in effect when playback began (device pixels), if there was one.
  CRgn m_baseClip;
  bool m_hasBaseClip = false;
};

Player::Player(CDC& dc, const CMetaFile& metaFile)
    : m_dc(dc), m_objects(metaFile.ObjectCount()),
      m_palette(std::make_shared<CLogPalette>(CLogPalette::SystemDefault())) {
  m_hasBaseClip = dc.GetClipRgn(&m_baseClip) == 1;
}

void Player::AddObject(Slot object) {
  // Each created object takes the lowest free slot; a full table drops it.
  for (auto& slot : m_objects) {
    if (slot.IsFree()) {
      slot = std::move(object);
      return;
    }
  }
}

template <class T>
T* Player::ObjectAt(WORD index, CGdiObject::Kind kind) const {
  if (index >= m_objects.size() || !m_objects[index].gdi || m_objects[index].gdi->GetKind() != kind) return nullptr;
  return static_cast<T*>(m_objects[index].gdi.get());
}

// Pens and fonts larger than any page are cut to this many pixels.
constexpr double kMaxScaledSize = 4096;

int Scale(int value, LONG viewport, LONG window) {
  const double scaled = window == 0 ? value : static_cast<double>(value) * viewport / window;
  return static_cast<int>(std::lround(std::clamp(scaled, -kMaxScaledSize, kMaxScaledSize)));
}

int Player::ScaleX(int value) const {
  if (m_dc.GetMapMode() != MM_ANISOTROPIC) return Scale(value, 1, 1);
  return Scale(value, m_dc.GetViewportExt().cx, m_dc.GetWindowExt().cx);
}

int Player::ScaleY(int value) const {
  if (m_dc.GetMapMode() != MM_ANISOTROPIC) return Scale(value, 1, 1);
  return Scale(value, m_dc.GetViewportExt().cy, m_dc.GetWindowExt().cy);
}

void Player::Play(WORD function, const Params& p) {
  switch (function) {
    case kSetWindowOrg: m_dc.SetWindowOrg(p.S(1), p.S(0)); break;
    case kSetWindowExt:
      if (p.S(0) != 0 && p.S(1) != 0) m_dc.SetWindowExt(p.S(1), p.S(0));
      break;
    case kScaleWindowExt: m_dc.ScaleWindowExt(p.S(3), p.S(2), p.S(1), p.S(0)); break;
    case kOffsetWindowOrg: m_dc.OffsetWindowOrg(p.S(1), p.S(0)); break;
    case kSetBkColor: m_dc.SetBkColor(Color(p.D(0))); break;
    case kSetTextColor: m_dc.SetTextColor(Color(p.D(0))); break;
    case kSetBkMode: m_dc.SetBkMode(p.U(0)); break;
    case kSetRop2: m_dc.SetROP2(p.U(0)); break;
    case kSetPolyFillMode: m_dc.SetPolyFillMode(p.U(0)); break;
    case kSetStretchBltMode: m_dc.SetStretchBltMode(p.U(0)); break;
    case kSetTextAlign: m_dc.SetTextAlign(p.U(0)); break;
    case kSaveDc:
      m_dc.SaveDC();
      ++m_saved;
      break;
    case kRestoreDc: {
      // Only levels the metafile saved itself, counted back from the latest.
      const int n = p.S(0);
      if (n < 0 && -n <= m_saved) {
        m_dc.RestoreDC(n);
        m_saved += n;
      }
      break;
    }
    case kCreatePenIndirect:
    case kCreateBrushIndirect:
    case kCreateFontIndirect:
    case kCreatePalette:
    case kCreatePatternBrush:
    case kDibCreatePatternBrush:
    case kCreateRegion: CreateObject(function, p); break;
    case kSelectObject: {
      const WORD index = p.U(0);
      if (index >= m_objects.size() || !m_objects[index].gdi) break;
      CGdiObject* object = m_objects[index].gdi.get();
      // A region is selected as the clip, in logical units like every region here.
      if (object->GetKind() == CGdiObject::Kind::region) SelectClip(static_cast<CRgn*>(object));
      else m_dc.SelectObject(object);
      break;
    }
    case kSelectPalette: {
      const WORD index = p.U(0);
      if (index < m_objects.size() && m_objects[index].palette) {
        m_palette = m_objects[index].palette;
        m_ownPalette = true;
      }
      break;
    }
    case kSetPalEntries:
      // The system's default palette is not changed.
      if (m_ownPalette) tvn::wmf::SetPaletteEntries(*m_palette, p);
      break;
    case kRealizePalette: break;  // the page is true colour: nothing to realize
    case kDeleteObject: {
      const WORD index = p.U(0);
      if (index < m_objects.size()) m_objects[index] = Slot{};
      break;
    }
    case kMoveTo: m_dc.MoveTo(p.S(1), p.S(0)); break;
    case kLineTo: m_dc.LineTo(p.S(1), p.S(0)); break;
    case kSetPixel: m_dc.SetPixel(p.S(3), p.S(2), Color(p.D(0))); break;
    case kIntersectClipRect: m_dc.IntersectClipRect(p.S(3), p.S(2), p.S(1), p.S(0)); break;
    case kExcludeClipRect: m_dc.ExcludeClipRect(p.S(3), p.S(2), p.S(1), p.S(0)); break;
    case kOffsetClipRgn:
      m_dc.OffsetClipRgn(p.S(1), p.S(0));
      if (m_hasBaseClip) m_dc.SelectClipRgn(&m_baseClip, RGN_AND);
      break;
    case kSelectClipRegion:
    case kFillRegion:
    case kFrameRegion:
    case kPaintRegion:
    case kInvertRegion: Region(function, p); break;
    case kRectangle:
    case kEllipse:
    case kRoundRect:
    case kPatBlt: Shape(function, p); break;
    case kPolygon:
    case kPolyline:
    case kPolyPolygon: Poly(function, p); break;
    case kArc:
    case kChord:
    case kPie: ArcLike(function, p); break;
    case kTextOut: Text(p, false); break;
    case kExtTextOut: Text(p, true); break;
    case kDibBitBlt:
    case kDibStretchBlt:
    case kStretchDib: Dib(function, p); break;
    case kSetDibToDevice: SetDibToDevice(p); break;
    // Viewport origin and extent (ScaleViewportExt among them) and map modes
    // stay the picture's rectangle; unknown records are skipped.
    default: break;
  }
}

void Player::CreateObject(WORD function, const Params& p) {
  switch (function) {
    case kCreatePenIndirect: {
      auto pen = std::make_unique<CPen>();
      pen->CreatePen(p.U(0) & PS_STYLE_MASK, std::abs(ScaleX(p.S(1))), Color(p.D(3)));
      AddObject(std::move(pen));
      return;
    }
    case kCreateBrushIndirect: {
      LOGBRUSH lb;
      lb.lbStyle = p.U(0);
      lb.lbColor = Color(p.D(1));
      lb.lbHatch = p.U(3);
      auto brush = std::make_unique<CBrush>();
      if (lb.lbStyle != BS_SOLID && lb.lbStyle != BS_NULL && lb.lbStyle != BS_HATCHED) lb.lbStyle = BS_SOLID;
      if (lb.lbStyle == BS_HATCHED && (lb.lbHatch < HS_HORIZONTAL || lb.lbHatch > HS_DIAGCROSS)) lb.lbStyle = BS_SOLID;
      brush->CreateBrushIndirect(lb);
      AddObject(std::move(brush));
      return;
    }
    case kCreateFontIndirect: {
      LOGFONT lf;
      lf.lfHeight = ScaleY(p.S(0));
      lf.lfWidth = std::abs(ScaleX(p.S(1)));
      lf.lfEscapement = p.S(2);
      lf.lfOrientation = p.S(3);
      lf.lfWeight = p.S(4);
      // The sizes are 16-bit here; the rest is stored as in any logical font.
      gdi::ReadFontStyleAndFace(p.Rest(5), lf);
      auto font = std::make_unique<CFont>();
      font->CreateFontIndirect(&lf);
      AddObject(std::move(font));
      return;
    }
    case kCreatePalette:
      AddObject(Slot{nullptr, std::make_shared<CLogPalette>(tvn::wmf::ReadPalette(p))});
      return;
    case kCreateRegion: AddObject(tvn::wmf::ReadRegion(p)); return;
    default: break;
  }
  std::unique_ptr<CBrush> brush = function == kCreatePatternBrush ? tvn::wmf::ReadPatternBrush(p)
                                                                  : tvn::wmf::ReadDibPatternBrush(p, *m_palette);
  if (!brush) {
    // A pattern this player cannot read still takes its slot, so the indexes
    // of later objects stay right; a hollow brush stands in.
    brush = std::make_unique<CBrush>();
    brush->CreateNullBrush();
  }
  AddObject(std::move(brush));
}

void Player::SelectClip(const CRgn* region) {
  if (!region) {
    m_dc.SelectClipRgn(m_hasBaseClip ? &m_baseClip : nullptr);
    return;
  }
  // Regions are logical; the clip is kept in device pixels.
  CRgn device;
  tvn::wmf::RegionToDevice(*region, m_dc, device);
  m_dc.SelectClipRgn(&device);
  if (m_hasBaseClip) m_dc.SelectClipRgn(&m_baseClip, RGN_AND);
}

void Player::Region(WORD function, const Params& p) {
  CRgn* region = ObjectAt<CRgn>(p.U(0), CGdiObject::Kind::region);
  if (function == kSelectClipRegion) {
    // An index that names no region takes the metafile's own clipping away.
    SelectClip(region);
    return;
  }
  if (!region) return;
  switch (function) {
    case kFillRegion:
      if (CBrush* brush = ObjectAt<CBrush>(p.U(1), CGdiObject::Kind::brush)) m_dc.FillRgn(region, brush);
      break;
    case kFrameRegion:
      if (CBrush* brush = ObjectAt<CBrush>(p.U(1), CGdiObject::Kind::brush))
        m_dc.FrameRgn(region, brush, p.S(3), p.S(2));
      break;
    case kPaintRegion: m_dc.PaintRgn(region); break;
    case kInvertRegion: m_dc.InvertRgn(region); break;
    default: break;
  }
}

void Player::Shape(WORD function, const Params& p) {
  switch (function) {
    case kRectangle: m_dc.Rectangle(p.S(3), p.S(2), p.S(1), p.S(0)); break;
    case kEllipse: m_dc.Ellipse(p.S(3), p.S(2), p.S(1), p.S(0)); break;
    case kRoundRect: m_dc.RoundRect(p.S(5), p.S(4), p.S(3), p.S(2), p.S(1), p.S(0)); break;
    case kPatBlt: m_dc.PatBlt(p.S(5), p.S(4), p.S(3), p.S(2), p.D(0)); break;
    default: break;
  }
}

void Player::Poly(WORD function, const Params& p) {
  auto readPoints = [&](std::size_t firstWord, std::size_t count, std::vector<CPoint>& out) {
    if (count > (p.Words() - std::min(p.Words(), firstWord)) / 2) return false;
    out.resize(count);
    for (std::size_t i = 0; i < count; ++i) out[i] = CPoint(p.S(firstWord + 2 * i), p.S(firstWord + 2 * i + 1));
    return true;
  };
  std::vector<CPoint> points;
  if (function == kPolyPolygon) {
    const std::size_t polygons = p.U(0);
    if (polygons > p.Words()) return;
    std::size_t word = 1 + polygons;
    for (std::size_t i = 0; i < polygons; ++i) {
      const std::size_t count = p.U(1 + i);
      if (!readPoints(word, count, points)) return;
      m_dc.Polygon(points.data(), static_cast<int>(count));
      word += 2 * count;
    }
    return;
  }
  const std::size_t count = p.U(0);
  if (!readPoints(1, count, points)) return;
  if (function == kPolygon) m_dc.Polygon(points.data(), static_cast<int>(count));
  else m_dc.Polyline(points.data(), static_cast<int>(count));
}

void Player::ArcLike(WORD function, const Params& p) {
  const double left = p.S(7), top = p.S(6), right = p.S(5), bottom = p.S(4);
  const double xs = p.S(3), ys = p.S(2), xe = p.S(1), ye = p.S(0);
  const double cx = (left + right) / 2, cy = (top + bottom) / 2;
  const double rx = std::abs(right - left) / 2, ry = std::abs(bottom - top) / 2;
  if (rx <= 0 || ry <= 0) return;
  // Angles measured upwards on the page; the arc runs counter-clockwise.
  const double a0 = std::atan2(-(ys - cy) / ry, (xs - cx) / rx);
  double a1 = std::atan2(-(ye - cy) / ry, (xe - cx) / rx);
  if (a1 <= a0) a1 += 2 * std::numbers::pi;
  const int steps = std::max(2, static_cast<int>((a1 - a0) / (2 * std::numbers::pi) * 72));
  std::vector<CPoint> points;
  for (int i = 0; i <= steps; ++i) {
    const double a = a0 + (a1 - a0) * i / steps;
    points.emplace_back(static_cast<int>(std::lround(cx + rx * std::cos(a))),
                        static_cast<int>(std::lround(cy - ry * std::sin(a))));
  }
  if (function == kArc) {
    m_dc.Polyline(points.data(), static_cast<int>(points.size()));
    return;
  }
  if (function == kPie) points.emplace_back(static_cast<int>(std::lround(cx)), static_cast<int>(std::lround(cy)));
  m_dc.Polygon(points.data(), static_cast<int>(points.size()));
}

void Player::Text(const Params& p, bool extended) {
  if (!extended) {
    const std::size_t count = p.U(0);
    const std::size_t stringWords = (count + 1) / 2;
    if (count > p.BytesFrom(1) || !p.Has(1 + stringWords + 1)) return;
    m_dc.TextOut(p.S(1 + stringWords + 1), p.S(1 + stringWords),
                 CString(reinterpret_cast<const char*>(p.Bytes(1)), static_cast<int>(count)));
    return;
  }
  const int y = p.S(0), x = p.S(1);
  const std::size_t count = p.U(2);
  const UINT options = p.U(3);
  std::size_t word = 4;
  CRect rect;
  const bool hasRect = (options & (ETO_OPAQUE | ETO_CLIPPED)) != 0;
  if (hasRect) {
    if (!p.Has(7)) return;
    rect = CRect(p.S(4), p.S(5), p.S(6), p.S(7));
    word = 8;
  }
  if (count > p.BytesFrom(word)) return;
  m_dc.ExtTextOut(x, y, options & (ETO_OPAQUE | ETO_CLIPPED), hasRect ? &rect : nullptr,
                  CString(reinterpret_cast<const char*>(p.Bytes(word)), static_cast<int>(count)));
}

void Player::Dib(WORD function, const Params& p) {
  // Word positions of the fields, by record: the raster operation first.
  const DWORD rop = p.D(0);
  int xDst, yDst, wDst, hDst, xSrc, ySrc, wSrc, hSrc;
  std::size_t dibWord;
  WORD usage = tvn::dib::kRgbColors;
  bool storedOrderSource = false;  // source rows counted from the DIB's first stored row
  if (function == kDibBitBlt) {
    ySrc = p.S(2), xSrc = p.S(3), hDst = p.S(4), wDst = p.S(5), yDst = p.S(6), xDst = p.S(7);
    wSrc = wDst, hSrc = hDst;
    dibWord = 8;
  } else if (function == kDibStretchBlt) {
    hSrc = p.S(2), wSrc = p.S(3), ySrc = p.S(4), xSrc = p.S(5);
    hDst = p.S(6), wDst = p.S(7), yDst = p.S(8), xDst = p.S(9);
    dibWord = 10;
  } else {
    usage = p.U(2);
    hSrc = p.S(3), wSrc = p.S(4), ySrc = p.S(5), xSrc = p.S(6);
    hDst = p.S(7), wDst = p.S(8), yDst = p.S(9), xDst = p.S(10);
    dibWord = 11;
    storedOrderSource = true;  // as StretchDIBits counts them
  }
  if (p.BytesFrom(dibWord) == 0) {
    // The form without a bitmap paints with the brush only.
    m_dc.PatBlt(xDst, yDst, wDst, hDst, rop);
    return;
  }
  const std::vector<BYTE> dib = tvn::wmf::DibWithRgbColours(p.Rest(dibWord), usage, *m_palette);
  const CPixelImage picture = tvn::dib::DecodeToImage(dib);
  if (picture.IsNull()) return;
  // The first stored row is the bottom one unless the DIB is top-down.
  const auto header = tvn::dib::ParseHeader(dib.data(), dib.size());
  if (storedOrderSource && header && header->height > 0) ySrc = picture.Height() - ySrc - hSrc;
  CImageDC source(picture);
  m_dc.StretchBlt(xDst, yDst, wDst, hDst, &source, xSrc, ySrc, wSrc, hSrc, rop);
}

void Player::SetDibToDevice(const Params& p) {
  // Colour usage, scan count, first scan, source y and x, height, width,
  // target y and x, then the DIB with only the scan lines counted. The
  // source and target rectangles address the whole DIB, so a picture stored
  // in bands takes one record per band, all with the same rectangles.
  const int lines = p.U(1), first = p.U(2);
  const int ySrc = p.S(3), xSrc = p.S(4), height = p.S(5), width = p.S(6), yDst = p.S(7), xDst = p.S(8);
  std::vector<BYTE> dib = tvn::wmf::DibWithRgbColours(p.Rest(9), p.U(0), *m_palette);
  const auto band = tvn::wmf::NarrowToBand(dib, first, lines);
  if (!band) return;
  const CPixelImage picture = tvn::dib::DecodeToImage(dib);
  if (picture.IsNull()) return;
  // The source's origin is the DIB's first stored row: the bottom one unless it is top-down.
  const int top = band->topDown ? ySrc : band->height - ySrc - height;
  const int from = std::max(top, band->top), to = std::min(top + height, band->top + band->rows);
  if (from >= to) return;
  CImageDC source(picture);
  // Only the target's origin is logical: the pixels go over one to one.
  CPoint at(xDst, yDst);
  m_dc.LPtoDP(&at);
  const int level = m_dc.SaveDC();
  m_dc.SetMapMode(MM_TEXT);
  m_dc.SetWindowOrg(0, 0);
  m_dc.SetViewportOrg(0, 0);
  m_dc.BitBlt(at.x, at.y + (from - top), width, to - from, &source, xSrc, from - band->pictureTop, SRCCOPY);
  m_dc.RestoreDC(level);
}

}  // namespace

BOOL PlayMetaFileRecords(CDC& dc, const CMetaFile& metaFile) {
  const std::vector<BYTE>& bytes = metaFile.Bytes();
  std::size_t pos = std::max<std::size_t>(static_cast<std::size_t>(metaFile.HeaderWords()) * 2, CMetaFile::kHeaderBytes);
  const int saved = dc.SaveDC();
  Player player(dc, metaFile);
  BOOL sound = TRUE;
  while (pos < bytes.size()) {
    // A record: its size in words (32 bits), its function, its parameters.
    if (bytes.size() - pos < 6) {
      sound = FALSE;
      break;
    }
    const BYTE* r = bytes.data() + pos;
    const std::size_t words = static_cast<std::size_t>(r[0]) | (static_cast<std::size_t>(r[1]) << 8) |
                              (static_cast<std::size_t>(r[2]) << 16) | (static_cast<std::size_t>(r[3]) << 24);
    const WORD function = static_cast<WORD>(r[4] | (r[5] << 8));
    if (function == kEof) break;
    if (words < 3 || words > (bytes.size() - pos) / 2) {
      sound = FALSE;
      break;
    }
    player.Play(function, Params(r + 6, words * 2 - 6));
    pos += words * 2;
  }
  dc.RestoreDC(saved);
  return sound;
}
