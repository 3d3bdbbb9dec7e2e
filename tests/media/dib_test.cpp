// CDib: header queries, conversions to and from 32-bit pixels, masks, capture and blank pictures.
#include "media/dib.h"

#include <gtest/gtest.h>

#include "media/dib_decode.h"
#include "tests/media/media_test_util.h"
#include "tests/support/bmp_writer.h"

using namespace tvn::testing;
using tvn::dib::Le16;
using tvn::dib::Le32;

namespace {

constexpr COLORREF kKey = RGB(255, 0, 255);

// 4x3: a magenta frame around two coloured pixels.
CPixelImage KeyedPicture() {
  CPixelImage image(4, 3);
  image.Fill(kKey);
  image.SetPixel(1, 1, RGB(10, 20, 30));
  image.SetPixel(2, 1, RGB(200, 100, 50));
  return image;
}

}  // namespace

TEST(CDib, HeaderQueriesOnEmptyAndRealPictures) {
  CDib dib;
  int w = -1, h = -1;
  dib.GetSize(w, h);
  EXPECT_EQ(w, 0);
  EXPECT_EQ(h, 0);
  tvn::dib::InfoHeader header;
  EXPECT_FALSE(CDib::ReadHeader(dib.hDib, header));

  dib.hDib = CDib::CreateBlankDib(24, 7, 5);
  CRect rect;
  dib.GetRect(rect);
  EXPECT_EQ(rect, CRect(0, 0, 7, 5));
  ASSERT_TRUE(CDib::ReadHeader(dib.hDib, header));
  EXPECT_EQ(CDib::GetBitCount(header), 24);
  EXPECT_EQ(header.sizeImage, 5u * 24);  // filled in: 21 bytes padded to 24 per row
  EXPECT_EQ(CDib::NumColors(header), 0u);

  // Colours used 0 on 16 and 32 bits: no colour table.
  for (int bits : {16, 32}) {
    std::vector<BYTE> blank = CDib::CreateBlankDib(bits, 2, 2);
    ASSERT_TRUE(CDib::ReadHeader(blank, header));
    EXPECT_EQ(CDib::PaletteSize(header), 0u) << bits;
  }
}

TEST(CDib, BlankDibsAndTheirColourTables) {
  std::vector<BYTE> dib = CDib::CreateBlankDib(0, 2, 2);  // 0 means 8 bits
  ASSERT_EQ(dib.size(), 40u + 256 * 4 + 8);
  EXPECT_EQ(Le16(dib.data() + 14), 8);
  EXPECT_EQ(Le32(dib.data() + 40 + 9 * 4), 0xFF0000u);   // colour 9 of the 16
  EXPECT_EQ(Le32(dib.data() + 40 + 25 * 4), 0xFF0000u);  // and again at 16 + 9
  std::vector<BYTE> mono = CDib::CreateBlankDib(1, 9, 1);
  EXPECT_EQ(Le32(mono.data() + 40), 0x000000u);
  EXPECT_EQ(Le32(mono.data() + 44), 0xFFFFFFu);
  EXPECT_EQ(mono.size(), 40u + 8 + 4);
  EXPECT_TRUE(CDib::CreateBlankDib(3, 2, 2).empty());
  EXPECT_TRUE(CDib::CreateBlankDib(8, 0, 2).empty());
  EXPECT_TRUE(CDib::CreateBlankDib(8, 2, 20000).empty());
}

TEST(CDib, BitmapToDibAndBackKeepsColours) {
  CPixelImage image = KeyedPicture();
  std::vector<BYTE> dib = CDib::BitmapToDib(image);
  EXPECT_EQ(Le16(dib.data() + 14), 24);
  CDib holder;
  holder.hDib = dib;
  EXPECT_EQ(PixelAt(holder, 1, 1), RGB(10, 20, 30));
  EXPECT_EQ(PixelAt(holder, 2, 1), RGB(200, 100, 50));
  CPixelImage back = holder.DibToBitmap(holder.hDib);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(back.GetPixel(x, y), image.GetPixel(x, y)) << x << "," << y;
}

TEST(CDib, ConvertBitmapToDibAcceptsOnlyItsPairs) {
  struct Row {
    int bitCount;
    DWORD compression;
    int wantBits;  // 0: refused
  };
  const Row rows[] = {{0, 2, 4}, {0, 1, 8}, {1, 0, 1}, {4, 0, 4}, {4, 2, 4}, {8, 0, 8}, {8, 1, 8},
                      {24, 0, 24}, {0, 0, 0}, {1, 2, 0}, {4, 1, 0}, {8, 2, 0}, {16, 0, 0}, {24, 1, 0}, {32, 0, 0}};
  for (std::size_t n = 0; n < std::size(rows); ++n) {
    CDib dib;
    dib.hBitmap = KeyedPicture();
    const std::vector<BYTE>& out = dib.ConvertBitmapToDib(rows[n].bitCount, rows[n].compression);
    if (rows[n].wantBits == 0) {
      EXPECT_TRUE(out.empty()) << "row " << n;
      EXPECT_TRUE(dib.hDib.empty()) << "row " << n;
      continue;
    }
    ASSERT_FALSE(out.empty()) << "row " << n;
    EXPECT_EQ(Le16(dib.hDib.data() + 14), rows[n].wantBits) << "row " << n;
    EXPECT_TRUE(dib.hPalette) << "row " << n;  // the system palette was taken first
    // Magenta and black are among the system colours, so they survive any depth.
    CPixelImage back = dib.DibToBitmap(dib.hDib);
    EXPECT_EQ(back.GetPixel(0, 0), rows[n].wantBits == 1 ? RGB(255, 255, 255) : kKey) << "row " << n;
  }
  CDib empty;
  EXPECT_TRUE(empty.ConvertBitmapToDib(24, 0).empty());
}

