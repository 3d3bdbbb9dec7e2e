// Pixel decoding of packed DIBs, run-length streams included.
#include "media/dib_decode.h"

#include <array>

namespace tvn::dib {
namespace {

// Blue, green, red as stored, to 0xFFRRGGBB.
std::uint32_t BgrPixel(const BYTE* b) {
  return 0xFF000000u | b[0] | (static_cast<std::uint32_t>(b[1]) << 8) | (static_cast<std::uint32_t>(b[2]) << 16);
}

}  // namespace

void DecodeRle(const BYTE* s, std::size_t n, bool fourBit, int width, int height, std::vector<BYTE>& indices) {
  indices.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
  // x, y count from the bottom-left corner: run-length rows are stored bottom-up.
  long x = 0;
  long y = 0;
  auto put = [&](BYTE index) {
    if (x >= 0 && x < width && y >= 0 && y < height) {
      indices[static_cast<std::size_t>(height - 1 - y) * static_cast<std::size_t>(width) +
              static_cast<std::size_t>(x)] = index;
    }
    ++x;
  };
  std::size_t i = 0;
  while (i + 1 < n && y < height) {
    BYTE count = s[i];
    BYTE value = s[i + 1];
    i += 2;
    if (count > 0) {
      // An encoded run: one colour, or two alternating nibbles for 4-bit runs.
      for (int k = 0; k < count; ++k) {
        if (fourBit) put((k & 1) ? (value & 0x0F) : (value >> 4));
        else put(value);
      }
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of bitmap
      break;
    } else if (value == 2) {  // delta: move right and up
      if (i + 1 >= n) break;
      x += s[i];
      y += s[i + 1];
      i += 2;
    } else {  // literal run of value pixels, padded to a 16-bit boundary
      std::size_t bytes = fourBit ? (static_cast<std::size_t>(value) + 1) / 2 : value;
      if (bytes > n - i) bytes = n - i;
      for (std::size_t k = 0; k < bytes; ++k) {
        BYTE b = s[i + k];
        if (fourBit) {
          put(b >> 4);
          if (2 * k + 1 < value) put(b & 0x0F);
        } else {
          put(b);
        }
      }
      i += bytes + (bytes & 1);
    }
  }
}

std::vector<BYTE> DecodeIndices(const BYTE* dib, const Layout& l) {
  std::vector<BYTE> indices;
  const WORD bits = l.header.bitCount;
  if (bits > 8) return indices;
  if (l.IsRle()) {
    DecodeRle(dib + l.bitsOffset, l.imageBytes, l.header.compression == kRle4, l.width, l.height, indices);
    return indices;
  }
  indices.resize(static_cast<std::size_t>(l.width) * static_cast<std::size_t>(l.height));
  for (int y = 0; y < l.height; ++y) {
    const BYTE* row = dib + l.RowOffset(l.MemoryRow(y));
    BYTE* out = indices.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(l.width);
    for (int x = 0; x < l.width; ++x) out[x] = IndexAt(row, bits, x);
  }
  return indices;
}

COLORREF Color555(WORD v) {
  auto widen = [](unsigned f) { return static_cast<BYTE>((f << 3) | (f >> 2)); };
  return RGB(widen((v >> 10) & 31), widen((v >> 5) & 31), widen(v & 31));
}

CPixelImage DecodeToImage(const std::vector<BYTE>& dib, int usage, const CLogPalette* palette) {
  auto layout = Describe(dib);
  if (!layout) return CPixelImage();
  const Layout& l = *layout;
  // The 32-bit form obeys the same cap as the stored pixels.
  if (static_cast<ULONGLONG>(l.width) * static_cast<ULONGLONG>(l.height) * 4 > kMaxImageBytes) return CPixelImage();
  CPixelImage image(l.width, l.height);
  if (image.IsNull()) return image;
  const BYTE* p = dib.data();

  if (l.header.bitCount <= 8) {
    std::array<std::uint32_t, 256> colors{};
    colors.fill(CPixelImage::ToPixel(0));
    for (DWORD i = 0; i < l.colors && i < 256; ++i) {
      COLORREF c = 0;
      if (usage == kPalColors) {
        // The table holds 16-bit palette indices.
        WORD index = Le16(p + l.headerBytes + i * 2);
        if (palette && index < palette->Entries().size()) c = palette->Entries()[index].Color();
      } else {
        c = TableColor(p, l, i);
      }
      colors[i] = CPixelImage::ToPixel(c);
    }
    std::vector<BYTE> indices = DecodeIndices(p, l);
    for (int y = 0; y < l.height; ++y) {
      std::uint32_t* out = image.Row(y);
      const BYTE* in = indices.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(l.width);
      for (int x = 0; x < l.width; ++x) out[x] = colors[in[x]];
    }
    return image;
  }

  for (int y = 0; y < l.height; ++y) {
    const BYTE* row = p + l.RowOffset(l.MemoryRow(y));
    std::uint32_t* out = image.Row(y);
    for (int x = 0; x < l.width; ++x) {
      switch (l.header.bitCount) {
        case 16: out[x] = CPixelImage::ToPixel(Color555(Le16(row + 2 * x))); break;
        case 24: out[x] = BgrPixel(row + 3 * x); break;
        default: out[x] = BgrPixel(row + 4 * x); break;
      }
    }
  }
  return image;
}

}  // namespace tvn::dib
