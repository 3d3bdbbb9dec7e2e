// CDib: files, header queries, conversions to and from the device-dependent form, masks and pixels.
#include "media/dib.h"

#include <algorithm>

#include "media/bmp_reader.h"
#include "media/bmp_writer.h"
#include "media/dib_decode.h"
#include "media/dib_encode.h"
#include "platform/user/wait_cursor.h"

using namespace tvn::dib;

IMPLEMENT_SERIAL(CDib, CObject, VERSIONABLE_SCHEMA | 2)

CDib::CDib(const CDib& other)
    : CObject(other),
      hDib(other.hDib),
      hPalette(other.hPalette ? std::make_shared<CLogPalette>(*other.hPalette) : nullptr),
      hBitmap(other.hBitmap),
      hMask(other.hMask),
      hMaskDib(other.hMaskDib) {}

CDib& CDib::operator=(const CDib& other) {
  if (this != &other) {
    CDib copy(other);
    hDib = std::move(copy.hDib);
    hPalette = std::move(copy.hPalette);
    hBitmap = std::move(copy.hBitmap);
    hMask = std::move(copy.hMask);
    hMaskDib = std::move(copy.hMaskDib);
  }
  return *this;
}

void CDib::Free() {
  hDib.clear();
  hMaskDib.clear();
  hPalette.reset();
  hBitmap = CPixelImage();
  hMask = CPixelImage();
}

void CDib::AttachBitmap(CPixelImage bitmap) {
  Free();
  hBitmap = std::move(bitmap);
}

BOOL CDib::CheckFile(const CString& name) {
  CFile file(name, CFile::modeRead | CFile::shareDenyWrite);
  file.Close();
  return TRUE;
}

std::vector<BYTE> CDib::LoadFile(const CString& name, const FileErrorReport& report) {
  CFile file;
  if (!file.Open(name, CFile::modeRead | CFile::shareDenyWrite)) return {};
  try {
    return ReadFromFile(file);
  } catch (const CException& e) {
    file.Abort();
    if (report) report(name, e, FALSE, kMsgCannotReadFile);
  }
  return {};
}

std::vector<BYTE> CDib::ReadFromFile(CFile& file) { return ReadDib(file); }

BOOL CDib::SaveFile(const CString& name, const FileErrorReport& report) {
  CFile file;
  CFileException error;
  if (!file.Open(name, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive, &error)) {
    if (report) report(name, error, TRUE, kMsgCannotCreateFile);
    return FALSE;
  }
  try {
    BOOL written = WriteToFile(file);
    file.Close();
    return written;
  } catch (const CException& e) {
    file.Abort();
    if (report) report(name, e, TRUE, kMsgCannotWriteFile);
  }
  return FALSE;
}

BOOL CDib::WriteToFile(CFile& file) {
  CWaitCursor wait;
  return WriteBmp(hDib, file);
}

BOOL CDib::ReadHeader(const std::vector<BYTE>& dib, InfoHeader& header) {
  auto layout = Describe(dib, false);
  if (!layout) return FALSE;
  header = layout->header;
  header.size = kInfoHeaderSize;
  return TRUE;
}

int CDib::GetWidth() const {
  InfoHeader h;
  return ReadHeader(hDib, h) ? h.width : 0;
}

int CDib::GetHeight() const {
  auto layout = Describe(hDib, false);
  return layout ? layout->height : 0;
}

void CDib::GetSize(int& width, int& height) const {
  width = GetWidth();
  height = GetHeight();
}

void CDib::GetRect(CRect& rect) const { rect = CRect(0, 0, GetWidth(), GetHeight()); }

CPixelImage CDib::DibToBitmap(const std::vector<BYTE>& dib, int usage, const CLogPalette* palette) const {
  return DecodeToImage(dib, usage, palette ? palette : hPalette.get());
}

std::vector<BYTE> CDib::BitmapToDib(const CPixelImage& bitmap, const CLogPalette* palette) {
  return EncodeDib(bitmap, bitmap.IsMonochrome() ? 1 : 24, kRgb, palette);
}

const std::vector<BYTE>& CDib::ConvertBitmapToDib(int bitCount, DWORD compression) {
  static const std::vector<BYTE> kNone;
  // Bit count 0 lets the compression choose the depth.
  if (bitCount == 0 && compression == kRle4) bitCount = 4;
  else if (bitCount == 0 && compression == kRle8) bitCount = 8;
  const bool accepted = (bitCount == 1 && compression == kRgb) ||
                        (bitCount == 4 && (compression == kRgb || compression == kRle4)) ||
                        (bitCount == 8 && (compression == kRgb || compression == kRle8)) ||
                        (bitCount == 24 && compression == kRgb);
  if (!accepted || hBitmap.IsNull()) return kNone;
  if (!hPalette) CreateSystemPalette();
  std::vector<BYTE> dib = EncodeDib(hBitmap, static_cast<WORD>(bitCount), compression, hPalette.get());
  if (dib.empty()) return kNone;
  hDib = std::move(dib);
  return hDib;
}

