// Pixel encoding of packed DIBs.
#include "media/dib_encode.h"

#include <algorithm>
#include <unordered_map>

namespace tvn::dib {
namespace {

bool IsEncodable(WORD bitCount, DWORD compression) {
  InfoHeader h;
  h.bitCount = bitCount;
  h.compression = compression;
  return IsSupportedFormat(h);
}

std::vector<PaletteEntry> TableFor(WORD bitCount, const CLogPalette* palette) {
  const std::size_t most = std::size_t{1} << bitCount;
  // Depths too small for the palette fall back to the standard colours.
  if (bitCount == 1) return {{0, 0, 0, 0}, {255, 255, 255, 0}};
  if (palette && palette->GetEntryCount() > 0 && static_cast<std::size_t>(palette->GetEntryCount()) <= most) {
    return palette->Entries();
  }
  if (bitCount == 4) return CLogPalette::Standard16().Entries();
  std::vector<PaletteEntry> entries = palette && palette->GetEntryCount() > 0 ? palette->Entries()
                                                                               : CLogPalette::SystemDefault().Entries();
  if (entries.size() > most) entries.resize(most);
  return entries;
}

}  // namespace

std::vector<BYTE> EncodeRle(const std::vector<BYTE>& indices, int width, int height, bool fourBit) {
  std::vector<BYTE> out;
  for (int r = 0; r < height; ++r) {
    // Memory row r is picture row height - 1 - r.
    const BYTE* row = indices.data() + static_cast<std::size_t>(height - 1 - r) * static_cast<std::size_t>(width);
    int x = 0;
    while (x < width) {
      int run = 1;
      while (x + run < width && run < 255 && row[x + run] == row[x]) ++run;
      out.push_back(static_cast<BYTE>(run));
      out.push_back(fourBit ? static_cast<BYTE>((row[x] << 4) | (row[x] & 0x0F)) : row[x]);
      x += run;
    }
    out.push_back(0);
    out.push_back(r == height - 1 ? 1 : 0);
  }
  return out;
}

std::vector<BYTE> EncodeDib(const CPixelImage& image, WORD bitCount, DWORD compression, const CLogPalette* palette,
                            int usage) {
  if (image.IsNull() || !IsEncodable(bitCount, compression)) return {};
  const int width = image.Width();
  const int height = image.Height();
  InfoHeader h;
  h.width = width;
  h.height = height;
  h.bitCount = bitCount;
  h.compression = compression;

  std::vector<PaletteEntry> table;
  if (bitCount <= 8) {
    table = TableFor(bitCount, palette);
    if (table.size() < (std::size_t{1} << bitCount)) h.clrUsed = static_cast<DWORD>(table.size());
  }
  const std::size_t tableBytes = static_cast<std::size_t>(NumColors(h)) * 4;
  const std::size_t stride = static_cast<std::size_t>(RowStride(bitCount, width));

  // Index map for the palette depths, with a cache: pictures repeat colours.
  std::vector<BYTE> indices;
  if (bitCount <= 8) {
    CLogPalette lookup(table);
    std::unordered_map<std::uint32_t, BYTE> nearest;
    indices.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
      const std::uint32_t* in = image.Row(y);
      for (int x = 0; x < width; ++x) {
        auto [it, added] = nearest.try_emplace(in[x], 0);
        if (added) it->second = static_cast<BYTE>(lookup.GetNearestPaletteIndex(CPixelImage::ToColorRef(in[x])));
        indices[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
            it->second;
      }
    }
  }

  std::vector<BYTE> pixels;
  if (compression != kRgb) {
    pixels = EncodeRle(indices, width, height, compression == kRle4);
  } else {
    pixels.assign(stride * static_cast<std::size_t>(height), 0);
    for (int r = 0; r < height; ++r) {
      const int y = height - 1 - r;
      BYTE* out = pixels.data() + static_cast<std::size_t>(r) * stride;
      const std::uint32_t* in = image.Row(y);
      const BYTE* idx = indices.empty() ? nullptr : indices.data() + static_cast<std::size_t>(y) * width;
      for (int x = 0; x < width; ++x) {
        std::uint32_t p = in[x];
        switch (bitCount) {
          case 1: out[x / 8] |= static_cast<BYTE>((idx[x] & 1) << (7 - x % 8)); break;
          case 4: out[x / 2] |= static_cast<BYTE>((x & 1) ? (idx[x] & 0x0F) : (idx[x] << 4)); break;
          case 8: out[x] = idx[x]; break;
          case 16: {
            WORD v = static_cast<WORD>((((p >> 19) & 31) << 10) | (((p >> 11) & 31) << 5) | ((p >> 3) & 31));
            PutLe16(out + 2 * x, v);
            break;
          }
          case 24:
            out[3 * x] = static_cast<BYTE>(p);
            out[3 * x + 1] = static_cast<BYTE>(p >> 8);
            out[3 * x + 2] = static_cast<BYTE>(p >> 16);
            break;
          default:
            out[4 * x] = static_cast<BYTE>(p);
            out[4 * x + 1] = static_cast<BYTE>(p >> 8);
            out[4 * x + 2] = static_cast<BYTE>(p >> 16);
            break;
        }
      }
    }
  }
  h.sizeImage = static_cast<DWORD>(pixels.size());

  std::vector<BYTE> dib(kInfoHeaderSize + tableBytes + pixels.size(), 0);
  StoreInfoHeader(h, dib.data());
  BYTE* t = dib.data() + kInfoHeaderSize;
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (usage == kPalColors) {
      PutLe16(t + 2 * i, static_cast<WORD>(i));
    } else {
      t[4 * i] = table[i].blue;
      t[4 * i + 1] = table[i].green;
      t[4 * i + 2] = table[i].red;
    }
  }
  std::copy(pixels.begin(), pixels.end(), dib.begin() + static_cast<std::ptrdiff_t>(kInfoHeaderSize + tableBytes));
  return dib;
}

}  // namespace tvn::dib
