// What the layer does where no GUI application object exists (tools, helper programs).
#include <gtest/gtest.h>

#include "platform/gdi/brush.h"
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

}  // namespace
