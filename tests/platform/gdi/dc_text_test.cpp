// Fonts, text output and DrawText on a memory context.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/gdi/font.h"
#include "platform/gdi/font_mapper.h"
#include "platform/gdi/system_metrics.h"
#include "tests/platform/gdi/canvas.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

LOGFONT Font(const char* face, LONG height, LONG weight = FW_NORMAL) {
  LOGFONT lf;
  lf.lfHeight = height;
  lf.lfWeight = weight;
  std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return lf;
}

TEST(FontMapper, WindowsFacesFindTheirStandIns) {
  struct Row {
    const char* face;
    BYTE pitchAndFamily;
    const char* family;
  } rows[] = {
      {"Arial", 0, "Liberation Sans"},
      {"arial", 0, "Liberation Sans"},
      {"Times New Roman", 0, "Liberation Serif"},
      {"Courier New", 0, "Liberation Mono"},
      {"MS Sans Serif", 0, "Liberation Sans"},
      {"No Such Face", FF_ROMAN, "Liberation Serif"},
      {"", FIXED_PITCH, "Liberation Mono"},
      {"", 0, "Liberation Sans"},
      {"Liberation Serif", 0, "Liberation Serif"},  // installed faces are used as they are
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    LOGFONT lf = Font(rows[i].face, -12);
    lf.lfPitchAndFamily = rows[i].pitchAndFamily;
    EXPECT_EQ(gdi::MapFaceName(lf).toStdString(), rows[i].family) << "row " << i;
  }
  // A face name that fills all 32 bytes without its zero is still read safely.
  LOGFONT full;
  std::memset(full.lfFaceName, 'A', LF_FACESIZE);
  EXPECT_EQ(gdi::MapFaceName(full).toStdString(), "Liberation Sans");
}

TEST(FontMapper, HeightWeightAndStyle) {
  // Negative heights are the character height; positive ones the cell height.
  LOGFONT lf = Font("Arial", -20, FW_BOLD);
  lf.lfItalic = 1;
  lf.lfUnderline = 1;
  const QFont character = gdi::MakeQFont(lf);
  EXPECT_EQ(character.pixelSize(), 20);
  EXPECT_TRUE(character.bold());
  EXPECT_TRUE(character.italic());
  EXPECT_TRUE(character.underline());

  Canvas c(10, 10);
  for (LONG cell : {12, 20, 33}) {
    CFont font;
    LOGFONT positive = Font("Times New Roman", cell);
    font.CreateFontIndirect(&positive);
    c.dc.SelectObject(&font);
    TEXTMETRIC tm;
    ASSERT_TRUE(c.dc.GetTextMetrics(&tm));
    EXPECT_NEAR(tm.tmHeight, cell, 1) << "cell " << cell;
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
    EXPECT_GT(tm.tmAveCharWidth, 0);
    c.dc.SelectStockObject(SYSTEM_FONT);
  }
  // Absurd stored heights are cut rather than followed.
  LOGFONT huge = Font("Arial", INT32_MIN);
  EXPECT_LE(gdi::MakeQFont(huge).pixelSize(), 2000);
}

TEST(CDCText, ExtentsGrowWithTextAndFont) {
  Canvas c(10, 10);
  CFont small, big;
  LOGFONT a = Font("Arial", -10), b = Font("Arial", -30);
  small.CreateFontIndirect(&a);
  big.CreateFontIndirect(&b);
  c.dc.SelectObject(&small);
  const CSize one = c.dc.GetTextExtent("Hello");
  EXPECT_GT(c.dc.GetTextExtent("Hello, world").cx, one.cx);
  EXPECT_EQ(c.dc.GetTextExtent("").cx, 0);
  c.dc.SelectObject(&big);
  EXPECT_GT(c.dc.GetTextExtent("Hello").cx, 2 * one.cx);
  EXPECT_GT(c.dc.GetTextExtent("Hello").cy, 2 * one.cy);
}

