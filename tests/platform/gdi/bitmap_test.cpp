// CBitmap: sizes, stored bits, and its life while selected into a context.
#include "platform/gdi/bitmap.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/gdi/dc.h"

namespace {

TEST(CBitmap, RefusesSizesAndDepthsItCannotHold) {
  struct Row {
    int w, h;
    UINT planes, bits;
    bool ok;
  } rows[] = {
      {1, 1, 1, 32, true},        {1, 1, 1, 1, true},          {0, 1, 1, 32, false},
      {1, -1, 1, 32, false},      {32768, 1, 1, 32, false},    {20000, 20000, 1, 32, false},
      {8, 8, 1, 8, false},        {8, 8, 1, 24, false},        {8, 8, 4, 8, true},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    CBitmap b;
    EXPECT_EQ(b.CreateBitmap(rows[i].w, rows[i].h, rows[i].planes, rows[i].bits, nullptr) != FALSE, rows[i].ok)
        << "row " << i;
    EXPECT_EQ(b.IsCreated(), rows[i].ok) << "row " << i;
  }
}

TEST(CBitmap, StoredBitsRoundTrip) {
  // 32-bit rows: blue, green, red, unused.
  const unsigned char colour[] = {1, 2, 3, 99, 4, 5, 6, 99};
  CBitmap b;
  ASSERT_TRUE(b.CreateBitmap(2, 1, 1, 32, colour));
  EXPECT_EQ(b.GetSurface().Row(0)[0], 0xFF030201u);
  unsigned char back[8] = {};
  EXPECT_EQ(b.GetBitmapBits(sizeof back, back), 8u);
  EXPECT_EQ(back[4], 4);
  EXPECT_EQ(back[3], 0);
  BITMAP info;
  EXPECT_GT(b.GetBitmap(&info), 0);
  EXPECT_EQ(info.bmWidthBytes, 8);
  EXPECT_EQ(info.bmBitsPixel, 32);

  // Monochrome rows are padded to 16 bits; a set bit is white.
  const unsigned char mono[] = {0xA0, 0x00, 0x40, 0xFF};
  CBitmap m;
  ASSERT_TRUE(m.CreateBitmap(3, 2, 1, 1, mono));
  EXPECT_EQ(m.GetWidthBytes(), 2);
  EXPECT_EQ(m.GetSurface().Row(0)[0], 0xFFFFFFFFu);
  EXPECT_EQ(m.GetSurface().Row(0)[1], 0xFF000000u);
  EXPECT_EQ(m.GetSurface().Row(1)[1], 0xFFFFFFFFu);
  unsigned char monoBack[4] = {0xEE, 0xEE, 0xEE, 0xEE};
  EXPECT_EQ(m.GetBitmapBits(sizeof monoBack, monoBack), 4u);
  EXPECT_EQ(monoBack[0], 0xA0);
  EXPECT_EQ(monoBack[2], 0x40);
  EXPECT_EQ(monoBack[3], 0x00);  // padding comes back clear
}

TEST(CBitmap, ShortBufferCopiesWholeRowsOnly) {
  CBitmap b;
  ASSERT_TRUE(b.CreateBitmap(2, 3, 1, 32, nullptr));
  const unsigned char row[12] = {9, 9, 9, 0, 9, 9, 9, 0, 7, 7, 7, 0};
  EXPECT_EQ(b.SetBitmapBits(12, row), 8u);  // one row and a half: one row
  EXPECT_EQ(b.GetSurface().Row(0)[1], 0xFF090909u);
  EXPECT_EQ(b.GetSurface().Row(1)[0], 0xFF000000u);
  EXPECT_EQ(b.SetBitmapBits(100, nullptr), 0u);
}

TEST(CBitmap, DeletedWhileSelectedTheContextDrawsOnItsOwnBitmap) {
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  auto b = std::make_unique<CBitmap>();
  ASSERT_TRUE(b->CreateBitmap(10, 10, 1, 32, nullptr));
  CBitmap* first = dc.SelectObject(b.get());
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(dc.GetSurfaceInfo().width, 10);
  b.reset();
  EXPECT_EQ(dc.GetSurfaceInfo().width, 1);
  dc.FillSolidRect(CRect(0, 0, 10, 10), RGB(255, 0, 0));  // no write to freed memory
  EXPECT_EQ(dc.GetCurrentBitmap(), first);

  // Re-creating a selected bitmap is seen by the context.
  CBitmap c;
  c.CreateBitmap(2, 2, 1, 32, nullptr);
  dc.SelectObject(&c);
  c.CreateBitmap(5, 5, 1, 32, nullptr);
  EXPECT_EQ(dc.GetSurfaceInfo().width, 5);
}

TEST(CBitmap, SelectedIntoOneContextAtATime) {
  CBitmap b;
  b.CreateBitmap(4, 4, 1, 32, nullptr);
  CDC one, two;
  one.CreateCompatibleDC(nullptr);
  two.CreateCompatibleDC(nullptr);
  EXPECT_NE(one.SelectObject(&b), nullptr);
  EXPECT_EQ(two.SelectObject(&b), nullptr);
  one.DeleteDC();
  EXPECT_NE(two.SelectObject(&b), nullptr);
}

TEST(CBitmap, CompatibleBitmapFollowsTheContext) {
  CDC dc;
  dc.CreateCompatibleDC(nullptr);  // holds its 1 x 1 monochrome bitmap
  CBitmap mono;
  mono.CreateCompatibleBitmap(&dc, 3, 3);
  EXPECT_TRUE(mono.IsMonochrome());
  CBitmap colour;
  colour.CreateCompatibleBitmap(nullptr, 3, 3);
  EXPECT_FALSE(colour.IsMonochrome());
  dc.SelectObject(&colour);
  CBitmap another;
  another.CreateCompatibleBitmap(&dc, 3, 3);
  EXPECT_FALSE(another.IsMonochrome());
  EXPECT_EQ(dc.GetDeviceCaps(BITSPIXEL), 32);
}

}  // namespace
