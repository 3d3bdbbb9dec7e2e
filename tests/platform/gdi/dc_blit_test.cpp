// BitBlt, StretchBlt and PatBlt between memory contexts, and colour-keyed masks.
#include <gtest/gtest.h>

#include <QImage>

#include "platform/gdi/brush.h"
#include "platform/gdi/rgn.h"
#include "tests/platform/gdi/canvas.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kKey = RGB(255, 0, 255);

void Paint(Canvas& c, int w, int h) {
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) c.dc.SetPixel(x, y, RGB(x * 16, y * 16, 77));
}

TEST(CDCBlit, CopyClipsSourceAndDestinationTogether) {
  Canvas src(8, 8);
  Paint(src, 8, 8);
  Canvas dst(10, 10);
  // Starts 2 pixels left of the target and reads 3 pixels past the source's right edge.
  EXPECT_TRUE(dst.dc.BitBlt(-2, 1, 8, 4, &src.dc, 3, 2, SRCCOPY));
  EXPECT_EQ(dst.dc.GetPixel(0, 1), src.dc.GetPixel(5, 2));
  EXPECT_EQ(dst.dc.GetPixel(2, 4), src.dc.GetPixel(7, 5));
  EXPECT_EQ(dst.InkBox(kWhite), CRect(0, 1, 3, 5));  // source pixels 5..7 only
}

TEST(CDCBlit, OverlappingCopyOnOneSurfaceScrolls) {
  Canvas c(10, 10);
  Paint(c, 10, 10);
  Canvas expected(10, 10);
  Paint(expected, 10, 10);
  EXPECT_TRUE(c.dc.BitBlt(2, 1, 8, 9, &c.dc, 0, 0, SRCCOPY));
  for (int y = 1; y < 10; ++y)
    for (int x = 2; x < 10; ++x) ASSERT_EQ(c.dc.GetPixel(x, y), expected.dc.GetPixel(x - 2, y - 1)) << x << "," << y;
  EXPECT_EQ(c.dc.GetPixel(0, 0), expected.dc.GetPixel(0, 0));
}

TEST(CDCBlit, OperationsCombinePixelsBitForBit) {
  Canvas src(1, 1, RGB(0xF0, 0x0F, 0x33));
  struct Row {
    DWORD rop;
    COLORREF expected;
  } rows[] = {
      {SRCCOPY, RGB(0xF0, 0x0F, 0x33)},  {SRCAND, RGB(0xA0, 0x0A, 0x22)},
      {SRCPAINT, RGB(0xFA, 0xAF, 0xBB)}, {SRCINVERT, RGB(0x5A, 0xA5, 0x99)},
      {NOTSRCCOPY, RGB(0x0F, 0xF0, 0xCC)}, {DSTINVERT, RGB(0x55, 0x55, 0x55)},
      {BLACKNESS, kBlack},                 {WHITENESS, kWhite},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    Canvas dst(1, 1, RGB(0xAA, 0xAA, 0xAA));
    dst.dc.BitBlt(0, 0, 1, 1, &src.dc, 0, 0, rows[i].rop);
    EXPECT_EQ(dst.dc.GetPixel(0, 0), rows[i].expected) << "row " << i;
  }
}

TEST(CDCBlit, XorBlitTwiceRestores) {
  Canvas src(16, 16);
  Paint(src, 16, 16);
  Canvas dst(16, 16, RGB(12, 200, 77));
  const auto before = dst.Pixels();
  dst.dc.BitBlt(3, 3, 10, 10, &src.dc, 1, 1, SRCINVERT);
  EXPECT_NE(dst.Pixels(), before);
  dst.dc.BitBlt(3, 3, 10, 10, &src.dc, 1, 1, SRCINVERT);
  EXPECT_EQ(dst.Pixels(), before);
}