TEST(CDib, KeyColourMaskAndHitTest) {
  CDib dib;
  EXPECT_TRUE(dib.IsOpaqueAt({0, 0}));  // no mask: everything hits
  dib.CreateMask(kKey);
  EXPECT_TRUE(dib.hMask.IsNull());  // no bitmap, no mask
  dib.hBitmap = KeyedPicture();
  dib.CreateMask(kKey);
  ASSERT_FALSE(dib.hMask.IsNull());
  EXPECT_TRUE(dib.hMask.IsMonochrome());
  EXPECT_EQ(dib.hMask.GetPixel(0, 0), RGB(255, 255, 255));
  EXPECT_EQ(dib.hMask.GetPixel(1, 1), RGB(0, 0, 0));
  EXPECT_FALSE(dib.IsOpaqueAt({0, 0}));
  EXPECT_TRUE(dib.IsOpaqueAt({1, 1}));
  EXPECT_TRUE(dib.IsOpaqueAt({2, 1}));
  EXPECT_FALSE(dib.IsOpaqueAt({3, 2}));

  dib.CreateMaskDib(kKey);
  EXPECT_TRUE(dib.hMask.IsNull());
  CDib mask;
  mask.hDib = dib.hMaskDib;
  ASSERT_EQ(Le16(mask.hDib.data() + 14), 1);
  EXPECT_EQ(PixelAt(mask, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(PixelAt(mask, 1, 1), RGB(0, 0, 0));
  EXPECT_EQ(PixelAt(mask, 3, 2), RGB(255, 255, 255));
}

TEST(CDib, CaptureIsCutToTheScreen) {
  CPixelImage screen(10, 8);
  screen.SetPixel(0, 0, RGB(1, 2, 3));
  screen.SetPixel(9, 7, RGB(4, 5, 6));
  CDib dib;
  EXPECT_TRUE(dib.CaptureScreenRect(CRect(5, 5, 5, 9), screen).IsNull());
  const CPixelImage& all = dib.CaptureScreenRect(CRect(-3, -2, 40, 30), screen);
  ASSERT_EQ(all.Width(), 10);
  ASSERT_EQ(all.Height(), 8);
  EXPECT_EQ(all.GetPixel(0, 0), RGB(1, 2, 3));
  const CPixelImage& corner = dib.CaptureScreenRect(CRect(8, 6, 12, 12), screen);
  ASSERT_EQ(corner.Width(), 2);
  EXPECT_EQ(dib.GetBitmapPixel(1, 1), RGB(4, 5, 6));
  EXPECT_TRUE(dib.CaptureScreenRect(CRect(10, 0, 20, 5), screen).IsNull());
  CDib none;
  EXPECT_EQ(none.GetBitmapPixel(0, 0), 0u);
}

TEST(CDib, PixelAddressesFollowMemoryRows) {
  CDib dib;
  dib.hDib = CDib::CreateBlankDib(24, 3, 2);
  BYTE* p = dib.LockPixel(2, 1);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p - dib.hDib.data(), 40 + 12 + 6);
  p[0] = 0x33;  // blue of the top-right pixel: memory row 1 is the top row
  p[2] = 0x11;
  dib.UnlockBits();
  EXPECT_EQ(PixelAt(dib, 2, 0), RGB(0x11, 0, 0x33));
  EXPECT_EQ(dib.LockPixel(3, 0), nullptr);
  EXPECT_EQ(dib.LockPixel(0, 2), nullptr);
  std::vector<BYTE> four = CDib::CreateBlankDib(4, 5, 1);
  EXPECT_EQ(CDib::PixelAddress(four, 3, 0) - four.data(), 40 + 64 + 1);  // x * 4 / 8
}

TEST(CDib, CopiesAreIndependent) {
  CDib a;
  a.hDib = CDib::CreateBlankDib(8, 2, 2);
  a.hBitmap = KeyedPicture();
  a.CreateFadePalette(0, RGB(255, 255, 255), 4);
  CDib b(a);
  b.LockPixel(0, 0)[0] = 5;
  b.hBitmap.SetPixel(0, 0, 0);
  b.SetPaletteFlags(0, -1, 0);
  EXPECT_EQ(a.LockPixel(0, 0)[0], 0);
  EXPECT_EQ(a.hBitmap.GetPixel(0, 0), kKey);
  EXPECT_EQ(a.hPalette->Entries()[0].flags, PC_NOCOLLAPSE);
  b.Free();
  EXPECT_TRUE(b.hDib.empty());
  EXPECT_FALSE(b.hPalette);
  EXPECT_TRUE(b.hBitmap.IsNull());
  b.AttachBitmap(KeyedPicture());
  EXPECT_FALSE(b.hBitmap.IsNull());
}
