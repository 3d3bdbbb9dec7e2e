// Drawing helpers on a memory context: colour ramps, arrow heads, opaque boxes, clipped and rotated text.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "model/draw_helpers.h"
#include "model/gradient_cache.h"
#include "platform/gdi/rgn.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/pen.h"
#include "tests/platform/gdi/canvas.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

BYTE RedAt(Canvas& c, int x, int y) { return GetRValue(c.dc.GetPixel(x, y)); }

TEST(DrawHelpers, GradientStepRoundsHalfAwayFromZero) {
  EXPECT_EQ(GradientStep(200, 0, 20), 10);
  EXPECT_EQ(GradientStep(5, 0, 2), 3);
  EXPECT_EQ(GradientStep(0, 5, 2), -3);
  EXPECT_EQ(GradientStep(0, 255, 64), -4);
  EXPECT_EQ(GradientStep(7, 7, 30), 0);
}

TEST(DrawHelpers, GradientStepsFollowTheDistanceToTheCentre) {
  // 40 high: 20 steps, bands 3 rows high, red moving by 10.
  Canvas a(10, 40, kWhite);
  DrawGradientRect(&a.dc, CRect(0, 0, 10, 40), RGB(0, 0, 0), RGB(200, 0, 0), kGradientTopToBottom);
  EXPECT_EQ(RedAt(a, 5, 0), 0);
  EXPECT_EQ(RedAt(a, 5, 2), 0);
  EXPECT_EQ(RedAt(a, 5, 3), 10);
  EXPECT_EQ(RedAt(a, 5, 6), 20);
  EXPECT_EQ(RedAt(a, 5, 39), 130);  // the last band is cut at the bottom
  // 200 high and 60 wide: 30 steps from the left-to-centre distance, bands 7 high.
  Canvas b(60, 200, kWhite);
  DrawGradientRect(&b.dc, CRect(0, 0, 60, 200), RGB(0, 0, 0), RGB(240, 0, 0), kGradientTopToBottom);
  EXPECT_EQ(RedAt(b, 1, 6), 0);
  EXPECT_EQ(RedAt(b, 1, 7), 8);
  // Left to right uses columns of the band width.
  Canvas c(40, 10, kWhite);
  DrawGradientRect(&c.dc, CRect(0, 0, 40, 10), RGB(0, 0, 0), RGB(200, 0, 0), kGradientLeftToRight);
  EXPECT_EQ(RedAt(c, 0, 0), 0);
  EXPECT_EQ(RedAt(c, 39, 0), GradientStep(200, 0, 5) * 4);
}

TEST(DrawHelpers, ConcentricGradientsStayInsideTheRectangle) {
  for (UINT mode : {kGradientRectangles, kGradientEllipses}) {
    Canvas c(60, 50, kWhite);
    const CRect r(10, 10, 50, 40);
    DrawGradientRect(&c.dc, r, RGB(0, 0, 0), RGB(0, 0, 255), mode);
    EXPECT_EQ(c.InkBox(kWhite), r) << mode;
    // The corners keep colours near the start, the middle one near the end.
    EXPECT_LE(GetBValue(c.dc.GetPixel(10, 10)), 34) << mode;
    EXPECT_GT(GetBValue(c.dc.GetPixel(30, 25)), 200) << mode;
  }
}

