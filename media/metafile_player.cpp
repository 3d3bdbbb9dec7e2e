// The metafile record player: each known record becomes the matching call on the drawing layer.
#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <span>
#include <vector>

#include "media/dib_decode.h"
#include "media/metafile.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/font.h"
#include "platform/gdi/image_dc.h"
#include "platform/gdi/log_font_bytes.h"
#include "platform/gdi/pen.h"

namespace {

// Record functions (the low byte numbers the function, the high byte is the
// parameter count of its usual form).
enum : WORD {
  kEof = 0x0000,
  kRealizePalette = 0x0035,
  kSaveDc = 0x001E,
  kCreatePalette = 0x00F7,
  kSetBkMode = 0x0102,
  kSetMapMode = 0x0103,
  kSetRop2 = 0x0104,
  kSetPolyFillMode = 0x0106,
  kSetStretchBltMode = 0x0107,
  kDeleteObject = 0x01F0,
  kCreatePatternBrush = 0x01F9,
  kRestoreDc = 0x0127,
  kSelectObject = 0x012D,
  kSetTextAlign = 0x012E,
  kDibCreatePatternBrush = 0x0142,
  kSetBkColor = 0x0201,
  kSetTextColor = 0x0209,
  kSetWindowOrg = 0x020B,
  kSetWindowExt = 0x020C,
  kOffsetWindowOrg = 0x020F,
  kLineTo = 0x0213,
  kMoveTo = 0x0214,
  kSelectPalette = 0x0234,
  kCreatePenIndirect = 0x02FA,
  kCreateFontIndirect = 0x02FB,
  kCreateBrushIndirect = 0x02FC,
  kPolygon = 0x0324,
  kPolyline = 0x0325,
  kExcludeClipRect = 0x0415,
  kIntersectClipRect = 0x0416,
  kEllipse = 0x0418,
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
  kStretchDib = 0x0F43,
};

// One record's parameters, every read checked against the record's end.
class Params {
 public:
  Params(const BYTE* p, std::size_t bytes) : m_p(p), m_bytes(bytes) {}
  std::size_t Words() const { return m_bytes / 2; }
  bool Has(std::size_t word) const { return word < Words(); }
  short S(std::size_t word) const { return Has(word) ? static_cast<short>(U(word)) : 0; }
  WORD U(std::size_t word) const {
    return Has(word) ? static_cast<WORD>(m_p[2 * word] | (m_p[2 * word + 1] << 8)) : 0;
  }
  DWORD D(std::size_t word) const { return static_cast<DWORD>(U(word)) | (static_cast<DWORD>(U(word + 1)) << 16); }
  const BYTE* Bytes(std::size_t word) const { return m_p + 2 * word; }
  std::size_t BytesFrom(std::size_t word) const { return word * 2 <= m_bytes ? m_bytes - word * 2 : 0; }
  std::span<const BYTE> Rest(std::size_t word) const {
    return word * 2 <= m_bytes ? std::span<const BYTE>(m_p + 2 * word, m_bytes - 2 * word) : std::span<const BYTE>();
  }

 private:
  const BYTE* m_p;
  std::size_t m_bytes;
};

class Player {
 public:
  Player(CDC& dc, const CMetaFile& metaFile) : m_dc(dc), m_objects(metaFile.ObjectCount()) {}

  void Play(WORD function, const Params& p);

 private:
  void AddObject(std::unique_ptr<CGdiObject> object);
  // Sizes stored in logical units scaled to device pixels, for pens and fonts.
  int ScaleY(int value) const;
  int ScaleX(int value) const;
  void Shape(WORD function, const Params& p);
  void Poly(WORD function, const Params& p);
  void ArcLike(WORD function, const Params& p);
  void Text(const Params& p, bool extended);
  void Dib(WORD function, const Params& p);

