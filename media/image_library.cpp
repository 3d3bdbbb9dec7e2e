// The reader of other picture kinds: library state, bitmap holders, and their packed DIBs.
#include "media/image_library.h"

#include "media/dib_format.h"
#include "media/image_environment.h"
#include "media/read_exactly.h"

using namespace tvn::dib;

namespace {

// The whole file, or nothing when it cannot be read or passes the cap.
std::optional<std::vector<BYTE>> ReadSpan(CFile& file, ULONGLONG offset, ULONGLONG size) {
  const ULONGLONG length = file.GetLength();
  if (offset > length || size > length - offset || size > tvn::platform::kMaxImageBytes) return std::nullopt;
  std::vector<BYTE> bytes(static_cast<std::size_t>(size));
  file.Seek(static_cast<LONGLONG>(offset), CFile::begin);
  if (!ReadExactly(file, bytes.data(), bytes.size())) return std::nullopt;
  return bytes;
}

// A bottom-up DIB with room for colors table entries, pixels zero.
std::vector<BYTE> NewDib(int width, int height, WORD bitCount, DWORD colors) {
  InfoHeader h;
  h.width = width;
  h.height = height;
  h.bitCount = bitCount;
  h.sizeImage = static_cast<DWORD>(UncompressedSize(h));
  h.clrUsed = colors;
  std::vector<BYTE> dib(kInfoHeaderSize + colors * 4 + h.sizeImage, 0);
  StoreInfoHeader(h, dib.data());
  return dib;
}

}  // namespace

BOOL CImageLibrary::Load(DWORD featureBits) {
  if ((featureBits & FeatureBit::kImageLibrary) == 0) return FALSE;
  if (!m_loaded) {
    m_loaded = true;
    ++m_loads;
  }
  return TRUE;
}

ImgBitmap::~ImgBitmap() {
  if (m_prepared) Release();
}

void ImgBitmap::Prepare() {
  Free();
  if (!m_prepared) ++m_library.m_holders;
  m_prepared = true;
}

void ImgBitmap::Release() {
  Free();
  if (!m_prepared) return;
  m_prepared = false;
  if (--m_library.m_holders == 0) m_library.Unload();
}

void ImgBitmap::Free() {
  m_image.reset();
  m_indexBits = 0;
  m_indices.clear();
  m_colours = CLogPalette();
}

BOOL ImgBitmap::Decode(const std::vector<BYTE>& bytes, int& bpp) {
  if (!tvn::platform::ProbeImage(bytes.data(), bytes.size())) return FALSE;
  auto image = tvn::platform::DecodeImage(bytes.data(), bytes.size());
  if (!image) return FALSE;
  Free();
  m_image = std::move(image);
  bpp = m_image->bitsPerPixel;
  return TRUE;
}

BOOL ImgBitmap::LoadFile(const CString& name, int& bpp) {
  if (!m_library.Load(m_featureBits)) return FALSE;
  CFile file;
  if (!file.Open(name, CFile::modeRead | CFile::shareDenyWrite)) return FALSE;
  try {
    auto bytes = ReadSpan(file, 0, file.GetLength());
    return bytes ? Decode(*bytes, bpp) : FALSE;
  } catch (const CException&) {
    return FALSE;
  }
}

int ImgBitmap::FileInfo(const CString& name, ImgFileInfo& info) const {
  if (!m_library.IsLoaded()) return 0;
  CFile file;
  if (!file.Open(name, CFile::modeRead | CFile::shareDenyWrite)) return 0;
  try {
    auto bytes = ReadSpan(file, 0, file.GetLength());
    if (!bytes) return 0;
    auto probed = tvn::platform::ProbeImage(bytes->data(), bytes->size());
    if (!probed) return 0;
    info = ImgFileInfo{probed->width, probed->height, probed->bitsPerPixel};
    return 1;
  } catch (const CException&) {
    return 0;
  }
}

BOOL ImgBitmap::LoadFileOffset(CFile& file, ULONGLONG offset, ULONGLONG size, int& bpp) {
  if (!m_library.Load(m_featureBits)) return FALSE;
  try {
    auto bytes = ReadSpan(file, offset, size);
    return bytes ? Decode(*bytes, bpp) : FALSE;
  } catch (const CException&) {
    return FALSE;
  }
}

std::vector<BYTE> ImgBitmap::ToDIB() const {
  if (!m_image) return {};
  const auto& img = *m_image;
  if (m_indexBits > 0) {
    // Indices of the colours ColorRes left, in a DIB of that depth.
    const auto& entries = m_colours.Entries();
    const auto bits = static_cast<WORD>(m_indexBits);
    std::vector<BYTE> dib = NewDib(img.width, img.height, bits, static_cast<DWORD>(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i) {
      BYTE* quad = dib.data() + kInfoHeaderSize + i * 4;
      quad[0] = entries[i].blue;
      quad[1] = entries[i].green;
      quad[2] = entries[i].red;
    }
    const std::size_t stride = static_cast<std::size_t>(RowStride(bits, img.width));
    BYTE* pixels = dib.data() + kInfoHeaderSize + entries.size() * 4;
    for (int y = 0; y < img.height; ++y) {
      BYTE* row = pixels + stride * static_cast<std::size_t>(img.height - 1 - y);
      const BYTE* in = &m_indices[static_cast<std::size_t>(y) * static_cast<std::size_t>(img.width)];
      for (int x = 0; x < img.width; ++x) {
        const BYTE index = in[x];
        const int perByte = 8 / m_indexBits;
        BYTE& out = row[static_cast<std::size_t>(x / perByte)];
        const int shift = 8 - m_indexBits * (x % perByte + 1);
        out = static_cast<BYTE>(out | (index << shift));
      }
    }
    return dib;
  }
  const WORD bits = img.hasAlpha ? 32 : 24;
  std::vector<BYTE> dib = NewDib(img.width, img.height, bits, 0);
  const std::size_t stride = static_cast<std::size_t>(RowStride(bits, img.width));
  for (int y = 0; y < img.height; ++y) {
    BYTE* row = dib.data() + kInfoHeaderSize + stride * static_cast<std::size_t>(img.height - 1 - y);
    const std::uint32_t* in = &img.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(img.width)];
    for (int x = 0; x < img.width; ++x) {
      const std::uint32_t p = in[x];
      BYTE* out = row + static_cast<std::size_t>(x) * (bits / 8);
      out[0] = static_cast<BYTE>(p);
      out[1] = static_cast<BYTE>(p >> 8);
      out[2] = static_cast<BYTE>(p >> 16);
      if (bits == 32) out[3] = static_cast<BYTE>(p >> 24);
    }
  }
  return dib;
}

std::vector<BYTE> ImgBitmap::GetAlphaMask() const {
  if (!m_image || !m_image->hasAlpha) return {};
  const auto& img = *m_image;
  std::vector<BYTE> dib = NewDib(img.width, img.height, 8, 256);
  for (DWORD i = 0; i < 256; ++i) {
    BYTE* quad = dib.data() + kInfoHeaderSize + i * 4;
    quad[0] = quad[1] = quad[2] = static_cast<BYTE>(i);
  }
  const std::size_t stride = static_cast<std::size_t>(RowStride(8, img.width));
  BYTE* pixels = dib.data() + kInfoHeaderSize + 256 * 4;
  for (int y = 0; y < img.height; ++y) {
    BYTE* row = pixels + stride * static_cast<std::size_t>(img.height - 1 - y);
    const std::uint32_t* in = &img.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(img.width)];
    for (int x = 0; x < img.width; ++x) row[x] = static_cast<BYTE>(in[x] >> 24);
  }
  return dib;
}
