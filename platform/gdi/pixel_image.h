// CPixelImage: a device-dependent bitmap as the page sees it, 32-bit true colour.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/base/win_types.h"

class QImage;

// One picture in the display's own form: rows top-down, one 32-bit word per
// pixel laid out as 0xFFRRGGBB. A monochrome bitmap (bits per pixel 1) keeps
// the same storage and holds only black and white. A null image has no
// pixels. Copies share pixels until one of them is written.
class CPixelImage {
 public:
  static constexpr int kMaxSide = 16384;

  CPixelImage();
  // A black image; a side outside 1..kMaxSide gives a null image.
  CPixelImage(int width, int height, int bitsPerPixel = 32);
  ~CPixelImage();
  CPixelImage(const CPixelImage& other);
  CPixelImage& operator=(const CPixelImage& other);
  CPixelImage(CPixelImage&& other) noexcept;
  CPixelImage& operator=(CPixelImage&& other) noexcept;

  bool IsNull() const;
  int Width() const;
  int Height() const;
  // 32, or 1 for a monochrome bitmap.
  int BitsPerPixel() const { return m_bitsPerPixel; }
  bool IsMonochrome() const { return m_bitsPerPixel == 1; }

  // Pixels per row (the row pitch in 32-bit words).
  std::ptrdiff_t Pitch() const;
  std::uint32_t* Row(int y);
  const std::uint32_t* Row(int y) const;

  // Names the pixels as they are now: it moves on whenever they may have been
  // written (every non-const access: Row, SetPixel, Fill, Image) and differs
  // between images that do not share pixels. 0 for a null image.
  std::int64_t ContentKey() const;

  // The colour at a point as COLORREF, CLR_INVALID outside the image.
  COLORREF GetPixel(int x, int y) const;
  void SetPixel(int x, int y, COLORREF colour);
  void Fill(COLORREF colour);

  // A copy of a part of the image; the rectangle must lie inside it.
  CPixelImage Copy(int x, int y, int width, int height) const;

  // The Qt image behind it, for the drawing layer.
  QImage& Image();
  const QImage& Image() const;
  // Wraps a Qt image, converted to the 32-bit form when needed.
  static CPixelImage FromImage(const QImage& image);

  // 0xFFRRGGBB from a COLORREF and back.
  static constexpr std::uint32_t ToPixel(COLORREF c) {
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
  }
  static constexpr COLORREF ToColorRef(std::uint32_t p) {
    return ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16);
  }

 private:
  std::unique_ptr<QImage> m_image;
  int m_bitsPerPixel = 32;
};

