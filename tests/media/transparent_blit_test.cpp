// The keyed copy: clipping both sides together, and key pixels left out.
#include "media/transparent_blit.h"

#include <gtest/gtest.h>

using namespace tvn::dib;

TEST(TransparentBlit, ClipsSourceAndTargetTogether) {
  struct Row {
    BlitRect in;
    std::optional<BlitRect> want;
  };
  // Target 10x8, source 4x4.
  const Row rows[] = {
      {{0, 0, 4, 4, 0, 0}, BlitRect{0, 0, 4, 4, 0, 0}},
      {{-2, 1, 4, 4, 0, 0}, BlitRect{0, 1, 2, 4, 2, 0}},     // off the target's left: source cut too
      {{3, 3, 4, 4, -1, -3}, BlitRect{4, 6, 3, 1, 0, 0}},    // before the source's corner
      {{8, 6, 4, 4, 0, 0}, BlitRect{8, 6, 2, 2, 0, 0}},      // past the target's corner
      {{0, 0, 9, 9, 2, 3}, BlitRect{0, 0, 2, 1, 2, 3}},      // past the source's corner
      {{10, 0, 4, 4, 0, 0}, std::nullopt},
      {{0, 0, 4, 4, 4, 0}, std::nullopt},
      {{0, 0, 0, 4, 0, 0}, std::nullopt},
      {{-2000000000, 0, 2100000000, 4, 0, 0}, std::nullopt},  // the source lies left of the target
      {{0, 0, 2000000000, 2000000000, -2000000000, 0}, std::nullopt},
  };
  for (std::size_t n = 0; n < std::size(rows); ++n) {
    EXPECT_EQ(ClipBlit(rows[n].in, 10, 8, 4, 4), rows[n].want) << "row " << n;
  }
}

TEST(TransparentBlit, KeyPixelsLeaveTheTarget) {
  const COLORREF key = RGB(0, 255, 0);
  CPixelImage source(3, 2);
  source.Fill(key);
  source.SetPixel(1, 0, RGB(200, 10, 10));
  source.SetPixel(2, 1, RGB(10, 10, 200));
  CPixelImage target(4, 4);
  target.Fill(RGB(50, 50, 50));
  EXPECT_TRUE(HasTransparentBlt());
  EXPECT_TRUE(TransparentBlt(target, 2, 2, 3, 2, source, 0, 0, 3, 2, key));
  EXPECT_EQ(target.GetPixel(2, 2), RGB(50, 50, 50));  // key: left alone
  EXPECT_EQ(target.GetPixel(3, 2), RGB(200, 10, 10));
  EXPECT_EQ(target.GetPixel(3, 3), RGB(50, 50, 50));  // the blue pixel fell off the right edge
  EXPECT_EQ(target.GetPixel(1, 2), RGB(50, 50, 50));
  // Stretching is not offered; nothing to copy is still a success.
  EXPECT_FALSE(TransparentBlt(target, 0, 0, 6, 4, source, 0, 0, 3, 2, key));
  EXPECT_TRUE(TransparentBlt(target, 9, 9, 3, 2, source, 0, 0, 3, 2, key));
  CPixelImage none;
  EXPECT_FALSE(TransparentBlt(none, 0, 0, 3, 2, source, 0, 0, 3, 2, key));
}
