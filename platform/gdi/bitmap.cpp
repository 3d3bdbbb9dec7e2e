#include "platform/gdi/bitmap.h"

#include <cstring>

#include "platform/gdi/dc.h"

namespace {
constexpr DWORD kWhite = gdi::kOpaque | gdi::kColourBits;
}

BOOL CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  // A context the bitmap is selected into keeps it and sees the new pixels.
  ReleasePixels();
  const UINT depth = planes * bitsPerPixel;
  if (width <= 0 || height <= 0 || width > kMaxDimension || height > kMaxDimension) return FALSE;
  if (static_cast<long long>(width) * height > kMaxPixels) return FALSE;
  if (depth != 1 && depth != 32) return FALSE;
  m_width = width;
  m_height = height;
  m_monochrome = depth == 1;
  m_pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                  gdi::kOpaque);
  SetCreated(true);
  if (bits) SetBitmapBits(static_cast<DWORD>(GetWidthBytes()) * static_cast<DWORD>(height), bits);
  return TRUE;
}

BOOL CBitmap::CreateCompatibleBitmap(const CDC* dc, int width, int height) {
  const bool mono = dc && dc->GetSurfaceInfo().monochrome;
  return CreateBitmap(width, height, 1, mono ? 1 : 32, nullptr);
}

CBitmap::~CBitmap() {
  if (m_selectedInto) m_selectedInto->ForgetBitmap(this);
}

void CBitmap::ReleasePixels() {
  m_pixels.clear();
  m_pixels.shrink_to_fit();
  m_width = m_height = 0;
  m_monochrome = false;
  SetCreated(false);
}

BOOL CBitmap::DeleteObject() {
  if (m_selectedInto) m_selectedInto->ForgetBitmap(this);
  const BOOL was = IsCreated() ? TRUE : FALSE;
  ReleasePixels();
  return was;
}

LONG CBitmap::GetWidthBytes() const {
  return m_monochrome ? ((m_width + 15) / 16) * 2 : m_width * 4;
}

int CBitmap::GetBitmap(BITMAP* info) const {
  if (!info || !IsCreated()) return 0;
  info->bmType = 0;
  info->bmWidth = m_width;
  info->bmHeight = m_height;
  info->bmWidthBytes = GetWidthBytes();
  info->bmPlanes = 1;
  info->bmBitsPixel = m_monochrome ? 1 : 32;
  info->bmBits = nullptr;
  return static_cast<int>(sizeof(BITMAP));
}

DWORD CBitmap::SetBitmapBits(DWORD count, const void* bits) {
  if (!IsCreated() || !bits) return 0;
  const auto* in = static_cast<const unsigned char*>(bits);
  const DWORD rowBytes = static_cast<DWORD>(GetWidthBytes());
  const DWORD rows = std::min<DWORD>(count / rowBytes, static_cast<DWORD>(m_height));
  for (DWORD y = 0; y < rows; ++y) {
    const unsigned char* row = in + static_cast<std::size_t>(y) * rowBytes;
    DWORD* out = &m_pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width)];
    for (int x = 0; x < m_width; ++x) {
      if (m_monochrome) {
        out[x] = (row[x / 8] >> (7 - x % 8)) & 1 ? kWhite : gdi::kOpaque;
      } else {
        const unsigned char* p = row + static_cast<std::size_t>(x) * 4;
        out[x] = gdi::kOpaque | (DWORD{p[2]} << 16) | (DWORD{p[1]} << 8) | p[0];
      }
    }
  }
  return rows * rowBytes;
}

DWORD CBitmap::GetBitmapBits(DWORD count, void* bits) const {
  if (!IsCreated() || !bits) return 0;
  auto* out = static_cast<unsigned char*>(bits);
  const DWORD rowBytes = static_cast<DWORD>(GetWidthBytes());
  const DWORD rows = std::min<DWORD>(count / rowBytes, static_cast<DWORD>(m_height));
  for (DWORD y = 0; y < rows; ++y) {
    unsigned char* row = out + static_cast<std::size_t>(y) * rowBytes;
    const DWORD* in = &m_pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width)];
    if (m_monochrome) std::memset(row, 0, rowBytes);
    for (int x = 0; x < m_width; ++x) {
      if (m_monochrome) {
        if (in[x] & gdi::kColourBits) row[x / 8] = static_cast<unsigned char>(row[x / 8] | (0x80u >> (x % 8)));
      } else {
        unsigned char* p = row + static_cast<std::size_t>(x) * 4;
        p[0] = static_cast<unsigned char>(in[x]);
        p[1] = static_cast<unsigned char>(in[x] >> 8);
        p[2] = static_cast<unsigned char>(in[x] >> 16);
        p[3] = 0;
      }
    }
  }
  return rows * rowBytes;
}

gdi::PixelSurface CBitmap::GetSurface() {
  if (!IsCreated()) return {};
  return gdi::PixelSurface{m_pixels.data(), m_width, m_height, m_width, m_monochrome};
}
