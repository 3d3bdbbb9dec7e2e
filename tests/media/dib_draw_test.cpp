// CDib drawing onto device contexts: zoom, keyed and masked copies, printers, bands, bitmaps and capture.
#include <gtest/gtest.h>

#include "media/dib.h"
#include "platform/gdi/dc.h"
#include "tests/media/image_test_util.h"
#include "tests/media/media_test_util.h"
#include "tests/support/bmp_writer.h"

using namespace tvn::testing;

namespace {

constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// A 24-bit picture whose pixel (x, y) has the colour colour(x, y) (0xRRGGBB).
template <class Colour>
CDib Picture(int width, int height, Colour colour) {
  std::vector<std::vector<std::uint32_t>> rows(static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) rows[static_cast<std::size_t>(y)].push_back(colour(x, y));
  BmpFile f;
  f.width = width;
  f.height = height;
  f.bitCount = 24;
  f.pixels = PackRows(rows, 24);
  return DibFrom(f.Bytes());
}

// Distinct colours by position: red = x * 16, green = y * 5.
std::uint32_t Gradient(int x, int y) { return static_cast<std::uint32_t>((x * 16) << 16 | (y * 5) << 8 | 0x40); }
COLORREF GradientRef(int x, int y) { return RGB(x * 16, y * 5, 0x40); }

// 4 x 3 with magenta corners on the top row, hBitmap and a key mask made.
CDib KeyedPicture() {
  CDib dib = Picture(4, 3, [](int x, int y) { return (y == 0 && (x == 0 || x == 3)) ? 0xFF00FFu : Gradient(x, y); });
  dib.hBitmap = dib.DibToBitmap(dib.hDib);
  dib.CreateMask(kKey);
  return dib;
}

}  // namespace

TEST(CDibDraw, StretchDibZoomsByNegativeSizesAndCutsTheSourceToThePicture) {
  const CDib dib = Picture(2, 2, Gradient);
  Page page(8, 8);
  dib.StretchDib(&page.dc, 1, 1, -2, -2, 0, 0, -1, -1, FALSE);
  EXPECT_EQ(page.At(0, 0), kWhite);
  EXPECT_EQ(page.At(1, 1), GradientRef(0, 0));
  EXPECT_EQ(page.At(2, 2), GradientRef(0, 0));
  EXPECT_EQ(page.At(3, 1), GradientRef(1, 0));
  EXPECT_EQ(page.At(4, 4), GradientRef(1, 1));
  EXPECT_EQ(page.At(5, 5), kWhite);

  // A source reaching past the picture draws only what the picture has, at the same scale.
  Page cut(8, 8);
  dib.StretchDib(&cut.dc, 0, 0, 8, 8, 1, 0, 4, 4, FALSE);
  EXPECT_EQ(cut.At(0, 0), GradientRef(1, 0));
  EXPECT_EQ(cut.At(1, 3), GradientRef(1, 1));
  EXPECT_EQ(cut.At(2, 0), kWhite);
  EXPECT_EQ(cut.At(0, 4), kWhite);
}

TEST(CDibDraw, KeyedCopyAndThreePassMaskGiveTheSamePicture) {
  const CDib dib = KeyedPicture();
  Page keyed(6, 5), masked(6, 5);
  keyed.dc.FillSolidRect(CRect(0, 0, 6, 5), RGB(1, 2, 3));
  masked.dc.FillSolidRect(CRect(0, 0, 6, 5), RGB(1, 2, 3));
  dib.DrawTransparent(&keyed.dc, 1, 1, 4, 3, 0, 0, kKey);
  // An anisotropic mapping of 1:1 leaves the keyed copy out: the mask passes draw instead.
  masked.dc.SetMapMode(MM_ANISOTROPIC);
  dib.DrawTransparent(&masked.dc, 1, 1, 4, 3, 0, 0, kKey);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(keyed.At(x, y), masked.At(x, y)) << x << "," << y;
  EXPECT_EQ(keyed.At(1, 1), RGB(1, 2, 3));
  EXPECT_EQ(keyed.At(2, 1), GradientRef(1, 0));

  // A printer gets the picture without transparency.
  Page printer(6, 5);
  printer.dc.SetPrinting(TRUE);
  dib.DrawTransparent(&printer.dc, 1, 1, 4, 3, 0, 0, kKey);
  EXPECT_EQ(printer.At(1, 1), kKey);
}