TEST(DrawHelpers, CachedGradientsGiveTheSamePixelsAsDrawnOnes) {
  // Odd and even sizes, every mode, an origin that moves the page, an
  // elliptic clip; each drawn twice through one cache (drawn, then copied).
  CGradientCache cache;
  for (const CRect& r : {CRect(3, 4, 9, 13), CRect(5, 7, 88, 61), CRect(-20, 10, 150, 97), CRect(1, 1, 64, 64)}) {
    for (UINT mode : {kGradientRectangles, kGradientEllipses, kGradientTopToBottom, kGradientLeftToRight, 0u}) {
      for (int pass = 0; pass < 2; ++pass) {
        Canvas direct(120, 100, kWhite), cached(120, 100, kWhite);
        CRgn clip;
        clip.CreateEllipticRgn(r.left + 7, r.top + 2, r.right + 3, r.bottom - 1);
        for (Canvas* c : {&direct, &cached}) {
          c->dc.SetViewportOrg(pass * 3, -pass * 2);
          c->dc.SelectClipRgn(&clip);
        }
        DrawGradientRect(&direct.dc, r, RGB(10, 200, 30), RGB(250, 5, 90), mode);
        cache.Draw(&cached.dc, r, RGB(10, 200, 30), RGB(250, 5, 90), mode);
        EXPECT_EQ(direct.Pixels(), cached.Pixels()) << r.left << " " << mode << " " << pass;
      }
    }
  }
  // New colours are drawn anew, and a context that scales draws directly.
  Canvas direct(60, 60, kWhite), cached(60, 60, kWhite);
  for (Canvas* c : {&direct, &cached}) {
    c->dc.SetMapMode(MM_ANISOTROPIC);
    c->dc.SetWindowExt(2, 2);
    c->dc.SetViewportExt(3, 3);
  }
  DrawGradientRect(&direct.dc, CRect(0, 0, 30, 30), 0, kWhite, kGradientEllipses);
  cache.Draw(&cached.dc, CRect(0, 0, 30, 30), 0, kWhite, kGradientEllipses);
  EXPECT_EQ(direct.Pixels(), cached.Pixels());
}

TEST(DrawHelpers, GradientWithoutAModeFillsWithTheStartColour) {
  Canvas c(20, 20, kWhite);
  DrawGradientRect(&c.dc, CRect(2, 2, 12, 12), RGB(9, 8, 7), RGB(200, 0, 0), 0);
  EXPECT_EQ(c.Count(RGB(9, 8, 7)), 100);
}

TEST(DrawHelpers, HelpersLeaveTheContextAsTheyFoundIt) {
  Canvas c(20, 20, kWhite);
  CPen pen(PS_SOLID, 1, RGB(1, 1, 1));
  CBrush brush(RGB(2, 2, 2));
  c.dc.SelectObject(&pen);
  c.dc.SelectObject(&brush);
  c.dc.SetBkColor(RGB(3, 3, 3));
  DrawGradientRect(&c.dc, CRect(0, 0, 20, 20), 0, kWhite, kGradientEllipses);
  DrawTextBox(&c.dc, 1, 1, 5, 5, RGB(9, 9, 9));
  EXPECT_EQ(c.dc.GetBkColor(), RGB(3, 3, 3));
  EXPECT_EQ(c.dc.GetCurrentPen()->GetLogPen().lopnColor, RGB(1, 1, 1));
  EXPECT_EQ(c.dc.GetCurrentBrush()->GetLogBrush().lbColor, RGB(2, 2, 2));
  // The clip the ellipses needed is gone too.
  c.dc.SetPixel(19, 19, RGB(4, 4, 4));
  EXPECT_EQ(c.dc.GetPixel(19, 19), RGB(4, 4, 4));
}

TEST(DrawHelpers, TextBoxesFillTheirRectangle) {
  Canvas c(20, 20, kWhite);
  DrawTextBox(&c.dc, 2, 3, 5, 4, RGB(10, 20, 30));
  EXPECT_EQ(c.InkBox(kWhite), CRect(2, 3, 7, 7));
  DrawTextBackground(&c.dc, CRect(10, 10, 12, 11), RGB(10, 20, 30));
  EXPECT_EQ(c.Count(RGB(10, 20, 30)), 22);
}

TEST(DrawHelpers, ArrowHeadWithoutAContextGivesItsBounds) {
  CRect out(1, 1, 1, 1);
  // Size 1: wings 10 long at 0.245 radians, truncated: (9, 2) and (9, -2).
  EXPECT_EQ(DrawArrowHead(&out, nullptr, CPoint(0, 0), CPoint(100, 0), 1, TRUE), CRect(0, -2, 100, 2));
  EXPECT_EQ(out, CRect(0, -2, 100, 2));
  // Wings 20 long either side of a line going up, each coordinate truncated toward zero.
  EXPECT_EQ(DrawArrowHead(nullptr, nullptr, CPoint(50, 50), CPoint(50, 0), 2, FALSE), CRect(45, 0, 54, 50));
}