TEST(CDCText, AlignmentPutsTheTextAroundItsReferencePoint) {
  struct Row {
    UINT align;
    bool leftOfPoint, abovePoint;
  } rows[] = {
      {TA_LEFT | TA_TOP, false, false},
      {TA_RIGHT | TA_TOP, true, false},
      {TA_LEFT | TA_BOTTOM, false, true},
      {TA_RIGHT | TA_BASELINE, true, true},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    Canvas c(200, 100);
    CFont font;
    LOGFONT lf = Font("Arial", -20);
    font.CreateFontIndirect(&lf);
    c.dc.SelectObject(&font);
    c.dc.SetBkMode(TRANSPARENT);
    c.dc.SetTextAlign(rows[i].align);
    c.dc.TextOut(100, 50, "Ham");
    const CRect ink = c.InkBox(kWhite);
    ASSERT_FALSE(ink.IsRectEmpty()) << "row " << i;
    EXPECT_EQ(ink.right <= 101, rows[i].leftOfPoint) << "row " << i << " ink " << ink.left << "-" << ink.right;
    EXPECT_EQ(ink.bottom <= 51, rows[i].abovePoint) << "row " << i << " ink " << ink.top << "-" << ink.bottom;
  }
  // Centred text straddles the point.
  Canvas c(200, 100);
  c.dc.SetTextAlign(TA_CENTER);
  c.dc.SetBkMode(TRANSPARENT);
  c.dc.TextOut(100, 50, "Centred");
  const CRect ink = c.InkBox(kWhite);
  EXPECT_LT(ink.left, 100);
  EXPECT_GT(ink.right, 100);
}

TEST(CDCText, CurrentPositionMovesPastTheText) {
  Canvas c(200, 50);
  c.dc.SetTextAlign(TA_UPDATECP);
  c.dc.MoveTo(10, 10);
  c.dc.TextOut(0, 0, "abc");
  EXPECT_EQ(c.dc.GetCurrentPosition(), CPoint(10 + c.dc.GetTextExtent("abc").cx, 10));
  const CRect ink = c.InkBox(kWhite);
  EXPECT_GE(ink.top, 10);
  EXPECT_GE(ink.left, 10);
}

TEST(CDCText, OpaqueBackgroundAndClippedOutput) {
  Canvas c(100, 40);
  c.dc.SetBkColor(RGB(0, 0, 255));
  const CRect box(10, 10, 30, 20);
  // A box without text: the fill that text boxes use.
  c.dc.ExtTextOut(10, 10, ETO_OPAQUE, &box, "");
  EXPECT_EQ(c.InkBox(kWhite), box);
  EXPECT_EQ(c.Count(RGB(0, 0, 255)), 200);

  Canvas clipped(100, 40);
  clipped.dc.SetBkMode(TRANSPARENT);
  clipped.dc.ExtTextOut(5, 5, ETO_CLIPPED, &box, "WWWWWWWWWWWWWW");
  const CRect ink = clipped.InkBox(kWhite);
  EXPECT_FALSE(ink.IsRectEmpty());
  EXPECT_GE(ink.left, box.left);
  EXPECT_LE(ink.right, box.right);
  EXPECT_LE(ink.bottom, box.bottom);

  // Opaque mode paints the text's own cell.
  Canvas opaque(100, 40);
  opaque.dc.SetBkColor(RGB(0, 255, 0));
  opaque.dc.TextOut(0, 0, "x");
  const CSize size = opaque.dc.GetTextExtent("x");
  EXPECT_EQ(opaque.dc.GetPixel(0, 0), RGB(0, 255, 0));
  EXPECT_EQ(opaque.dc.GetPixel(size.cx - 1, size.cy - 1), RGB(0, 255, 0));
  EXPECT_EQ(opaque.dc.GetPixel(0, size.cy), kWhite);
}

TEST(CDCText, EscapementTurnsTheText) {
  Canvas c(200, 200);
  CFont font;
  LOGFONT lf = Font("Arial", -20);
  lf.lfEscapement = 900;  // straight up
  font.CreateFontIndirect(&lf);
  c.dc.SelectObject(&font);
  c.dc.SetBkMode(TRANSPARENT);
  c.dc.TextOut(100, 150, "Rotated text");
  const CRect ink = c.InkBox(kWhite);
  EXPECT_GT(ink.Height(), 3 * ink.Width()) << ink.Width() << "x" << ink.Height();
  EXPECT_LE(ink.bottom, 151);
  EXPECT_GE(ink.left, 99);
}

