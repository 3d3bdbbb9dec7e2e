// CPixelImage over QImage in Format_RGB32.
#include "platform/gdi/pixel_image.h"

#include <QImage>

CPixelImage::CPixelImage() : m_image(std::make_unique<QImage>()) {}

CPixelImage::CPixelImage(int width, int height, int bitsPerPixel)
    : m_image(std::make_unique<QImage>()), m_bitsPerPixel(bitsPerPixel == 1 ? 1 : 32) {
  if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return;
  *m_image = QImage(width, height, QImage::Format_RGB32);
  m_image->fill(0xFF000000u);
}

CPixelImage::~CPixelImage() = default;
CPixelImage::CPixelImage(const CPixelImage& other)
    : m_image(std::make_unique<QImage>(*other.m_image)), m_bitsPerPixel(other.m_bitsPerPixel) {}
CPixelImage& CPixelImage::operator=(const CPixelImage& other) {
  if (this != &other) {
    *m_image = *other.m_image;
    m_bitsPerPixel = other.m_bitsPerPixel;
  }
  return *this;
}
CPixelImage::CPixelImage(CPixelImage&& other) noexcept
    : m_image(std::make_unique<QImage>()), m_bitsPerPixel(other.m_bitsPerPixel) {
  m_image->swap(*other.m_image);
}
CPixelImage& CPixelImage::operator=(CPixelImage&& other) noexcept {
  m_image->swap(*other.m_image);
  m_bitsPerPixel = other.m_bitsPerPixel;
  return *this;
}

bool CPixelImage::IsNull() const { return m_image->isNull(); }
int CPixelImage::Width() const { return m_image->width(); }
int CPixelImage::Height() const { return m_image->height(); }
std::ptrdiff_t CPixelImage::Pitch() const { return m_image->bytesPerLine() / 4; }

std::int64_t CPixelImage::ContentKey() const { return m_image->isNull() ? 0 : m_image->cacheKey(); }

std::uint32_t* CPixelImage::Row(int y) { return reinterpret_cast<std::uint32_t*>(m_image->scanLine(y)); }
const std::uint32_t* CPixelImage::Row(int y) const {
  return reinterpret_cast<const std::uint32_t*>(m_image->constScanLine(y));
}

COLORREF CPixelImage::GetPixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return CLR_INVALID;
  return ToColorRef(Row(y)[x]);
}

void CPixelImage::SetPixel(int x, int y, COLORREF colour) {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return;
  Row(y)[x] = ToPixel(colour);
}

void CPixelImage::Fill(COLORREF colour) {
  if (!IsNull()) m_image->fill(ToPixel(colour));
}

CPixelImage CPixelImage::Copy(int x, int y, int width, int height) const {
  CPixelImage out;
  out.m_bitsPerPixel = m_bitsPerPixel;
  *out.m_image = m_image->copy(x, y, width, height);
  return out;
}

QImage& CPixelImage::Image() { return *m_image; }
const QImage& CPixelImage::Image() const { return *m_image; }

CPixelImage CPixelImage::FromImage(const QImage& image) {
  CPixelImage out;
  if (image.isNull() || image.width() > kMaxSide || image.height() > kMaxSide) return out;
  *out.m_image = image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
  return out;
}
