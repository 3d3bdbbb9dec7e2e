// Header parsing and layout checks of packed DIBs.
#include "media/dib_format.h"

#include <algorithm>

namespace tvn::dib {

std::optional<InfoHeader> ParseHeader(const BYTE* p, std::size_t n) {
  if (n < 4) return std::nullopt;
  InfoHeader h;
  h.size = Le32(p);
  if (h.size == kCoreHeaderSize) {
    if (n < kCoreHeaderSize) return std::nullopt;
    h.width = Le16(p + 4);
    h.height = Le16(p + 6);
    h.planes = Le16(p + 8);
    h.bitCount = Le16(p + 10);
    return h;
  }
  if (h.size != kInfoHeaderSize || n < kInfoHeaderSize) return std::nullopt;
  h.width = static_cast<LONG>(Le32(p + 4));
  h.height = static_cast<LONG>(Le32(p + 8));
  h.planes = Le16(p + 12);
  h.bitCount = Le16(p + 14);
  h.compression = Le32(p + 16);
  h.sizeImage = Le32(p + 20);
  h.xPelsPerMeter = static_cast<LONG>(Le32(p + 24));
  h.yPelsPerMeter = static_cast<LONG>(Le32(p + 28));
  h.clrUsed = Le32(p + 32);
  h.clrImportant = Le32(p + 36);
  return h;
}

void StoreInfoHeader(const InfoHeader& h, BYTE* out) {
  PutLe32(out, kInfoHeaderSize);
  PutLe32(out + 4, static_cast<DWORD>(h.width));
  PutLe32(out + 8, static_cast<DWORD>(h.height));
  PutLe16(out + 12, h.planes);
  PutLe16(out + 14, h.bitCount);
  PutLe32(out + 16, h.compression);
  PutLe32(out + 20, h.sizeImage);
  PutLe32(out + 24, static_cast<DWORD>(h.xPelsPerMeter));
  PutLe32(out + 28, static_cast<DWORD>(h.yPelsPerMeter));
  PutLe32(out + 32, h.clrUsed);
  PutLe32(out + 36, h.clrImportant);
}

DWORD NumColors(const InfoHeader& h) {
  if (h.size != kCoreHeaderSize && h.clrUsed != 0) return h.clrUsed;
  switch (h.bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
  }
}

std::size_t PaletteSize(const InfoHeader& h) {
  return static_cast<std::size_t>(NumColors(h)) * (h.size == kCoreHeaderSize ? 3 : 4);
}

ULONGLONG RowStride(WORD bitCount, LONG width) {
  ULONGLONG w = width < 0 ? 0 : static_cast<ULONGLONG>(width);
  return (static_cast<ULONGLONG>(bitCount) * w + 31) / 32 * 4;
}

ULONGLONG UncompressedSize(const InfoHeader& h) {
  LONGLONG height = h.height < 0 ? -static_cast<LONGLONG>(h.height) : h.height;
  return RowStride(h.bitCount, h.width) * static_cast<ULONGLONG>(height);
}

bool IsSupportedFormat(const InfoHeader& h) {
  if (h.size == kCoreHeaderSize) {
    return h.compression == kRgb && (h.bitCount == 1 || h.bitCount == 4 || h.bitCount == 8 || h.bitCount == 24);
  }
  switch (h.compression) {
    case kRgb:
      return h.bitCount == 1 || h.bitCount == 4 || h.bitCount == 8 || h.bitCount == 16 || h.bitCount == 24 ||
             h.bitCount == 32;
    case kRle8: return h.bitCount == 8;
    case kRle4: return h.bitCount == 4;
    default: return false;
  }
}

std::optional<Layout> Describe(const BYTE* dib, std::size_t n, bool needPixels) {
  if (!dib) return std::nullopt;
  auto parsed = ParseHeader(dib, n);
  if (!parsed || !IsSupportedFormat(*parsed)) return std::nullopt;
  Layout l;
  l.header = *parsed;
  l.core = parsed->size == kCoreHeaderSize;
  LONG h = l.header.height;
  // Run-length rows are always stored bottom-up.
  if (h < 0 && l.IsRle()) return std::nullopt;
  if (l.header.width < 1 || l.header.width > kMaxSide || h == 0 || h < -kMaxSide || h > kMaxSide) return std::nullopt;
  l.width = l.header.width;
  l.height = h < 0 ? -h : h;
  l.topDown = h < 0;
  l.headerBytes = l.header.size;
  l.colors = std::min(NumColors(l.header), kMaxColors);
  l.tableBytes = PaletteSize(l.header);
  l.bitsOffset = l.headerBytes + l.tableBytes;
  if (l.bitsOffset > n) return std::nullopt;
  ULONGLONG stride = RowStride(l.header.bitCount, l.width);
  ULONGLONG full = UncompressedSize(l.header);
  if (full > kMaxImageBytes) return std::nullopt;
  l.stride = static_cast<std::size_t>(stride);
  std::size_t left = n - l.bitsOffset;
  if (l.IsRle()) {
    // The stream is as long as the header says, but never past the block.
    std::size_t stated = l.header.sizeImage;
    l.imageBytes = stated == 0 || stated > left ? left : stated;
  } else {
    if (full > left && needPixels) return std::nullopt;
    l.imageBytes = full > left ? 0 : static_cast<std::size_t>(full);
  }
  if (l.header.sizeImage == 0) l.header.sizeImage = static_cast<DWORD>(l.IsRle() ? l.imageBytes : full);
  if (l.header.clrUsed == 0) l.header.clrUsed = l.colors;
  return l;
}

COLORREF TableColor(const BYTE* dib, const Layout& l, DWORD i) {
  if (i >= l.colors) return 0;
  const BYTE* e = dib + l.headerBytes + static_cast<std::size_t>(i) * (l.core ? 3 : 4);
  return RGB(e[2], e[1], e[0]);
}

}  // namespace tvn::dib
