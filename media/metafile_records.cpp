// Reading the palettes, regions and pattern brushes that metafile records carry.
#include "media/metafile_records.h"

#include <algorithm>
#include <vector>

#include "media/dib_decode.h"
#include "media/dib_format.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/pixel_image.h"
#include "platform/gdi/rgn.h"

namespace tvn::wmf {
namespace {

constexpr BYTE kPaletteIndex = 0x01;
constexpr BYTE kPaletteRgb = 0x02;
constexpr std::size_t kEntryBytes = 4;
// Words before the first scan of a region: chain, type, object count (2),
// region size, scan count, largest scan, bounding box (4).
constexpr std::size_t kRegionHeaderWords = 11;
// Bytes before a device bitmap's bits: its 14-byte header and 18 reserved.
constexpr std::size_t kPatternBitsOffset = 32;

PaletteEntry EntryAt(const BYTE* e) { return {e[0], e[1], e[2], e[3]}; }

// A pattern brush of monochrome rows in the layer's form (16-bit padded, set bits the background).
std::unique_ptr<CBrush> MonochromeBrush(int width, int height, const std::vector<BYTE>& rows) {
  CBitmap bitmap;
  if (!bitmap.CreateBitmap(width, height, 1, 1, rows.data())) return nullptr;
  auto brush = std::make_unique<CBrush>();
  if (!brush->CreatePatternBrush(&bitmap)) return nullptr;
  return brush;
}

}  // namespace

COLORREF ResolveColor(DWORD stored, const CLogPalette& palette) {
  switch (static_cast<BYTE>(stored >> 24)) {
    case kPaletteIndex: {
      const auto& entries = palette.Entries();
      if (entries.empty()) return 0;
      const std::size_t index = stored & 0xFFFF;
      return (index < entries.size() ? entries[index] : entries[0]).Color();
    }
    case kPaletteRgb:
    default: return stored & 0xFFFFFF;
  }
}

CLogPalette ReadPalette(const Params& p) {
  const std::size_t count = p.U(1);
  const std::size_t held = std::min(count, p.BytesFrom(2) / kEntryBytes);
  std::vector<PaletteEntry> entries;
  entries.reserve(held);
  for (std::size_t i = 0; i < held; ++i) entries.push_back(EntryAt(p.Bytes(2) + i * kEntryBytes));
  return CLogPalette(std::move(entries));
}

void SetPaletteEntries(CLogPalette& palette, const Params& p) {
  const std::size_t first = p.U(0), count = p.U(1);
  const std::size_t held = std::min(count, p.BytesFrom(2) / kEntryBytes);
  auto& entries = palette.Entries();
  for (std::size_t i = 0; i < held && first + i < entries.size(); ++i)
    entries[first + i] = EntryAt(p.Bytes(2) + i * kEntryBytes);
}

std::unique_ptr<CRgn> ReadRegion(const Params& p) {
  std::vector<CRect> spans;
  const std::size_t scans = p.U(5);
  std::size_t word = kRegionHeaderWords;
  for (std::size_t i = 0; i < scans; ++i) {
    // A scan: its coordinate count, top, bottom, the left/right pairs, the count again.
    const std::size_t coordinates = p.U(word);
    if (!p.Has(word + 3 + coordinates)) break;
    const int top = p.S(word + 1), bottom = p.S(word + 2);
    for (std::size_t k = 0; k + 1 < coordinates; k += 2) {
      const int left = p.S(word + 3 + k), right = p.S(word + 4 + k);
      spans.emplace_back(left, top, right, bottom);
    }
    word += 4 + coordinates;
  }
  auto region = std::make_unique<CRgn>();
  region->CreateFromRects(spans);
  return region;
}

std::vector<BYTE> DibWithRgbColours(std::span<const BYTE> dib, WORD usage, const CLogPalette& palette) {
  std::vector<BYTE> out(dib.begin(), dib.end());
  if (usage != dib::kPalColors) return out;
  auto le16 = [&](std::size_t at) { return static_cast<DWORD>(dib[at] | (dib[at + 1] << 8)); };
  auto le32 = [&](std::size_t at) { return le16(at) | (le16(at + 2) << 16); };
  if (dib.size() < dib::kInfoHeaderSize) return {};
  const DWORD headerBytes = le32(0);
  if (headerBytes < dib::kInfoHeaderSize || headerBytes > dib.size()) return {};
  const DWORD bitCount = le16(14), used = le32(32);
  if (bitCount > 8) return out;  // no colour table to index
  // A table longer than the largest is kept to its first entries; the pixels follow all of it.
  const DWORD stored = used ? used : (1u << bitCount);
  const DWORD colours = std::min(stored, dib::kMaxColors);
  const std::size_t tableEnd = headerBytes + std::size_t{2} * stored;
  if (tableEnd > dib.size()) return {};
  out.assign(dib.begin(), dib.begin() + headerBytes);
  for (DWORD i = 0; i < colours; ++i) {
    const COLORREF c = ResolveColor(0x01000000u | le16(headerBytes + 2 * i), palette);
    out.insert(out.end(), {GetBValue(c), GetGValue(c), GetRValue(c), 0});
  }
  // The table now holds exactly those colours.
  out[32] = static_cast<BYTE>(colours);
  out[33] = static_cast<BYTE>(colours >> 8);
  out[34] = out[35] = 0;
  out.insert(out.end(), dib.begin() + static_cast<std::ptrdiff_t>(tableEnd), dib.end());
  return out;
}

std::optional<DibBand> NarrowToBand(std::vector<BYTE>& dib, int first, int lines) {
  const auto header = dib::ParseHeader(dib.data(), dib.size());
  if (!header || first < 0 || lines <= 0) return std::nullopt;
  const LONGLONG whole = header->height < 0 ? -static_cast<LONGLONG>(header->height) : header->height;
  if (whole == 0 || whole > dib::kMaxSide || first >= whole) return std::nullopt;
  DibBand band;
  band.height = static_cast<int>(whole);
  band.topDown = header->height < 0;
  band.rows = static_cast<int>(std::min<LONGLONG>(lines, whole - first));
  // Scan lines follow the stored order: down from the top of a top-down DIB, up from the bottom of the other.
  band.top = band.topDown ? first : band.height - first - band.rows;
  if (header->compression == dib::kRle8 || header->compression == dib::kRle4) return band;
  band.pictureTop = band.top;
  if (header->size == dib::kCoreHeaderSize)
    dib::PutLe16(dib.data() + 6, static_cast<WORD>(band.rows));
  else
    dib::PutLe32(dib.data() + 8, static_cast<DWORD>(band.topDown ? -band.rows : band.rows));
  return band;
}

void RegionToDevice(const CRgn& logical, const CDC& dc, CRgn& device) {
  std::vector<CRect> rects = logical.GetRects();
  for (CRect& r : rects) {
    dc.LPtoDP(&r);
    r.NormalizeRect();
  }
  device.CreateFromRects(rects);
}

std::unique_ptr<CBrush> ReadPatternBrush(const Params& p) {
  const int width = p.S(1), height = p.S(2);
  const std::size_t widthBytes = p.U(3);
  const std::span<const BYTE> header = p.Rest(0);
  if (header.size() < kPatternBitsOffset || width <= 0 || height <= 0) return nullptr;
  const BYTE planes = header[8], bitsPixel = header[9];
  if (planes != 1 || bitsPixel != 1) return nullptr;
  const std::size_t minBytes = (static_cast<std::size_t>(width) + 7) / 8;
  if (widthBytes < minBytes) return nullptr;
  const std::span<const BYTE> bits = header.subspan(kPatternBitsOffset);
  if (bits.size() / widthBytes < static_cast<std::size_t>(height)) return nullptr;
  // Our monochrome rows are padded to 16 bits; the record's may be wider.
  const std::size_t ours = (minBytes + 1) & ~std::size_t{1};
  std::vector<BYTE> rows(ours * static_cast<std::size_t>(height), 0);
  for (int y = 0; y < height; ++y) {
    std::copy_n(bits.begin() + static_cast<std::ptrdiff_t>(widthBytes * static_cast<std::size_t>(y)), minBytes,
                rows.begin() + static_cast<std::ptrdiff_t>(ours * static_cast<std::size_t>(y)));
  }
  return MonochromeBrush(width, height, rows);
}

std::unique_ptr<CBrush> ReadDibPatternBrush(const Params& p, const CLogPalette& palette) {
  const std::vector<BYTE> bytes = DibWithRgbColours(p.Rest(2), p.U(1), palette);
  if (bytes.empty()) return nullptr;
  if (p.U(0) == BS_PATTERN) {
    // The style of a device pattern: a two-colour DIB becomes a monochrome
    // bitmap, drawn in the text and background colours like any.
    const auto layout = dib::Describe(bytes);
    if (layout && layout->header.bitCount == 1) {
      const std::vector<BYTE> indices = dib::DecodeIndices(bytes.data(), *layout);
      const std::size_t stride = ((static_cast<std::size_t>(layout->width) + 15) / 16) * 2;
      std::vector<BYTE> rows(stride * static_cast<std::size_t>(layout->height), 0);
      const auto width = static_cast<std::size_t>(layout->width);
      for (std::size_t y = 0; y < static_cast<std::size_t>(layout->height); ++y)
        for (std::size_t x = 0; x < width; ++x)
          if (indices[y * width + x]) rows[stride * y + x / 8] |= static_cast<BYTE>(0x80u >> (x % 8));
      return MonochromeBrush(layout->width, layout->height, rows);
    }
  }
  const CPixelImage picture = dib::DecodeToImage(bytes);
  if (picture.IsNull()) return nullptr;
  const int width = picture.Width(), height = picture.Height();
  std::vector<DWORD> rows(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y)
    std::copy_n(picture.Row(y), width, rows.begin() + static_cast<std::ptrdiff_t>(y) * width);
  CBitmap bitmap;
  if (!bitmap.CreateBitmap(width, height, 1, 32, rows.data())) return nullptr;
  auto brush = std::make_unique<CBrush>();
  if (!brush->CreatePatternBrush(&bitmap)) return nullptr;
  return brush;
}

}  // namespace tvn::wmf
