// Cursor file layout: a 6-byte header (0, type 2, count), 16-byte directory
// entries (width, height, colours, reserved, hot spot x and y, byte count,
// offset), and per image a BITMAPINFOHEADER whose height covers the colour
// rows and the AND-mask rows, a palette for 8 bits or fewer, the colour rows
// and the 1-bit mask rows, all bottom-up with rows padded to 4 bytes.
#include "platform/user/cursor_file.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr WORD kIconType = 1;
constexpr WORD kCursorType = 2;
constexpr int kMaxSide = 256;
constexpr int kPreferredSide = 32;

// Little-endian reads that are only made after the range was checked.
WORD Word(std::span<const BYTE> b, std::size_t at) { return static_cast<WORD>(b[at] | (b[at + 1] << 8)); }
DWORD Dword(std::span<const BYTE> b, std::size_t at) {
  return static_cast<DWORD>(b[at]) | (static_cast<DWORD>(b[at + 1]) << 8) | (static_cast<DWORD>(b[at + 2]) << 16) |
         (static_cast<DWORD>(b[at + 3]) << 24);
}

struct Entry {
  int width;
  int height;
  int hotX;
  int hotY;
  DWORD size;
  DWORD offset;
};

std::optional<CursorImage> ReadImage(std::span<const BYTE> file, const Entry& entry) {
  if (entry.size < kInfoHeaderSize || static_cast<ULONGLONG>(entry.offset) + entry.size > file.size())
    return std::nullopt;
  std::span<const BYTE> image = file.subspan(entry.offset, entry.size);
  const DWORD headerSize = Dword(image, 0);
  const auto width = static_cast<std::int32_t>(Dword(image, 4));
  const auto fullHeight = static_cast<std::int32_t>(Dword(image, 8));
  const WORD bitCount = Word(image, 14);
  const DWORD compression = Dword(image, 16);
  const DWORD colorsUsed = Dword(image, 32);
  if (headerSize < kInfoHeaderSize || headerSize > image.size()) return std::nullopt;
  if (width <= 0 || width > kMaxSide || fullHeight == 0 || fullHeight < -2 * kMaxSide || fullHeight > 2 * kMaxSide)
    return std::nullopt;
  if (compression != 0) return std::nullopt;
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32) return std::nullopt;
  const bool bottomUp = fullHeight > 0;
  const int height = std::abs(fullHeight) / 2;
  if (height <= 0) return std::nullopt;

  std::size_t paletteCount = 0;
  if (bitCount <= 8) {
    const std::size_t maxColors = std::size_t{1} << bitCount;
    if (colorsUsed > maxColors) return std::nullopt;
    paletteCount = colorsUsed ? colorsUsed : maxColors;
  }
  const std::size_t colorStride = ((static_cast<std::size_t>(width) * bitCount + 31) / 32) * 4;
  const std::size_t maskStride = ((static_cast<std::size_t>(width) + 31) / 32) * 4;
  const std::size_t paletteAt = headerSize;
  const std::size_t colorAt = paletteAt + paletteCount * 4;
  const std::size_t maskAt = colorAt + colorStride * static_cast<std::size_t>(height);
  const std::size_t end = maskAt + maskStride * static_cast<std::size_t>(height);
  if (end > image.size()) return std::nullopt;

  CursorImage out;
  out.width = width;
  out.height = height;
  out.hotX = std::min(entry.hotX, width - 1);
  out.hotY = std::min(entry.hotY, height - 1);
  out.argb.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));

  // A 32-bit image whose alpha channel is used takes its shape from it; otherwise the mask decides.
  bool alphaShape = false;
  if (bitCount == 32) {
    for (std::size_t at = colorAt + 3; at < maskAt && !alphaShape; at += 4) alphaShape = image[at] != 0;
  }
  for (int y = 0; y < height; ++y) {
    const std::size_t row = static_cast<std::size_t>(bottomUp ? height - 1 - y : y);
    const std::size_t colorRow = colorAt + row * colorStride;
    const std::size_t maskRow = maskAt + row * maskStride;
    for (int x = 0; x < width; ++x) {
      const auto ux = static_cast<std::size_t>(x);
      std::uint32_t bgra = 0;  // as 0xAARRGGBB, from the B, G, R (and A) bytes
      switch (bitCount) {
        case 32: bgra = Dword(image, colorRow + ux * 4); break;
        case 24:
          bgra = image[colorRow + ux * 3] | (image[colorRow + ux * 3 + 1] << 8) |
                 (static_cast<std::uint32_t>(image[colorRow + ux * 3 + 2]) << 16);
          break;
        default: {
          const std::size_t bit = ux * bitCount;
          const unsigned shift = static_cast<unsigned>(8 - bitCount - bit % 8);
          const std::size_t index = (image[colorRow + bit / 8] >> shift) & ((1u << bitCount) - 1);
          bgra = index < paletteCount ? Dword(image, paletteAt + index * 4) : 0;
          break;
        }
      }
      std::uint32_t pixel = bgra & 0x00FFFFFFu;
      if (alphaShape) {
        pixel = bgra;
      } else if (!((image[maskRow + ux / 8] >> (7 - ux % 8)) & 1)) {
        pixel |= 0xFF000000u;
      } else if (pixel != 0) {
        // A masked pixel with colour inverts the screen; shown as opaque black.
        pixel = 0xFF000000u;
      }
      out.argb[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + ux] = pixel;
    }
  }
  return out;
}

}  // namespace

std::optional<CursorImage> ReadCursorFile(std::span<const BYTE> bytes, bool acceptIcons) {
  if (bytes.size() < kHeaderSize) return std::nullopt;
  const WORD type = Word(bytes, 2);
  const bool icon = acceptIcons && type == kIconType;
  if (Word(bytes, 0) != 0 || (type != kCursorType && !icon)) return std::nullopt;
  const std::size_t count = Word(bytes, 4);
  if (count == 0 || count > (bytes.size() - kHeaderSize) / kEntrySize) return std::nullopt;

  std::optional<Entry> chosen;
  int chosenDistance = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = kHeaderSize + i * kEntrySize;
    // In an icon file these words are planes and bit count, not a hot spot.
    Entry e{bytes[at] ? bytes[at] : kMaxSide, bytes[at + 1] ? bytes[at + 1] : kMaxSide,
            icon ? 0 : Word(bytes, at + 4),  icon ? 0 : Word(bytes, at + 6),
            Dword(bytes, at + 8),            Dword(bytes, at + 12)};
    int distance = std::abs(e.width - kPreferredSide) + std::abs(e.height - kPreferredSide);
    if (!chosen || distance < chosenDistance) {
      chosen = e;
      chosenDistance = distance;
    }
  }
  return ReadImage(bytes, *chosen);
}
