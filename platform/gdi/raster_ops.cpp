#include "platform/gdi/raster_ops.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/pixel_rows.h"

namespace gdi {

namespace {

constexpr DWORD kWhite = kOpaque | kColourBits;
constexpr DWORD kBlack = kOpaque;

// The truth-table byte of a ternary raster operation.
constexpr unsigned RopCode(DWORD rop) { return (rop >> 16) & 0xFFu; }

DWORD Rop3Generic(unsigned code, DWORD p, DWORD s, DWORD d) {
  DWORD r = 0;
  for (unsigned i = 0; i < 8; ++i) {
    if (((code >> i) & 1u) == 0) continue;
    r |= ((i & 4u) ? p : ~p) & ((i & 2u) ? s : ~s) & ((i & 1u) ? d : ~d);
  }
  return r;
}

// Colour to black/white the way a colour-to-monochrome copy decides it.
DWORD ToMonochrome(DWORD pixel, DWORD back) {
  return ((pixel ^ back) & kColourBits) == 0 ? kWhite : kBlack;
}

// A pattern colour on a monochrome target: the nearer of black and white.
DWORD NearestMonochrome(DWORD pixel) {
  unsigned r = (pixel >> 16) & 0xFFu, g = (pixel >> 8) & 0xFFu, b = pixel & 0xFFu;
  return (r * 30 + g * 59 + b * 11) >= 12800 ? kWhite : kBlack;
}

std::int64_t Clamp64(std::int64_t v) {
  return std::clamp<std::int64_t>(v, INT32_MIN / 2, INT32_MAX / 2);
}

// Reads source pixels into the destination's colour world.
struct SourceReader {
  bool toMono = false;
  bool fromMono = false;
  SourceColours colours;
  DWORD operator()(DWORD s) const {
    if (toMono) return ToMonochrome(s, colours.sourceBack);
    if (fromMono) return (s & kColourBits) ? colours.targetBack : colours.targetText;
    return s;
  }
  bool IsIdentity() const { return !toMono && !fromMono; }
};

SourceReader MakeReader(const PixelSurface& dst, const PixelSurface* src, const SourceColours& colours) {
  SourceReader r;
  r.colours = colours;
  if (src) {
    r.toMono = dst.monochrome && !src->monochrome;
    r.fromMono = !dst.monochrome && src->monochrome;
  }
  return r;
}

DWORD PatternAt(const PatternTile& pattern, bool monoTarget, int x, int y) {
  DWORD p = pattern.At(x, y);
  return monoTarget ? NearestMonochrome(p) : p;
}

// The general loop: any operation, any pattern, any source conversion.
template <class ReadSource>
void GeneralLoop(const PixelSurface& dst, const CRect& rect, ReadSource&& readSource, DWORD rop,
                 const PatternTile& pattern) {
  const unsigned code = RopCode(rop);
  for (int y = rect.top; y < rect.bottom; ++y) {
    DWORD* d = dst.Row(y);
    for (int x = rect.left; x < rect.right; ++x) {
      DWORD s = readSource(x, y);
      DWORD p = PatternAt(pattern, dst.monochrome, x, y);
      d[x] = kOpaque | (Rop3Generic(code, p, s, d[x]) & kColourBits);
    }
  }
}

}  // namespace

std::size_t PatternTile::IndexAt(int x, int y) const {
  // Floor modulo so that tiles continue across negative coordinates.
  long tx = (static_cast<long>(x) - origin.x) % width;
  long ty = (static_cast<long>(y) - origin.y) % height;
  if (tx < 0) tx += width;
  if (ty < 0) ty += height;
  return static_cast<std::size_t>(ty) * static_cast<std::size_t>(width) + static_cast<std::size_t>(tx);
}

DWORD ApplyRop3(DWORD rop, DWORD pattern, DWORD source, DWORD dest) {
  return kOpaque | (Rop3Generic(RopCode(rop), pattern, source, dest) & kColourBits);
}

DWORD ApplyRop2(int mode, DWORD pen, DWORD dest) {
  if (mode < R2_BLACK || mode > R2_WHITE) mode = R2_COPYPEN;
  const unsigned code = static_cast<unsigned>(mode - 1);
  DWORD r = 0;
  for (unsigned i = 0; i < 4; ++i) {
    if (((code >> i) & 1u) == 0) continue;
    r |= ((i & 2u) ? pen : ~pen) & ((i & 1u) ? dest : ~dest);
  }
  return kOpaque | (r & kColourBits);
}

bool RopUsesSource(DWORD rop) {
  const unsigned code = RopCode(rop);
  // The result depends on S when swapping S changes some entry of the table.
  return ((code >> 2) & 0x33u) != (code & 0x33u);
}

bool RopUsesPattern(DWORD rop) {
  const unsigned code = RopCode(rop);
  return ((code >> 4) & 0x0Fu) != (code & 0x0Fu);
}

bool ClipBlit(CRect& dst, CPoint& srcOrigin, const CRect& dstClip, const CRect& srcBounds) {
  if (dst.IsRectEmpty() || dstClip.IsRectEmpty() || srcBounds.IsRectEmpty()) return false;
  // Work in 64 bits: positions come from course files and may be anything.
  const std::int64_t dx = static_cast<std::int64_t>(dst.left) - srcOrigin.x;
  const std::int64_t dy = static_cast<std::int64_t>(dst.top) - srcOrigin.y;
  std::int64_t left = std::max<std::int64_t>({dst.left, dstClip.left, srcBounds.left + dx});
  std::int64_t top = std::max<std::int64_t>({dst.top, dstClip.top, srcBounds.top + dy});
  std::int64_t right = std::min<std::int64_t>({dst.right, dstClip.right, srcBounds.right + dx});
  std::int64_t bottom = std::min<std::int64_t>({dst.bottom, dstClip.bottom, srcBounds.bottom + dy});
  if (right <= left || bottom <= top) return false;
  srcOrigin = CPoint(static_cast<LONG>(Clamp64(left - dx)), static_cast<LONG>(Clamp64(top - dy)));
  dst = CRect(static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(right), static_cast<LONG>(bottom));
  return true;
}

void BlitRect(const PixelSurface& dst, const CRect& rect, const PixelSurface* src, CPoint srcOrigin, DWORD rop,
              const PatternTile& pattern, const SourceColours& colours) {
  if (!dst.IsValid() || rect.IsRectEmpty()) return;
  const bool usesSource = RopUsesSource(rop);
  if (usesSource && (!src || !src->IsValid())) return;
  const int w = rect.Width();

  // A source overlapping the destination on the same surface is read from a copy.
  std::vector<DWORD> scratch;
  PixelSurface source = usesSource ? *src : PixelSurface{};
  if (usesSource && src->bits == dst.bits) {
    scratch.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(rect.Height()));
    for (int row = 0; row < rect.Height(); ++row)
      std::memcpy(&scratch[static_cast<std::size_t>(row) * static_cast<std::size_t>(w)],
                  src->Row(srcOrigin.y + row) + srcOrigin.x, static_cast<std::size_t>(w) * sizeof(DWORD));
    source = PixelSurface{scratch.data(), w, rect.Height(), w, src->monochrome};
    srcOrigin = CPoint(0, 0);
  }
  const SourceReader reader = MakeReader(dst, usesSource ? &source : nullptr, colours);
  const int sx0 = srcOrigin.x - rect.left;
  const int sy0 = srcOrigin.y - rect.top;