void CDib::CreateMask(COLORREF key) {
  hMask = CPixelImage();
  if (hBitmap.IsNull()) return;
  CPixelImage mask(hBitmap.Width(), hBitmap.Height(), 1);
  const std::uint32_t keyPixel = CPixelImage::ToPixel(key);
  for (int y = 0; y < hBitmap.Height(); ++y) {
    const std::uint32_t* in = hBitmap.Row(y);
    std::uint32_t* out = mask.Row(y);
    for (int x = 0; x < hBitmap.Width(); ++x) {
      out[x] = (in[x] | 0xFF000000u) == keyPixel ? 0xFFFFFFFFu : 0xFF000000u;
    }
  }
  hMask = std::move(mask);
}

void CDib::CreateMaskDib(COLORREF key) {
  CreateMask(key);
  hMaskDib = BitmapToDib(hMask);
  hMask = CPixelImage();
}

BOOL CDib::IsOpaqueAt(CPoint point) const {
  if (hMask.IsNull()) return TRUE;
  return hMask.GetPixel(point.x, point.y) != RGB(255, 255, 255);
}

const CPixelImage& CDib::CaptureScreenRect(const CRect& rect, const CPixelImage& screen) {
  hBitmap = CPixelImage();
  if (rect.IsRectEmpty() || screen.IsNull()) return hBitmap;
  CRect r(std::max<LONG>(rect.left, 0), std::max<LONG>(rect.top, 0), std::min<LONG>(rect.right, screen.Width()),
          std::min<LONG>(rect.bottom, screen.Height()));
  if (r.IsRectEmpty()) return hBitmap;
  hBitmap = screen.Copy(r.left, r.top, r.Width(), r.Height());
  return hBitmap;
}

BOOL CDib::GetPixel(int x, int y, COLORREF& colour) const {
  auto layout = Describe(hDib);
  if (!layout || x < 0 || y < 0 || x >= layout->width || y >= layout->height) return FALSE;
  const Layout& l = *layout;
  const BYTE* p = hDib.data();
  const WORD bits = l.header.bitCount;
  if (bits <= 8) {
    BYTE index;
    if (l.IsRle()) {
      // Run-length pixels have no fixed address: decode the picture.
      index = DecodeIndices(p, l)[static_cast<std::size_t>(y) * static_cast<std::size_t>(l.width) +
                                  static_cast<std::size_t>(x)];
    } else {
      index = IndexAt(p + l.RowOffset(l.MemoryRow(y)), bits, x);
    }
    if (index < l.header.clrUsed) colour = TableColor(p, l, index);
    return TRUE;
  }
  const BYTE* row = p + l.RowOffset(l.MemoryRow(y));
  switch (bits) {
    case 16: colour = Color555(Le16(row + 2 * x)); break;
    case 24: colour = RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]); break;
    default: colour = RGB(row[4 * x + 2], row[4 * x + 1], row[4 * x]); break;
  }
  return TRUE;
}

COLORREF CDib::GetBitmapPixel(int x, int y) const {
  if (hBitmap.IsNull()) return 0;
  return hBitmap.GetPixel(x, y);
}

const std::vector<BYTE>& CDib::CopyFromHandle(const std::vector<BYTE>& dib) {
  hDib = dib;
  return hDib;
}

BYTE* CDib::PixelAddress(std::vector<BYTE>& dib, int x, int y) {
  auto layout = Describe(dib);
  if (!layout || layout->IsRle() || x < 0 || y < 0 || x >= layout->width || y >= layout->height) return nullptr;
  return dib.data() + layout->RowOffset(y) + static_cast<std::size_t>(x) * layout->header.bitCount / 8;
}

std::vector<BYTE> CDib::CreateBlankDib(int bitCount, int width, int height) {
  if (bitCount <= 0) bitCount = 8;
  InfoHeader h;
  h.width = width;
  h.height = height;
  h.bitCount = static_cast<WORD>(bitCount);
  if (bitCount > 32 || !IsSupportedFormat(h) || width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) {
    return {};
  }
  const CLogPalette standard = CLogPalette::Standard16();
  const DWORD colors = tvn::dib::NumColors(h);
  std::vector<BYTE> dib(kInfoHeaderSize + colors * 4 + UncompressedSize(h), 0);
  StoreInfoHeader(h, dib.data());
  for (DWORD i = 0; i < colors; ++i) {
    // One bit: the first and last of the 16, black and white.
    const PaletteEntry& e = standard.Entries()[bitCount == 1 ? (i == 0 ? 0 : 15) : i % 16];
    BYTE* quad = dib.data() + kInfoHeaderSize + i * 4;
    quad[0] = e.blue;
    quad[1] = e.green;
    quad[2] = e.red;
  }
  return dib;
}
