// CBitmap: a 32-bit (or monochrome) pixel buffer that memory device contexts draw into.
#pragma once

#include <vector>

#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/gdi_object.h"
#include "platform/gdi/raster_ops.h"

class CDC;

class CBitmap : public CGdiObject {
 public:
  // Larger bitmaps are refused: sizes reach here from course files.
  static constexpr int kMaxDimension = 32767;
  static constexpr long long kMaxPixels = 64LL * 1024 * 1024;

  CBitmap() = default;
  ~CBitmap() override;
  Kind GetKind() const override { return Kind::bitmap; }

  // planes x bitsPerPixel of 1 makes a monochrome bitmap, 32 a colour one;
  // others are refused. bits (may be null) holds rows in the stored layout:
  // monochrome rows are padded to 16 bits with bit 7 of a byte leftmost and a
  // set bit white; 32-bit rows are blue, green, red, unused bytes per pixel.
  BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
  // A colour bitmap, or a monochrome one when the context draws into one.
  BOOL CreateCompatibleBitmap(const CDC* dc, int width, int height);
  BOOL DeleteObject() override;

  int GetBitmap(BITMAP* info) const;
  CSize GetSize() const { return {m_width, m_height}; }
  bool IsMonochrome() const { return m_monochrome; }
  // Bytes in one stored row (see CreateBitmap).
  LONG GetWidthBytes() const;

  // Copies at most count bytes in the stored layout; returns the bytes copied.
  DWORD SetBitmapBits(DWORD count, const void* bits);
  DWORD GetBitmapBits(DWORD count, void* bits) const;

  // The pixels themselves, 0xFFRRGGBB words, rows top to bottom.
  gdi::PixelSurface GetSurface();

 private:
  friend class CDC;
  void ReleasePixels();
  CDC* m_selectedInto = nullptr;  // the memory context drawing into these pixels
  int m_width = 0;
  int m_height = 0;
  bool m_monochrome = false;
  std::vector<DWORD> m_pixels;
};
