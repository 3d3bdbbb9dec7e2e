// Scroll state of windows and the scroll view's steps and limits.
#include <gtest/gtest.h>

#include <QImage>

#include "platform/scroll_view.h"
#include "tests/platform/window_test_support.h"

namespace {

class CPageView : public CScrollView {
 public:
  ~CPageView() override { DestroyWindow(); }

 protected:
  void PostNcDestroy() override {}  // owned by the test
};

}  // namespace

class ScrollViewTest : public WindowTest {
 protected:
  void SetUp() override {
    frame = MakeWindow(CRect(0, 0, 640, 480));
    ASSERT_TRUE(view.Create("", WS_CHILD | WS_VISIBLE, CRect(0, 0, 640, 480), frame.get()));
    view.SetScrollSizes(MM_TEXT, CSize(1024, 768));
    PumpReady();
  }
  std::unique_ptr<CRecordingWnd> frame;
  CPageView view;
};

TEST_F(ScrollViewTest, StepsStayWithinTheLimits) {
  EXPECT_EQ(view.GetScrollLimit(SB_HORZ), 384);
  EXPECT_EQ(view.GetScrollLimit(SB_VERT), 288);
  EXPECT_TRUE(view.GetStyle() & WS_VSCROLL);
  view.SendMessage(WM_VSCROLL, SB_LINEDOWN);
  EXPECT_EQ(view.GetScrollPosition(), CPoint(0, 7));  // a hundredth of the page
  view.SendMessage(WM_HSCROLL, SB_PAGERIGHT);
  EXPECT_EQ(view.GetScrollPosition(), CPoint(102, 7));
  view.SendMessage(WM_VSCROLL, SB_BOTTOM);
  EXPECT_EQ(view.GetScrollPosition().y, 288);
  EXPECT_FALSE(view.OnScrollBy(CSize(0, 50)));  // already at the limit
  EXPECT_TRUE(view.OnScrollBy(CSize(-500, 0)));
  EXPECT_EQ(view.GetScrollPosition(), CPoint(0, 288));
  view.SendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 200));
  EXPECT_EQ(view.GetScrollPosition().x, 200);
  // Without moving: the answer only.
  EXPECT_TRUE(view.OnScrollBy(CSize(10, 0), FALSE));
  EXPECT_EQ(view.GetScrollPosition().x, 200);
  EXPECT_EQ(view.SetScrollPos(SB_HORZ, 5000), 200);
  EXPECT_EQ(view.GetScrollPos(SB_HORZ), 384);
}

TEST_F(ScrollViewTest, ScrollingMovesTheShownImageAndInvalidatesTheNewStrip) {
  view.GetSurface()->setPixel(100, 100, qRgb(1, 2, 3));
  view.ScrollToPosition(CPoint(10, 0));
  EXPECT_EQ(view.GetSurface()->pixel(90, 100), qRgb(1, 2, 3));
  CRect update;
  ASSERT_TRUE(view.GetUpdateRect(&update));
  EXPECT_EQ(update, CRect(630, 0, 640, 480));
}

TEST_F(ScrollViewTest, AWindowAsLargeAsThePageHasNothingToScroll) {
  view.ScrollToPosition(CPoint(300, 200));
  view.MoveWindow(0, 0, 1024, 768);
  EXPECT_EQ(view.GetScrollPosition(), CPoint(0, 0));
  EXPECT_EQ(view.GetScrollLimit(SB_HORZ), 0);
  EXPECT_FALSE(view.GetStyle() & WS_HSCROLL);
  EXPECT_FALSE(view.OnScrollBy(CSize(10, 10)));
  SCROLLINFO bad = view.GetScrollInfo(7);
  EXPECT_EQ(bad.nMax, 0);
}
