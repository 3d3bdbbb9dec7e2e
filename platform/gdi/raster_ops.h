// Bit-exact pixel work: raster operations, the blit clipper and the blit loops.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/base/geometry.h"
#include "platform/base/win_types.h"

namespace gdi {

// Pixels are 32-bit 0xFFRRGGBB words (the layout of Qt's RGB32 images and of a
// 32-bit Windows bitmap in memory); the top byte is kept at 0xFF.
constexpr DWORD kOpaque = 0xFF000000u;
constexpr DWORD kColourBits = 0x00FFFFFFu;

constexpr DWORD ColorToPixel(COLORREF c) {
  return kOpaque | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
constexpr COLORREF PixelToColor(DWORD p) {
  return ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16);
}

// A rectangle of pixels owned by someone else: a bitmap or a window's surface.
// Monochrome surfaces hold only black and white pixels.
struct PixelSurface {
  DWORD* bits = nullptr;
  int width = 0;
  int height = 0;
  std::ptrdiff_t stride = 0;  // in pixels
  bool monochrome = false;

  bool IsValid() const { return bits != nullptr && width > 0 && height > 0; }
  DWORD* Row(int y) const { return bits + static_cast<std::ptrdiff_t>(y) * stride; }
};

// A brush ready for a pixel loop: a tile of pixels repeated from the brush
// origin, with the pixels a transparent background leaves alone marked.
struct PatternTile {
  int width = 1;
  int height = 1;
  std::vector<DWORD> pixels{kOpaque};
  std::vector<unsigned char> opaque{1};
  CPoint origin;  // device pixel where the tile's (0,0) falls
  bool null = false;

  bool IsSolid() const { return width == 1 && height == 1; }
  std::size_t IndexAt(int x, int y) const;
  DWORD At(int x, int y) const { return pixels[IndexAt(x, y)]; }
  bool OpaqueAt(int x, int y) const { return opaque[IndexAt(x, y)] != 0; }
};

// One raster operation (ternary, as BitBlt takes them) on 24-bit colour words.
DWORD ApplyRop3(DWORD rop, DWORD pattern, DWORD source, DWORD dest);
// One mix mode (SetROP2) of a pen or brush colour with the destination.
DWORD ApplyRop2(int mode, DWORD pen, DWORD dest);
// Whether the operation reads the source, the pattern or the destination at all.
bool RopUsesSource(DWORD rop);
bool RopUsesPattern(DWORD rop);

// Clips a blit of size (dst) from srcOrigin against the destination clip
// rectangle and the source bounds together, moving both origins alike.
// Returns false when nothing is left to copy.
bool ClipBlit(CRect& dst, CPoint& srcOrigin, const CRect& dstClip, const CRect& srcBounds);

// How a source is read into the destination's colour world.
struct SourceColours {
  DWORD sourceBack = kOpaque | kColourBits;  // colour source pixels equal to this become white on a monochrome target
  DWORD targetText = kOpaque;                // black monochrome pixels become this on a colour target
  DWORD targetBack = kOpaque | kColourBits;  // white monochrome pixels become this on a colour target
};

// Runs rop over dstRect (already clipped) of dst; src (may be null when the
// operation does not read it) is read from srcOrigin on.
void BlitRect(const PixelSurface& dst, const CRect& dstRect, const PixelSurface* src, CPoint srcOrigin,
              DWORD rop, const PatternTile& pattern, const SourceColours& colours);

// Stretching: each destination pixel takes the nearest source pixel. xMap/yMap
// give the source column/row of each destination column/row of dstRect.
void StretchRect(const PixelSurface& dst, const CRect& dstRect, const PixelSurface& src, const std::vector<int>& xMap,
                 const std::vector<int>& yMap, DWORD rop, const PatternTile& pattern, const SourceColours& colours);

// Visits each pixel of the line from a to b, b itself left out (so lines
// joined end to start touch each pixel once), that lies inside box:
// visit(x, y, step) with step counting pixels from a. Only the part inside the
// box is walked, however long the line.
template <class Visit>
void ForEachLinePixel(CPoint a, CPoint b, const CRect& box, Visit&& visit) {
  const long long dx = static_cast<long long>(b.x) - a.x, dy = static_cast<long long>(b.y) - a.y;
  const long long adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  const long long n = adx > ady ? adx : ady;
  if (n == 0 || box.IsRectEmpty()) return;
  const bool xMajor = adx >= ady;
  const long long major0 = xMajor ? a.x : a.y, minor0 = xMajor ? a.y : a.x;
  const long long dMajor = xMajor ? dx : dy, dMinor = xMajor ? dy : dx;
  const int sign = dMajor < 0 ? -1 : 1;
  const long long low = xMajor ? box.left : box.top, high = (xMajor ? box.right : box.bottom) - 1;
  // Steps whose major coordinate major0 + sign * i lies in [low, high].
  long long first = sign > 0 ? low - major0 : major0 - high;
  long long last = sign > 0 ? high - major0 : major0 - low;
  if (first < 0) first = 0;
  if (last > n - 1) last = n - 1;
  for (long long i = first; i <= last; ++i) {
    // The minor coordinate rounded to nearest, halves upwards: floor((2 i dMinor + n) / 2n).
    const long long num = 2 * i * dMinor + n, den = 2 * n;
    const long long q = num >= 0 ? num / den : -((-num + den - 1) / den);
    const long long major = major0 + sign * i, minor = minor0 + q;
    const long long x = xMajor ? major : minor, y = xMajor ? minor : major;
    if (x < box.left || x >= box.right || y < box.top || y >= box.bottom) continue;
    visit(static_cast<int>(x), static_cast<int>(y), i);
  }
}

// Builds the nearest-pixel map of a stretch from srcStart/srcLen onto dstStart/dstLen
// for the destination span [clipStart, clipEnd); negative lengths mirror.
// Entries whose source falls outside [0, srcLimit) are -1.
std::vector<int> StretchMap(int dstStart, int dstLen, int srcStart, int srcLen, int clipStart, int clipEnd,
                            int srcLimit);

}  // namespace gdi