  CDC& m_dc;
  std::vector<std::unique_ptr<CGdiObject>> m_objects;
  int m_saved = 0;  // SaveDC levels the metafile made itself
};

void Player::AddObject(std::unique_ptr<CGdiObject> object) {
  // Each created object takes the lowest free slot; a full table drops it.
  for (auto& slot : m_objects) {
    if (!slot) {
      slot = std::move(object);
      return;
    }
  }
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
    case kOffsetWindowOrg: m_dc.OffsetWindowOrg(p.S(1), p.S(0)); break;
    case kSetBkColor: m_dc.SetBkColor(p.D(0) & 0xFFFFFF); break;
    case kSetTextColor: m_dc.SetTextColor(p.D(0) & 0xFFFFFF); break;
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
    case kCreatePenIndirect: {
      auto pen = std::make_unique<CPen>();
      pen->CreatePen(p.U(0) & PS_STYLE_MASK, std::abs(ScaleX(p.S(1))), p.D(3) & 0xFFFFFF);
      AddObject(std::move(pen));
      break;
    }
    case kCreateBrushIndirect: {
      LOGBRUSH lb;
      lb.lbStyle = p.U(0);
      lb.lbColor = p.D(1) & 0xFFFFFF;
      lb.lbHatch = p.U(3);
      auto brush = std::make_unique<CBrush>();
      if (lb.lbStyle != BS_SOLID && lb.lbStyle != BS_NULL && lb.lbStyle != BS_HATCHED) lb.lbStyle = BS_SOLID;
      if (lb.lbStyle == BS_HATCHED && (lb.lbHatch < HS_HORIZONTAL || lb.lbHatch > HS_DIAGCROSS)) lb.lbStyle = BS_SOLID;
      brush->CreateBrushIndirect(lb);
      AddObject(std::move(brush));
      break;
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
      break;
    }
    case kCreatePalette:
    case kCreatePatternBrush:
    case kDibCreatePatternBrush:
    case kCreateRegion: {
      // Kinds this player does not draw with still take their slot, so the
      // indexes of later objects stay right; a hollow brush stands in.
      auto brush = std::make_unique<CBrush>();
      brush->CreateNullBrush();
      AddObject(std::move(brush));
      break;
    }
    case kSelectObject: {
      const WORD index = p.U(0);
      if (index < m_objects.size() && m_objects[index]) m_dc.SelectObject(m_objects[index].get());
      break;
    }
    case kDeleteObject: {
      const WORD index = p.U(0);
      if (index < m_objects.size()) m_objects[index].reset();
      break;
    }
    case kMoveTo: m_dc.MoveTo(p.S(1), p.S(0)); break;
    case kLineTo: m_dc.LineTo(p.S(1), p.S(0)); break;
    case kSetPixel: m_dc.SetPixel(p.S(3), p.S(2), p.D(0) & 0xFFFFFF); break;
    case kIntersectClipRect: m_dc.IntersectClipRect(p.S(3), p.S(2), p.S(1), p.S(0)); break;
    case kExcludeClipRect: m_dc.ExcludeClipRect(p.S(3), p.S(2), p.S(1), p.S(0)); break;
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
    default: break;  // unknown or without effect here (map mode, palettes): skipped
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
  bool bottomUpSource = false;
  if (function == kDibBitBlt) {
    ySrc = p.S(2), xSrc = p.S(3), hDst = p.S(4), wDst = p.S(5), yDst = p.S(6), xDst = p.S(7);
    wSrc = wDst, hSrc = hDst;
    dibWord = 8;
  } else if (function == kDibStretchBlt) {
    hSrc = p.S(2), wSrc = p.S(3), ySrc = p.S(4), xSrc = p.S(5);
    hDst = p.S(6), wDst = p.S(7), yDst = p.S(8), xDst = p.S(9);
    dibWord = 10;
  } else {
    hSrc = p.S(3), wSrc = p.S(4), ySrc = p.S(5), xSrc = p.S(6);
    hDst = p.S(7), wDst = p.S(8), yDst = p.S(9), xDst = p.S(10);
    dibWord = 11;
    bottomUpSource = true;  // as StretchDIBits counts source rows
  }
  const std::size_t dibBytes = p.BytesFrom(dibWord);
  if (dibBytes == 0) {
    // The form without a bitmap paints with the brush only.
    m_dc.PatBlt(xDst, yDst, wDst, hDst, rop);
    return;
  }
  std::vector<BYTE> dib(p.Bytes(dibWord), p.Bytes(dibWord) + dibBytes);
  const CPixelImage picture = tvn::dib::DecodeToImage(dib);
  if (picture.IsNull()) return;
  if (bottomUpSource) ySrc = picture.Height() - ySrc - hSrc;
  CImageDC source(picture);
  m_dc.StretchBlt(xDst, yDst, wDst, hDst, &source, xSrc, ySrc, wSrc, hSrc, rop);
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