TEST(DrawHelpers, ArrowHeadsDrawATriangleOrTwoStrokes) {
  for (BOOL filled : {TRUE, FALSE}) {
    Canvas c(40, 40, kWhite);
    CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
    CBrush brush(RGB(0, 0, 0));
    c.dc.SelectObject(&pen);
    c.dc.SelectObject(&brush);
    CRect out(1, 1, 2, 2);
    DrawArrowHead(&out, &c.dc, CPoint(5, 20), CPoint(35, 20), 2, filled);
    EXPECT_TRUE(out.IsRectNull());
    const CRect ink = c.InkBox(kWhite);
    EXPECT_GE(ink.left, 4);
    EXPECT_LE(ink.right, 26);
    // A filled head is solid between its wings, an open one is not.
    EXPECT_EQ(c.dc.GetPixel(18, 20) == RGB(0, 0, 0), filled == TRUE);
  }
}

TEST(DrawHelpers, RotatedTextUsesTheStoredRadianFactor) {
  EXPECT_EQ(RotatedTextOffset(150, 20), 10);
  EXPECT_EQ(RotatedTextOffset(30, 20), 9);
  EXPECT_EQ(RotatedTextOffset(90, 20), 20);
  EXPECT_EQ(RotatedTextOffset(0, 20), 0);
  EXPECT_EQ(RotatedTextOffset(270, 20), 20);
  // pi / 180 itself would give 9 at 150 degrees.
  EXPECT_EQ(static_cast<int>(std::sin(150 * std::numbers::pi / 180) * 20), 9);
}

TEST(DrawHelpers, ClippedTextLosesBytesFromItsEnd) {
  Canvas whole(200, 40, kWhite), first(200, 40, kWhite), clipped(200, 40, kWhite), none(200, 40, kWhite);
  whole.dc.TextOut(0, 0, CString("WWWW"));
  first.dc.TextOut(0, 0, CString("W"));
  DrawTextClipped(&clipped.dc, 0, 0, 0, "WWWW");
  EXPECT_EQ(clipped.InkBox(kWhite), first.InkBox(kWhite));
  const int width = whole.dc.GetTextExtent(CString("WWWW")).cx;
  Canvas exact(200, 40, kWhite);
  DrawTextClipped(&exact.dc, 0, 0, width, "WWWW");
  EXPECT_EQ(exact.InkBox(kWhite), whole.InkBox(kWhite));
  DrawTextClipped(&none.dc, 0, 0, 100, "");
  EXPECT_TRUE(none.InkBox(kWhite).IsRectEmpty());
}

TEST(DrawHelpers, DitherBrushesTakeOneBlockOfTheStrip) {
  // Two 8 x 8 patterns side by side: all black, then all white.
  CBitmap strip;
  std::vector<DWORD> bits(16 * 8, gdi::ColorToPixel(0));
  for (int y = 0; y < 8; ++y)
    for (int x = 8; x < 16; ++x) bits[static_cast<std::size_t>(y * 16 + x)] = gdi::ColorToPixel(kWhite);
  strip.CreateBitmap(16, 8, 1, 32, bits.data());
  for (int n : {0, 1}) {
    CBrush brush;
    ASSERT_TRUE(CreateDitherBrush(strip, n, brush));
    Canvas c(8, 8, RGB(0, 128, 0));
    c.dc.FillRect(CRect(0, 0, 8, 8), &brush);
    EXPECT_EQ(c.Count(n == 0 ? RGB(0, 0, 0) : kWhite), 64) << n;
  }
  CBrush brush;
  EXPECT_FALSE(CreateDitherBrush(strip, 2, brush));
  EXPECT_FALSE(CreateDitherBrush(strip, -1, brush));
}

}  // namespace