// Centred, word-broken text (as text actions draw it) wraps onto several
// lines and stays inside its rectangle.
TEST(CDCText, CentredWordBrokenTextStaysInsideItsRectangle) {
  Canvas c(300, 200);
  CFont font;
  LOGFONT lf = Font("Times New Roman", -16);
  font.CreateFontIndirect(&lf);
  c.dc.SelectObject(&font);
  c.dc.SetBkMode(TRANSPARENT);
  CRect rect(40, 30, 200, 180);
  const CString text = "The quick brown fox jumps over the lazy dog and keeps on running";
  const UINT format = DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | DT_CENTER;
  CRect measured = rect;
  const int height = c.dc.DrawText(text, &measured, format | DT_CALCRECT);
  EXPECT_EQ(c.InkBox(kWhite), CRect()) << "measuring draws nothing";
  EXPECT_EQ(measured.left, rect.left);
  EXPECT_LE(measured.right, rect.right);
  EXPECT_EQ(measured.Height(), height);
  TEXTMETRIC tm;
  c.dc.GetTextMetrics(&tm);
  EXPECT_GE(height, 3 * tm.tmHeight);  // wrapped

  EXPECT_EQ(c.dc.DrawText(text, &rect, format), height);
  const CRect ink = c.InkBox(kWhite);
  EXPECT_GE(ink.left, rect.left);
  EXPECT_LE(ink.right, rect.right);
  EXPECT_GE(ink.top, rect.top);
  EXPECT_LE(ink.bottom, rect.bottom);
  EXPECT_LE(ink.bottom, rect.top + height + 2);  // a descender may reach just past its cell
  // Centred: about as much room on each side.
  EXPECT_NEAR(ink.left - rect.left, rect.right - ink.right, 12);
}

TEST(CDCText, SingleLineCentredBothWays) {
  Canvas c(200, 100);
  c.dc.SetBkMode(TRANSPARENT);
  CRect rect(0, 0, 200, 100);
  const int offset = c.dc.DrawText("Mid", &rect, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  const CRect ink = c.InkBox(kWhite);
  EXPECT_NEAR((ink.left + ink.right) / 2, 100, 3);
  EXPECT_NEAR((ink.top + ink.bottom) / 2, 50, 6);
  EXPECT_GT(offset, 50);  // from the top to the bottom of the text
  // Without clipping, text may run out of a too-small rectangle.
  Canvas n(200, 100);
  n.dc.SetBkMode(TRANSPARENT);
  CRect tiny(10, 10, 12, 12);
  n.dc.DrawText("Overflow", &tiny, DT_NOCLIP);
  EXPECT_GT(n.InkBox(kWhite).right, 30);
  Canvas clipped(200, 100);
  clipped.dc.SetBkMode(TRANSPARENT);
  clipped.dc.DrawText("Overflow", &tiny, 0);
  EXPECT_LE(clipped.InkBox(kWhite).right, 12);
  EXPECT_EQ(clipped.dc.DrawText("x", nullptr, 0), 0);
}

TEST(CDCText, CalcRectOfSingleLineIsTheTextExtent) {
  Canvas c(10, 10);
  CRect r(5, 5, 6, 6);
  const int h = c.dc.DrawText("Some text", &r, DT_SINGLELINE | DT_CALCRECT);
  const CSize size = c.dc.GetTextExtent("Some text");
  EXPECT_EQ(r, CRect(5, 5, 5 + size.cx, 5 + size.cy));
  EXPECT_EQ(h, size.cy);
  // Prefix characters are not measured.
  CRect p(0, 0, 1, 1);
  c.dc.DrawText("&Some text", &p, DT_SINGLELINE | DT_CALCRECT);
  EXPECT_EQ(p.Width(), size.cx);
}

TEST(SystemMetrics, TrueColourScreenWithoutPalette) {
  Canvas c(1, 1);
  EXPECT_EQ(c.dc.GetDeviceCaps(BITSPIXEL), 32);
  EXPECT_EQ(c.dc.GetDeviceCaps(PLANES), 1);
  EXPECT_EQ(c.dc.GetDeviceCaps(SIZEPALETTE), 0);
  EXPECT_EQ(c.dc.GetDeviceCaps(RASTERCAPS) & RC_PALETTE, 0);
  EXPECT_EQ(c.dc.GetDeviceCaps(NUMCOLORS), -1);
  EXPECT_EQ(c.dc.GetDeviceCaps(LOGPIXELSX), 96);
  EXPECT_EQ(c.dc.GetDeviceCaps(HORZRES), GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(c.dc.GetDeviceCaps(VERTRES), GetSystemMetrics(SM_CYSCREEN));
  EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), kWhite);
  EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), kBlack);
  EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHTTEXT), kWhite);
  EXPECT_EQ(GetSysColor(-1), 0u);
  EXPECT_EQ(GetSysColor(99), 0u);
}

}  // namespace