// The colour-keyed drawing of pictures: a monochrome mask made by copying the
// picture with the key as background colour, then picture XOR, mask AND,
// picture XOR leaves the background wherever the key colour was.
TEST(CDCBlit, MonochromeMaskGivesColourKeyedTransparency) {
  Canvas picture(4, 1);
  picture.dc.SetPixel(0, 0, kKey);
  picture.dc.SetPixel(1, 0, RGB(10, 20, 30));
  picture.dc.SetPixel(2, 0, kKey);
  picture.dc.SetPixel(3, 0, kBlack);

  CBitmap maskBits;
  ASSERT_TRUE(maskBits.CreateBitmap(4, 1, 1, 1, nullptr));
  CDC mask;
  mask.CreateCompatibleDC(nullptr);
  mask.SelectObject(&maskBits);
  mask.PatBlt(0, 0, 4, 1, WHITENESS);
  picture.dc.SetBkColor(kKey);
  mask.BitBlt(0, 0, 4, 1, &picture.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(mask.GetPixel(0, 0), kWhite);
  EXPECT_EQ(mask.GetPixel(1, 0), kBlack);
  EXPECT_EQ(mask.GetPixel(3, 0), kBlack);

  Canvas page(4, 1, RGB(0, 128, 0));
  page.dc.SetBkColor(kWhite);  // white mask bits keep the page under the AND
  page.dc.SetTextColor(kBlack);
  page.dc.BitBlt(0, 0, 4, 1, &picture.dc, 0, 0, SRCINVERT);
  page.dc.BitBlt(0, 0, 4, 1, &mask, 0, 0, SRCAND);
  page.dc.BitBlt(0, 0, 4, 1, &picture.dc, 0, 0, SRCINVERT);
  EXPECT_EQ(page.dc.GetPixel(0, 0), RGB(0, 128, 0));
  EXPECT_EQ(page.dc.GetPixel(1, 0), RGB(10, 20, 30));
  EXPECT_EQ(page.dc.GetPixel(2, 0), RGB(0, 128, 0));
  EXPECT_EQ(page.dc.GetPixel(3, 0), kBlack);
}

TEST(CDCBlit, StretchScalesAndMirrors) {
  Canvas src(2, 2);
  src.dc.SetPixel(0, 0, RGB(255, 0, 0));
  src.dc.SetPixel(1, 0, RGB(0, 255, 0));
  src.dc.SetPixel(0, 1, RGB(0, 0, 255));
  src.dc.SetPixel(1, 1, kBlack);
  Canvas big(4, 4);
  EXPECT_TRUE(big.dc.StretchBlt(0, 0, 4, 4, &src.dc, 0, 0, 2, 2, SRCCOPY));
  EXPECT_EQ(big.dc.GetPixel(1, 1), RGB(255, 0, 0));
  EXPECT_EQ(big.dc.GetPixel(2, 1), RGB(0, 255, 0));
  EXPECT_EQ(big.dc.GetPixel(3, 3), kBlack);
  Canvas mirrored(2, 2);
  EXPECT_TRUE(mirrored.dc.StretchBlt(0, 0, 2, 2, &src.dc, 1, 0, -2, 2, SRCCOPY));
  EXPECT_EQ(mirrored.dc.GetPixel(0, 0), RGB(0, 255, 0));
  EXPECT_EQ(mirrored.dc.GetPixel(1, 0), RGB(255, 0, 0));
  // A source rectangle partly off the bitmap draws only what exists.
  Canvas part(4, 4);
  EXPECT_TRUE(part.dc.StretchBlt(0, 0, 4, 4, &src.dc, 1, 1, 2, 2, SRCCOPY));
  EXPECT_EQ(part.dc.GetPixel(0, 0), kBlack);
  EXPECT_EQ(part.dc.GetPixel(3, 3), kWhite);
}

TEST(CDCBlit, ClipRegionLimitsBlits) {
  Canvas src(10, 10, kBlack);
  Canvas dst(10, 10);
  CRgn rgn;
  rgn.CreateRectRgn(2, 2, 4, 4);
  CRgn other;
  other.CreateRectRgn(6, 6, 8, 8);
  rgn.CombineRgn(&rgn, &other, RGN_OR);
  dst.dc.SelectClipRgn(&rgn);
  dst.dc.BitBlt(0, 0, 10, 10, &src.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(dst.Count(kBlack), 8);
  EXPECT_EQ(dst.dc.GetPixel(7, 7), kBlack);
}

TEST(CDCBlit, PatternOperationsUseTheSelectedBrush) {
  Canvas c(8, 8, kWhite);
  CBrush hatch(HS_VERTICAL, kBlack);
  c.dc.SetBkColor(kWhite);
  c.dc.SelectObject(&hatch);
  c.dc.PatBlt(0, 0, 8, 8, PATCOPY);
  EXPECT_EQ(c.Count(kBlack), 8);  // one column of the 8 x 8 hatch
  c.dc.PatBlt(0, 0, 8, 8, PATINVERT);  // the pattern over itself
  EXPECT_EQ(c.Count(kBlack), 64);
  c.dc.SelectStockObject(NULL_BRUSH);
  c.dc.PatBlt(0, 0, 8, 8, PATCOPY);  // a null brush paints nothing
  EXPECT_EQ(c.Count(kBlack), 64);
  c.dc.PatBlt(8, 8, -8, -8, WHITENESS);  // negative sizes run backwards
  EXPECT_EQ(c.Count(kWhite), 64);
}

TEST(CDCBlit, WindowSurfaceReceivesBlits) {
  QImage window(6, 4, QImage::Format_ARGB32);
  window.fill(Qt::white);
  CDC wdc;
  wdc.AttachSurface(&window);
  EXPECT_EQ(window.format(), QImage::Format_RGB32);
  Canvas src(2, 2, RGB(1, 2, 3));
  EXPECT_TRUE(wdc.BitBlt(4, 2, 2, 2, &src.dc, 0, 0, SRCCOPY));
  EXPECT_EQ(window.pixel(5, 3), 0xFF010203u);
  EXPECT_EQ(window.pixel(3, 3), 0xFFFFFFFFu);
  // A memory context without a bitmap of its own has nothing to draw on.
  CDC empty;
  EXPECT_FALSE(empty.BitBlt(0, 0, 2, 2, &src.dc, 0, 0, SRCCOPY));
  EXPECT_FALSE(wdc.BitBlt(0, 0, 2, 2, nullptr, 0, 0, SRCCOPY));
}

}  // namespace
