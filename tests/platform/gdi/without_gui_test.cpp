// What the layer does where no GUI application object exists (tools, helper programs).
#include <gtest/gtest.h>

#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/richedit/rich_edit_ctrl.h"
#include "platform/user/wait_cursor.h"
#include "tests/platform/gdi/canvas.h"

namespace {

TEST(CDCWithoutGui, PixelWorkRunsAndTextQuietlyDoesNothing) {
  Canvas c(20, 20);
  CBrush red(RGB(255, 0, 0));
  c.dc.SelectObject(&red);
  c.dc.Rectangle(2, 2, 10, 10);
  EXPECT_EQ(c.dc.GetPixel(5, 5), RGB(255, 0, 0));
  CRect box(0, 0, 5, 5);
  EXPECT_TRUE(c.dc.ExtTextOut(0, 0, ETO_OPAQUE, &box, ""));  // a plain fill needs no font
  EXPECT_FALSE(c.dc.TextOut(0, 0, "text"));
  EXPECT_EQ(c.dc.GetTextExtent("text"), CSize());
  EXPECT_EQ(c.dc.DrawText("text", &box, DT_CALCRECT), 0);
  TEXTMETRIC tm;
  EXPECT_FALSE(c.dc.GetTextMetrics(&tm));
}

TEST(WaitCursorWithoutGui, ShowsNothingAndDoesNotFail) {
  CWaitCursor wait;
  CWaitCursorPause pause;
  EXPECT_EQ(OverrideCursorId(), 0u);
}

TEST(RichEditWithoutGui, RtfStreamsInAndOutWithItsFacesAndNothingIsLaidOut) {
  // Installed, substituted, unknown and missing faces and a picture: none needs the font database.
  const std::string rtf =
      "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}{\\f2\\fmodern No Such Face;}"
      "{\\f3 ;}}\\f0\\fs24 one \\f1\\b two\\b0  \\f2 three \\f3 four"
      "{\\pict\\dibitmap0\\picw1\\pich1 28000000010000000100000001001800000000000400000000000000000000000000000000000000"
      "0000ff00}\\par}";
  CRichEditCtrl edit;
  edit.StreamIn(SF_RTF, rtf);
  EXPECT_EQ(edit.StreamOut(SF_TEXT), "one two three four\r\n");
  edit.SetSel(4, 7);
  CHARFORMAT format;
  edit.GetSelectionCharFormat(format);
  EXPECT_STREQ(format.szFaceName, "Times New Roman");
  EXPECT_TRUE(format.dwEffects & CFE_BOLD);
  const std::string out = edit.StreamOut(SF_RTF);
  EXPECT_NE(out.find("No Such Face"), std::string::npos) << out;
  EXPECT_NE(out.find("\\pict"), std::string::npos) << out;
  EXPECT_EQ(edit.CharFromPos(CPoint(1, 1)), -1);
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  EXPECT_EQ(edit.FormatRange(&dc, CRect(0, 0, 1440, 1440)), 0);
}

}  // namespace
