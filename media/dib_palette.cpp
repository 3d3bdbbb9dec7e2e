// CDib: palettes from pictures and files, and conversions that change how a DIB stores its colours.
#include "media/dib.h"

#include <algorithm>
#include <array>

#include "media/bmp_reader.h"
#include "media/dib_decode.h"
#include "media/dib_encode.h"
#include "media/pal_file.h"

using namespace tvn::dib;

namespace {

// The DIB's own colours, one entry each with PC_NOCOLLAPSE; nothing without a table.
std::vector<PaletteEntry> TableEntries(const std::vector<BYTE>& dib, const Layout& l) {
  std::vector<PaletteEntry> entries;
  for (DWORD i = 0; i < l.colors; ++i) {
    COLORREF c = TableColor(dib.data(), l, i);
    entries.push_back({GetRValue(c), GetGValue(c), GetBValue(c), PC_NOCOLLAPSE});
  }
  return entries;
}

}  // namespace

PaletteHandle CDib::Keep(CLogPalette palette) {
  hPalette = std::make_shared<CLogPalette>(std::move(palette));
  return hPalette;
}

PaletteHandle CDib::LoadPaletteFile(const CString& name, const FileErrorReport& report) {
  CFile file;
  CFileException error;
  if (!file.Open(name, CFile::modeRead | CFile::shareDenyWrite, &error)) {
    if (report) report(name, error, FALSE, kMsgCannotReadFile);
    return nullptr;
  }
  return LoadPaletteFrom(file, name, report);
}

PaletteHandle CDib::LoadPaletteFrom(CFile& source, const CString& name, const FileErrorReport& report) {
  // The name as given decides, case-sensitively: ".pal" is read as a bitmap.
  if (name.Find(".PAL") >= 0 || name.Find(".RDI") >= 0) {
    // A file that is no palette gives none, not the palette held before.
    return ReadPaletteFile(source) ? hPalette : nullptr;
  }
  try {
    hDib = ReadDibHeader(source);
  } catch (const CException& e) {
    hDib.clear();
    if (report) report(name, e, FALSE, kMsgCannotReadFile);
  }
  if (hDib.empty()) return nullptr;
  SetPaletteFromDib(hDib, TRUE);
  return hPalette;
}

BOOL CDib::ReadPaletteFile(CFile& file) {
  CLogPalette palette;
  if (ReadPalFile(file, palette) != PalFileError::none) return FALSE;
  Keep(std::move(palette));
  return TRUE;
}

PaletteHandle CDib::SetPaletteFromDib(const std::vector<BYTE>& dib, BOOL identity, const CLogPalette* presentation) {
  auto layout = Describe(dib, false);
  if (!layout) return nullptr;
  hPalette.reset();
  if (layout->header.bitCount <= 4) return nullptr;
  return identity ? CreateIdentityPalette(dib, presentation) : CreatePaletteFromDib(dib);
}

PaletteHandle CDib::CreatePaletteFromDib(const std::vector<BYTE>& dib) {
  auto layout = Describe(dib, false);
  if (!layout) return nullptr;
  if (layout->colors > 0) return Keep(CLogPalette(TableEntries(dib, *layout)));
  if (layout->header.bitCount == 24) return CreateCubePalette();
  return nullptr;
}

PaletteHandle CDib::CreateIdentityPalette(const std::vector<BYTE>& dib, const CLogPalette* presentation,
                                          int staticColors) {
  auto layout = Describe(dib, false);
  if (!layout) return nullptr;
  if (layout->colors == 0) return CreatePaletteFromDib(dib);
  const int s = std::clamp(staticColors / 2, 0, 128);
  std::vector<PaletteEntry> entries(256);
  if (presentation) {
    const auto& from = presentation->Entries();
    std::copy_n(from.begin(), std::min<std::size_t>(from.size(), 256), entries.begin());
  }
  for (auto& e : entries) e.flags = PC_NOCOLLAPSE;
  for (int i = 0; i < s; ++i) {
    entries[static_cast<std::size_t>(i)].flags = 0;
    entries[static_cast<std::size_t>(255 - i)].flags = 0;
  }
  std::vector<PaletteEntry> own = TableEntries(dib, *layout);
  const std::size_t room = static_cast<std::size_t>(256 - 2 * s);
  std::copy_n(own.begin(), std::min(own.size(), room), entries.begin() + s);
  return Keep(CLogPalette(std::move(entries)));
}