  // Fast paths for the common operations on a plain source and a solid pattern.
  if (reader.IsIdentity() && pattern.IsSolid()) {
    const DWORD p = dst.monochrome ? NearestMonochrome(pattern.pixels[0]) : pattern.pixels[0];
    for (int y = rect.top; y < rect.bottom; ++y) {
      DWORD* d = dst.Row(y) + rect.left;
      const DWORD* s = usesSource ? source.Row(y + sy0) + rect.left + sx0 : nullptr;
      switch (rop) {
        case SRCCOPY: std::memcpy(d, s, static_cast<std::size_t>(w) * sizeof(DWORD)); break;
        case SRCAND: for (int i = 0; i < w; ++i) d[i] &= s[i] | kOpaque; break;
        case SRCPAINT: for (int i = 0; i < w; ++i) d[i] |= s[i]; break;
        case SRCINVERT: for (int i = 0; i < w; ++i) d[i] = (d[i] ^ s[i]) | kOpaque; break;
        case NOTSRCCOPY: for (int i = 0; i < w; ++i) d[i] = ~s[i] | kOpaque; break;
        case DSTINVERT: for (int i = 0; i < w; ++i) d[i] = ~d[i] | kOpaque; break;
        case BLACKNESS: rows::Fill(d, w, kBlack); break;
        case WHITENESS: rows::Fill(d, w, kWhite); break;
        case PATCOPY: rows::Fill(d, w, p); break;
        case PATINVERT: for (int i = 0; i < w; ++i) d[i] = (d[i] ^ p) | kOpaque; break;
        default: {
          const unsigned code = RopCode(rop);
          for (int i = 0; i < w; ++i)
            d[i] = kOpaque | (Rop3Generic(code, p, s ? s[i] : 0, d[i]) & kColourBits);
        }
      }
    }
    return;
  }
  GeneralLoop(dst, rect,
              [&](int x, int y) -> DWORD {
                return usesSource ? reader(source.Row(y + sy0)[x + sx0]) : 0;
              },
              rop, pattern);
}