TEST(CDibDraw, KeyedCopyIsCutLikeTheMaskPasses) {
  // 9 x 7 with a key pixel wherever x + y is a multiple of 4.
  CDib dib = Picture(9, 7, [](int x, int y) { return (x + y) % 4 == 0 ? 0xFF00FFu : Gradient(x, y); });
  dib.hBitmap = dib.DibToBitmap(dib.hDib);
  dib.CreateMask(kKey);
  struct Case {
    CPoint at;
    CPoint source;
    CSize size;
    CPoint viewport;
    CRect clip;  // logical, empty for none
  };
  const Case cases[] = {
      {{2, 1}, {0, 0}, {9, 7}, {0, 0}, {}},
      {{-3, -2}, {0, 0}, {9, 7}, {0, 0}, {}},          // off the top left
      {{7, 6}, {1, 0}, {8, 7}, {0, 0}, {}},            // off the bottom right
      {{1, 2}, {-2, -1}, {9, 7}, {0, 0}, {}},          // the source starts before the picture
      {{2, 1}, {1, 1}, {7, 5}, {-1, 2}, {3, 2, 9, 7}},  // scrolled and clipped
      {{0, 0}, {0, 0}, {9, 7}, {4, 3}, {-6, -5, 2, 1}},
  };
  for (std::size_t n = 0; n < std::size(cases); ++n) {
    const Case& c = cases[n];
    Page keyed(12, 10), masked(12, 10);
    for (Page* page : {&keyed, &masked}) {
      page->dc.FillSolidRect(CRect(0, 0, 12, 10), RGB(1, 2, 3));
      // An anisotropic mapping of 1:1 leaves the keyed copy out: the mask passes draw instead.
      if (page == &masked) page->dc.SetMapMode(MM_ANISOTROPIC);
      page->dc.SetViewportOrg(c.viewport);
      if (!c.clip.IsRectEmpty()) page->dc.IntersectClipRect(c.clip);
      dib.DrawTransparent(&page->dc, c.at.x, c.at.y, c.size.cx, c.size.cy, c.source.x, c.source.y, kKey);
    }
    int drawn = 0, differing = 0;
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 12; ++x) {
        drawn += keyed.At(x, y) != RGB(1, 2, 3);
        differing += keyed.At(x, y) != masked.At(x, y);
      }
    EXPECT_GT(drawn, 0) << "case " << n;
    EXPECT_EQ(differing, 0) << "case " << n;
  }
}

TEST(CDibDraw, DirectDrawsAreCutToWhatRemainsOfThePicture) {
  CDib dib = KeyedPicture();
  for (bool withBitmap : {true, false}) {
    if (!withBitmap) dib.hBitmap = CPixelImage();
    Page page(10, 10);
    dib.DrawDirect(&page.dc, 0, 0, 10, 10, 2, 1);
    EXPECT_EQ(page.At(0, 0), GradientRef(2, 1)) << withBitmap;
    EXPECT_EQ(page.At(1, 1), GradientRef(3, 2)) << withBitmap;
    EXPECT_EQ(page.At(2, 0), kWhite) << withBitmap;
    EXPECT_EQ(page.At(0, 2), kWhite) << withBitmap;
  }
}

TEST(CDibDraw, StretchDrawThroughTheMaskLeavesKeyPixelsOut) {
  const CDib dib = KeyedPicture();
  Page page(8, 6);
  dib.StretchDraw(&page.dc, 0, 0, 8, 6, 0, 0, -1, -1, TRUE);
  EXPECT_EQ(page.At(0, 0), kWhite);
  EXPECT_EQ(page.At(1, 1), kWhite);
  EXPECT_EQ(page.At(2, 0), GradientRef(1, 0));
  EXPECT_EQ(page.At(7, 5), GradientRef(3, 2));
  Page opaque(8, 6);
  dib.StretchDraw(&opaque.dc, 0, 0, 8, 6, 0, 0, -1, -1, FALSE);
  EXPECT_EQ(opaque.At(0, 0), kKey);
}

TEST(CDibDraw, BandsPrintEveryRowInOrder) {
  const CDib tall = Picture(3, 40, Gradient);
  Page page(3, 40);
  page.dc.SetPrinting(TRUE);
  tall.DrawBanded(&page.dc, 0, 0, 3, 40, 0, 0, -1, -1);
  for (int y = 0; y < 40; ++y) EXPECT_EQ(page.At(1, y), GradientRef(1, y)) << y;

  // A height that is no multiple of the band: the last band takes the rest.
  const CDib odd = Picture(2, 50, Gradient);
  Page oddPage(2, 100);
  odd.DrawBanded(&oddPage.dc, 0, 0, 2, 100, 0, 0, -1, -1);
  for (int y = 0; y < 100; ++y) EXPECT_EQ(oddPage.At(0, y), GradientRef(0, y / 2)) << y;

  // Shorter than one band: printed as one band, not divided by zero.
  const CDib shortOne = Picture(3, 7, Gradient);
  Page small(3, 14);
  shortOne.DrawBanded(&small.dc, 0, 0, 3, 14, 0, 0, -1, -1);
  EXPECT_EQ(small.At(0, 0), GradientRef(0, 0));
  EXPECT_EQ(small.At(2, 13), GradientRef(2, 6));
}

TEST(CDibDraw, BitmapsAndCapture) {
  CPixelImage bitmap(2, 2);
  bitmap.Fill(RGB(9, 9, 9));
  Page page(4, 4);
  EXPECT_FALSE(CDib::DrawBitmap(&page.dc, 0, 0, CPixelImage(), SRCCOPY));
  EXPECT_FALSE(CDib::DrawBitmap(nullptr, 0, 0, bitmap, SRCCOPY));
  EXPECT_TRUE(CDib::DrawBitmap(&page.dc, 1, 1, bitmap, SRCCOPY));
  EXPECT_EQ(page.At(2, 2), RGB(9, 9, 9));
  EXPECT_EQ(page.At(3, 3), kWhite);

  CDib dib;
  const CRect window(0, 0, 4, 4), client(1, 1, 3, 3);
  EXPECT_EQ(dib.CaptureWindow(page.image, window, client, CDib::kCaptureWindow).Width(), 4);
  EXPECT_EQ(dib.CaptureWindow(page.image, window, client, CDib::kCaptureClient).Width(), 2);
  EXPECT_EQ(dib.hBitmap.GetPixel(0, 0), RGB(9, 9, 9));
  EXPECT_TRUE(dib.CaptureWindow(page.image, window, client, 1108).IsNull());
}
