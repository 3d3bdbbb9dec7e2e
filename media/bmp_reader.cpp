// Bitmap file reader: every header field is checked before it sizes anything.
#include "media/bmp_reader.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "media/dib_format.h"
#include "media/read_exactly.h"

namespace tvn::dib {
namespace {

std::vector<BYTE> Allocate(std::size_t n) {
  try {
    return std::vector<BYTE>(n, 0);
  } catch (const std::bad_alloc&) {
    throw CMemoryException();
  }
}

// Turns top-down rows into the bottom-up order every packed DIB here uses.
void FlipRows(BYTE* bits, std::size_t stride, int height) {
  std::vector<BYTE> tmp(stride);
  for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
    BYTE* a = bits + static_cast<std::size_t>(top) * stride;
    BYTE* b = bits + static_cast<std::size_t>(bottom) * stride;
    std::memcpy(tmp.data(), a, stride);
    std::memcpy(a, b, stride);
    std::memcpy(b, tmp.data(), stride);
  }
}

std::vector<BYTE> Read(CFile& file, bool headerOnly) {
  const ULONGLONG start = file.GetPosition();
  const ULONGLONG length = file.GetLength();
  const ULONGLONG available = length > start ? length - start : 0;

  // File header: "BM", file size, two reserved words, bits offset.
  BYTE fileHeader[kFileHeaderSize];
  ULONGLONG bitsOffset = 0;
  if (available >= kFileHeaderSize && ReadExactly(file, fileHeader, kFileHeaderSize) &&
      Le16(fileHeader) == kBmSignature) {
    bitsOffset = Le32(fileHeader + 10);
  } else {
    file.Seek(static_cast<LONGLONG>(start), CFile::begin);
  }

  BYTE raw[kInfoHeaderSize] = {};
  if (!ReadExactly(file, raw, 4)) return {};
  DWORD size = Le32(raw);
  if (size != kCoreHeaderSize && size != kInfoHeaderSize) return {};
  if (!ReadExactly(file, raw + 4, size - 4)) return {};
  auto parsed = ParseHeader(raw, size);
  if (!parsed || !IsSupportedFormat(*parsed)) return {};
  InfoHeader h = *parsed;
  const bool core = h.size == kCoreHeaderSize;
  if (h.width < 1 || h.width > kMaxSide || h.height == 0 || h.height < -kMaxSide || h.height > kMaxSide) return {};
  const bool topDown = h.height < 0;
  if (topDown && h.compression != kRgb) return {};

  ULONGLONG full = UncompressedSize(h);
  if (full > kMaxImageBytes) return {};

  // The whole colour table must be in the file; entries past the first
  // kMaxColors are stepped over.
  const DWORD colors = NumColors(h);
  const DWORD kept = std::min(colors, kMaxColors);
  const std::size_t entrySize = core ? 3 : 4;
  const ULONGLONG storedBytes = static_cast<ULONGLONG>(colors) * entrySize;
  const ULONGLONG tableAt = file.GetPosition();
  if (tableAt > length || storedBytes > length - tableAt) return {};

  // Widen to the info form.
  h.size = kInfoHeaderSize;
  h.height = topDown ? -h.height : h.height;
  h.clrUsed = kept;
  if (core) h.clrImportant = 0;

  const std::size_t tableBytes = static_cast<std::size_t>(kept) * 4;
  std::vector<BYTE> table(tableBytes, 0);
  if (kept > 0) {
    std::vector<BYTE> stored(kept * entrySize);
    if (!ReadExactly(file, stored.data(), stored.size())) return {};
    for (DWORD i = 0; i < kept; ++i) {
      for (std::size_t k = 0; k < 3; ++k) table[i * 4 + k] = stored[i * entrySize + k];
    }
  }
  if (colors > kept) file.Seek(static_cast<LONGLONG>(tableAt + storedBytes), CFile::begin);

  if (bitsOffset != 0) {
    if (bitsOffset > available) return {};
    file.Seek(static_cast<LONGLONG>(start + bitsOffset), CFile::begin);
  }
  const ULONGLONG position = file.GetPosition();
  const ULONGLONG left = length > position ? length - position : 0;

  std::size_t imageBytes;
  if (h.compression == kRgb) {
    imageBytes = static_cast<std::size_t>(full);
  } else {
    // A run stream is as long as the header says, but never longer than the data.
    ULONGLONG stated = h.sizeImage == 0 ? left : std::min<ULONGLONG>(h.sizeImage, left);
    imageBytes = static_cast<std::size_t>(std::min<ULONGLONG>(stated, kMaxImageBytes));
  }
  h.sizeImage = static_cast<DWORD>(imageBytes);

  std::vector<BYTE> dib = Allocate(kInfoHeaderSize + tableBytes + (headerOnly ? 0 : imageBytes));
  StoreInfoHeader(h, dib.data());
  std::copy(table.begin(), table.end(), dib.begin() + kInfoHeaderSize);
  if (headerOnly) return dib;

  BYTE* bits = dib.data() + kInfoHeaderSize + tableBytes;
  std::size_t toRead = static_cast<std::size_t>(std::min<ULONGLONG>(imageBytes, left));
  std::size_t got = 0;
  while (got < toRead) {
    UINT r = file.Read(bits + got, static_cast<UINT>(std::min<std::size_t>(toRead - got, 1u << 30)));
    if (r == 0) break;  // the rest stays zero
    got += r;
  }
  if (topDown) FlipRows(bits, static_cast<std::size_t>(RowStride(h.bitCount, h.width)), -parsed->height);
  return dib;
}

}  // namespace

std::vector<BYTE> ReadDib(CFile& file) { return Read(file, false); }
std::vector<BYTE> ReadDibHeader(CFile& file) { return Read(file, true); }

}  // namespace tvn::dib