PaletteHandle CDib::CreateCubePalette() { return Keep(CLogPalette::Cube()); }

PaletteHandle CDib::CreateSystemPalette() {
  // The true-colour display's system palette is its 20 static colours, all
  // of them static, so no entry is marked PC_NOCOLLAPSE.
  return Keep(CLogPalette::SystemDefault());
}

PaletteHandle CDib::CreateFadePalette(COLORREF from, COLORREF to, BYTE count) {
  if (count == 0) return nullptr;
  return Keep(CLogPalette::Fade(from, to, count));
}

BOOL CDib::ComparePalettes(const PaletteHandle& a, const PaletteHandle& b) const {
  const PaletteHandle& other = b ? b : hPalette;
  if (a == other) return TRUE;  // the same palette, or none on both sides
  if (!a || !other) return FALSE;
  return a->SameColors(*other);
}

BOOL CDib::SetPaletteFlags(int first, int count, BYTE flags) {
  if (!hPalette || first < 0) return FALSE;
  auto& entries = hPalette->Entries();
  const int size = static_cast<int>(entries.size());
  if (first > size) return FALSE;
  const int last = count < 0 ? size : std::min(size, first + count);
  for (int i = first; i < last; ++i) entries[static_cast<std::size_t>(i)].flags = flags;
  return TRUE;
}

const std::vector<BYTE>& CDib::FromBitmap(const CPixelImage& bitmap, DWORD compression, int bitCount,
                                          const CLogPalette* palette, int usage) {
  static const std::vector<BYTE> kNone;
  if (bitmap.IsNull()) return kNone;
  const CLogPalette stock = CLogPalette::SystemDefault();
  if (!palette) palette = &stock;
  if (bitCount == 0) bitCount = bitmap.BitsPerPixel();
  std::vector<BYTE> dib = EncodeDib(bitmap, static_cast<WORD>(bitCount), compression, palette, usage);
  if (dib.empty()) return kNone;
  hDib = std::move(dib);
  return hDib;
}

std::vector<BYTE> CDib::ChangeFormat(DWORD compression, int bitCount, int usage) {
  auto layout = Describe(hDib);
  if (!layout) return {};
  if (layout->header.compression == compression && layout->header.bitCount == bitCount) return hDib;
  // Without a palette an identity palette serves for this conversion only.
  CLogPalette own;
  const CLogPalette* palette = hPalette.get();
  if (!palette) {
    if (CreateIdentityPalette(hDib)) own = *hPalette;
    hPalette.reset();
    palette = &own;
  }
  CPixelImage bitmap = DibToBitmap(hDib, kRgbColors, palette);
  if (bitmap.IsNull()) return {};
  return FromBitmap(bitmap, compression, bitCount, palette, usage);
}

std::vector<BYTE> CDib::BitmapToIndexedDib(const CPixelImage& bitmap, int bitCount, const CLogPalette* palette) {
  const CLogPalette stock = CLogPalette::SystemDefault();
  if (!palette || palette->GetEntryCount() == 0) palette = &stock;
  if (bitCount == 0) bitCount = palette->GetEntryCount() <= 16 ? 4 : 8;
  if (bitCount != 1 && bitCount != 4 && bitCount != 8) return {};
  return EncodeDib(bitmap, static_cast<WORD>(bitCount), kRgb, palette);
}

