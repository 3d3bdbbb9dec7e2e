// Raster operations, the blit clipper and stretch maps.
#include "platform/gdi/raster_ops.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "platform/gdi/gdi_defs.h"

namespace {

using gdi::ApplyRop2;
using gdi::ApplyRop3;

constexpr DWORD P = 0xFFF0F0F0u, S = 0xFFCCCCCCu, D = 0xFFAAAAAAu;

TEST(RasterOps, TernaryOperationsFollowTheirTruthTables) {
  struct Row {
    DWORD rop;
    DWORD expected;
  } rows[] = {
      {SRCCOPY, S},
      {SRCPAINT, S | D},
      {SRCAND, S & D},
      {SRCINVERT, 0xFF000000u | (S ^ D)},
      {SRCERASE, 0xFF000000u | (S & ~D)},
      {NOTSRCCOPY, 0xFF000000u | ~S},
      {NOTSRCERASE, 0xFF000000u | ~(S | D)},
      {MERGECOPY, P & S},
      {MERGEPAINT, 0xFF000000u | (~S | D)},
      {PATCOPY, P},
      {PATPAINT, 0xFF000000u | (P | ~S | D)},
      {PATINVERT, 0xFF000000u | (P ^ D)},
      {DSTINVERT, 0xFF000000u | ~D},
      {BLACKNESS, 0xFF000000u},
      {WHITENESS, 0xFFFFFFFFu},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i)
    EXPECT_EQ(ApplyRop3(rows[i].rop, P, S, D), rows[i].expected) << "row " << i;
}

TEST(RasterOps, WhichOperationsReadSourceAndPattern) {
  EXPECT_TRUE(gdi::RopUsesSource(SRCCOPY));
  EXPECT_TRUE(gdi::RopUsesSource(MERGECOPY));
  EXPECT_FALSE(gdi::RopUsesSource(PATCOPY));
  EXPECT_FALSE(gdi::RopUsesSource(DSTINVERT));
  EXPECT_FALSE(gdi::RopUsesSource(BLACKNESS));
  EXPECT_TRUE(gdi::RopUsesPattern(PATINVERT));
  EXPECT_TRUE(gdi::RopUsesPattern(MERGECOPY));
  EXPECT_FALSE(gdi::RopUsesPattern(SRCAND));
}

TEST(RasterOps, MixModesOfPens) {
  constexpr DWORD pen = 0xFF00FF0Fu, dst = 0xFF123456u;
  struct Row {
    int mode;
    DWORD expected;
  } rows[] = {
      {R2_BLACK, 0xFF000000u},
      {R2_WHITE, 0xFFFFFFFFu},
      {R2_COPYPEN, pen},
      {R2_NOTCOPYPEN, 0xFF000000u | ~pen},
      {R2_NOT, 0xFF000000u | ~dst},
      {R2_NOP, dst},
      {R2_XORPEN, 0xFF000000u | (pen ^ dst)},
      {R2_NOTXORPEN, 0xFF000000u | ~(pen ^ dst)},
      {R2_MASKPEN, pen & dst},
      {R2_MERGEPEN, pen | dst},
      {R2_MASKPENNOT, 0xFF000000u | (pen & ~dst)},
      {R2_MERGENOTPEN, 0xFF000000u | (~pen | dst)},
      {0, pen},  // unknown modes copy
  };
  for (std::size_t i = 0; i < std::size(rows); ++i)
    EXPECT_EQ(ApplyRop2(rows[i].mode, pen, dst), rows[i].expected) << "row " << i;
}

TEST(RasterOps, ClipBlitMovesSourceAndDestinationTogether) {
  struct Row {
    CRect dst;
    CPoint src;
    CRect clip;
    CRect srcBounds;
    bool any;
    CRect dstOut;
    CPoint srcOut;
  } rows[] = {
      // Inside everything: unchanged.
      {{10, 10, 20, 20}, {0, 0}, {0, 0, 100, 100}, {0, 0, 50, 50}, true, {10, 10, 20, 20}, {0, 0}},
      // Destination starts left of the clip: the source moves right as much.
      {{-5, 0, 5, 10}, {0, 0}, {0, 0, 100, 100}, {0, 0, 50, 50}, true, {0, 0, 5, 10}, {5, 0}},
      // Source starts above its bitmap: the destination moves down as much.
      {{0, 0, 10, 10}, {3, -4}, {0, 0, 100, 100}, {0, 0, 50, 50}, true, {0, 4, 10, 10}, {3, 0}},
      // Source runs past its right edge.
      {{0, 0, 10, 10}, {45, 0}, {0, 0, 100, 100}, {0, 0, 50, 50}, true, {0, 0, 5, 10}, {45, 0}},
      // Exactly touching the edge: nothing.
      {{0, 0, 10, 10}, {50, 0}, {0, 0, 100, 100}, {0, 0, 50, 50}, false, {}, {}},
      {{100, 0, 110, 10}, {0, 0}, {0, 0, 100, 100}, {0, 0, 50, 50}, false, {}, {}},
      // Positions at the ends of the integer range do not overflow.
      {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {INT_MAX, INT_MAX}, {0, 0, 100, 100}, {0, 0, 50, 50}, false, {}, {}},
      {{INT_MIN / 2, 0, INT_MAX / 2, 10}, {INT_MIN / 2, 0}, {0, 0, 100, 100}, {0, 0, 50, 50}, true, {0, 0, 50, 10}, {0, 0}},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    CRect dst = rows[i].dst;
    CPoint src = rows[i].src;
    const bool any = gdi::ClipBlit(dst, src, rows[i].clip, rows[i].srcBounds);
    EXPECT_EQ(any, rows[i].any) << "row " << i;
    if (any && rows[i].any) {
      EXPECT_EQ(dst, rows[i].dstOut) << "row " << i;
      EXPECT_EQ(src, rows[i].srcOut) << "row " << i;
    }
  }
}

TEST(RasterOps, StretchMapsTakeTheNearestSourcePixel) {
  // Doubling: each source pixel twice.
  EXPECT_EQ(gdi::StretchMap(0, 6, 0, 3, 0, 6, 3), (std::vector<int>{0, 0, 1, 1, 2, 2}));
  // Halving: every other pixel.
  EXPECT_EQ(gdi::StretchMap(0, 3, 0, 6, 0, 3, 6), (std::vector<int>{0, 2, 4}));
  // Mirrored by a negative source length.
  EXPECT_EQ(gdi::StretchMap(0, 3, 2, -3, 0, 3, 3), (std::vector<int>{2, 1, 0}));
  // Only the clipped span is mapped; source pixels off the bitmap give -1.
  EXPECT_EQ(gdi::StretchMap(0, 4, -1, 4, 1, 3, 10), (std::vector<int>{0, 1}));
  EXPECT_EQ(gdi::StretchMap(0, 4, -2, 4, 0, 2, 10), (std::vector<int>{-1, -1}));
  EXPECT_TRUE(gdi::StretchMap(0, 0, 0, 4, 0, 4, 4).empty());
}

TEST(RasterOps, PatternTilesRepeatAcrossNegativeCoordinates) {
  gdi::PatternTile tile;
  tile.width = 2;
  tile.height = 1;
  tile.pixels = {1, 2};
  tile.opaque = {1, 1};
  tile.origin = CPoint(1, 0);
  EXPECT_EQ(tile.At(1, 0), 1u);
  EXPECT_EQ(tile.At(2, 5), 2u);
  EXPECT_EQ(tile.At(-1, -7), 1u);
  EXPECT_EQ(tile.At(INT_MIN, 0), 2u);
}

TEST(RasterOps, ColourConversions) {
  EXPECT_EQ(gdi::ColorToPixel(RGB(1, 2, 3)), 0xFF010203u);
  EXPECT_EQ(gdi::PixelToColor(0xFF010203u), RGB(1, 2, 3));
}

}  // namespace