std::vector<int> StretchMap(int dstStart, int dstLen, int srcStart, int srcLen, int clipStart, int clipEnd,
                            int srcLimit) {
  std::vector<int> map;
  if (clipEnd <= clipStart || dstLen == 0 || srcLen == 0) return map;
  map.reserve(static_cast<std::size_t>(clipEnd - clipStart));
  // A negative destination length runs the destination from its far edge;
  // a negative source length reads the source backwards. Either mirrors.
  const std::int64_t dLen = dstLen < 0 ? -static_cast<std::int64_t>(dstLen) : dstLen;
  const std::int64_t sLen = srcLen < 0 ? -static_cast<std::int64_t>(srcLen) : srcLen;
  const std::int64_t dLow = dstLen < 0 ? static_cast<std::int64_t>(dstStart) + dstLen + 1 : dstStart;
  const std::int64_t sLow = srcLen < 0 ? static_cast<std::int64_t>(srcStart) + srcLen + 1 : srcStart;
  const bool mirror = (dstLen < 0) != (srcLen < 0);
  for (int x = clipStart; x < clipEnd; ++x) {
    const std::int64_t i = x - dLow;  // index into the destination span
    if (i < 0 || i >= dLen) {
      map.push_back(-1);
      continue;
    }
    // Stepping through the source from its first pixel, as the nearest-pixel
    // stretch does: halving keeps pixels 0, 2, 4..., doubling repeats each.
    std::int64_t j = (i * sLen) / dLen;
    if (mirror) j = sLen - 1 - j;
    const std::int64_t s = sLow + j;
    map.push_back(s >= 0 && s < srcLimit ? static_cast<int>(s) : -1);
  }
  return map;
}

void StretchRect(const PixelSurface& dst, const CRect& rect, const PixelSurface& src, const std::vector<int>& xMap,
                 const std::vector<int>& yMap, DWORD rop, const PatternTile& pattern, const SourceColours& colours) {
  if (!dst.IsValid() || !src.IsValid() || rect.IsRectEmpty()) return;
  if (xMap.size() != static_cast<std::size_t>(rect.Width()) || yMap.size() != static_cast<std::size_t>(rect.Height()))
    return;
  // Stretching onto the surface it reads from goes through a copy of the source.
  std::vector<DWORD> scratch;
  PixelSurface source = src;
  if (src.bits == dst.bits) {
    scratch.resize(static_cast<std::size_t>(src.width) * static_cast<std::size_t>(src.height));
    for (int row = 0; row < src.height; ++row)
      std::memcpy(&scratch[static_cast<std::size_t>(row) * static_cast<std::size_t>(src.width)], src.Row(row),
                  static_cast<std::size_t>(src.width) * sizeof(DWORD));
    source.bits = scratch.data();
    source.stride = src.width;
  }
  const SourceReader reader = MakeReader(dst, &source, colours);
  const unsigned code = RopCode(rop);
  for (int y = rect.top; y < rect.bottom; ++y) {
    const int sy = yMap[static_cast<std::size_t>(y - rect.top)];
    if (sy < 0) continue;
    DWORD* d = dst.Row(y);
    const DWORD* s = source.Row(sy);
    if (rop == SRCCOPY && reader.IsIdentity()) {
      DWORD* out = d + rect.left;
      for (std::size_t i = 0; i < xMap.size(); ++i)
        if (xMap[i] >= 0) out[i] = s[xMap[i]];
      continue;
    }
    for (int x = rect.left; x < rect.right; ++x) {
      const int sx = xMap[static_cast<std::size_t>(x - rect.left)];
      if (sx < 0) continue;
      const DWORD sp = reader(s[sx]);
      if (rop == SRCCOPY) {
        d[x] = sp | kOpaque;
        continue;
      }
      d[x] = kOpaque | (Rop3Generic(code, PatternAt(pattern, dst.monochrome, x, y), sp, d[x]) & kColourBits);
    }
  }
}

}  // namespace gdi