BOOL CDib::MapToPalette(const CLogPalette& palette) {
  auto layout = Describe(hDib);
  if (!layout || palette.GetEntryCount() == 0) return FALSE;
  const Layout& l = *layout;
  const WORD bits = l.header.bitCount;
  // One bit cannot hold another palette's indices, and deeper pictures hold
  // colours, not indices: both are left as they are.
  if (bits != 4 && bits != 8) return FALSE;

  // Nearest colours among the entries the new colour table will hold, so
  // every mapped index has its colour.
  const std::size_t kept = std::min<std::size_t>(static_cast<std::size_t>(palette.GetEntryCount()), l.colors);
  CLogPalette target(std::vector<PaletteEntry>(palette.Entries().begin(), palette.Entries().begin() +
                                                                               static_cast<std::ptrdiff_t>(kept)));
  std::array<BYTE, 256> map{};
  for (DWORD i = 0; i < 256; ++i) {
    map[i] = i < l.colors ? static_cast<BYTE>(target.GetNearestPaletteIndex(TableColor(hDib.data(), l, i)))
                          : static_cast<BYTE>(i < kept ? i : 0);
  }

  BYTE* bitsStart = hDib.data() + l.bitsOffset;
  if (l.header.compression == kRle8) {
    // Walk the run stream, mapping colour bytes and stepping over the rest.
    std::size_t i = 0;
    const std::size_t n = l.imageBytes;
    while (i + 1 < n) {
      BYTE count = bitsStart[i];
      BYTE value = bitsStart[i + 1];
      if (count > 0) {
        bitsStart[i + 1] = map[value];
        i += 2;
      } else if (value == 0) {
        i += 2;
      } else if (value == 1) {
        break;
      } else if (value == 2) {
        i += 4;
      } else {
        i += 2;
        for (std::size_t k = 0; k < value && i + k < n; ++k) bitsStart[i + k] = map[bitsStart[i + k]];
        i += value + (value & 1);
      }
    }
  } else if (l.header.compression == kRgb) {
    for (int r = 0; r < l.height; ++r) {
      BYTE* row = hDib.data() + l.RowOffset(r);
      if (bits == 8) {
        for (int x = 0; x < l.width; ++x) row[x] = map[row[x]];
      } else {
        for (int x = 0; x < (l.width + 1) / 2; ++x) {
          row[x] = static_cast<BYTE>((map[row[x] >> 4] << 4) | (map[row[x] & 0x0F] & 0x0F));
        }
      }
    }
  }  // run-length 4-bit pixels stay as they are

  BYTE* table = hDib.data() + l.headerBytes;
  const std::size_t entrySize = l.core ? 3 : 4;
  for (DWORD i = 0; i < l.colors; ++i) {
    PaletteEntry e = i < kept ? palette.Entries()[i] : PaletteEntry{};
    BYTE* t = table + i * entrySize;
    t[0] = e.blue;
    t[1] = e.green;
    t[2] = e.red;
    if (!l.core) t[3] = 0;
  }
  return TRUE;
}

BOOL CDib::SetColorTable(int usage) {
  if (!hPalette) Keep(CLogPalette::SystemDefault());
  auto layout = Describe(hDib, false);
  if (!layout) return FALSE;
  const Layout& l = *layout;
  BYTE* table = hDib.data() + l.headerBytes;
  const std::size_t entrySize = l.core ? 3 : 4;
  if (usage == kPalColors) {
    for (DWORD i = 0; i < l.colors; ++i) PutLe16(table + i * 2, static_cast<WORD>(i));
    return TRUE;
  }
  const auto& entries = hPalette->Entries();
  const std::size_t n = std::min<std::size_t>(l.colors, entries.size());
  for (std::size_t i = 0; i < n; ++i) {
    BYTE* t = table + i * entrySize;
    t[0] = entries[i].blue;
    t[1] = entries[i].green;
    t[2] = entries[i].red;
    if (!l.core) t[3] = 0;
  }
  return TRUE;
}
