// Scroll state of windows and the scroll view's steps and limits.
#include <gtest/gtest.h>

#include <QImage>
#include <QScrollBar>

#include "platform/framework/scroll_view.h"
#include "tests/platform/user/window_test_support.h"

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
  // Both bars show and take their room from the client area.
  EXPECT_TRUE(view.GetStyle() & WS_VSCROLL);
  EXPECT_TRUE(view.GetStyle() & WS_HSCROLL);
  const int extent = view.GetScrollBarExtent();
  CRect client;
  view.GetClientRect(&client);
  EXPECT_EQ(client, CRect(0, 0, 640 - extent, 480 - extent));
  const int limitX = 1024 - client.Width(), limitY = 768 - client.Height();
  EXPECT_EQ(view.GetScrollLimit(SB_HORZ), limitX);
  EXPECT_EQ(view.GetScrollLimit(SB_VERT), limitY);
  view.SendMessage(WM_VSCROLL, SB_LINEDOWN);
  EXPECT_EQ(view.GetScrollPosition(), CPoint(0, 7));  // a hundredth of the page
  view.SendMessage(WM_HSCROLL, SB_PAGERIGHT);
  EXPECT_EQ(view.GetScrollPosition(), CPoint(102, 7));
  view.SendMessage(WM_VSCROLL, SB_BOTTOM);
  EXPECT_EQ(view.GetScrollPosition().y, limitY);
  EXPECT_FALSE(view.OnScrollBy(CSize(0, 50)));  // already at the limit
  EXPECT_TRUE(view.OnScrollBy(CSize(-500, 0)));
  EXPECT_EQ(view.GetScrollPosition(), CPoint(0, limitY));
  view.SendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 200));
  EXPECT_EQ(view.GetScrollPosition().x, 200);
  // Without moving: the answer only.
  EXPECT_TRUE(view.OnScrollBy(CSize(10, 0), FALSE));
  EXPECT_EQ(view.GetScrollPosition().x, 200);
  EXPECT_EQ(view.SetScrollPos(SB_HORZ, 5000), 200);
  EXPECT_EQ(view.GetScrollPos(SB_HORZ), limitX);
}

TEST_F(ScrollViewTest, UsingTheShownBarAsksTheWindowToScroll) {
  auto* bar = view.GetWidget()->findChild<QScrollBar*>();
  QScrollBar* vertical = nullptr;
  for (QScrollBar* b : view.GetWidget()->findChildren<QScrollBar*>())
    if (b->orientation() == Qt::Vertical) vertical = b;
  ASSERT_NE(bar, nullptr);
  ASSERT_NE(vertical, nullptr);
  EXPECT_TRUE(vertical->isVisibleTo(view.GetWidget()));
  EXPECT_EQ(vertical->maximum(), view.GetScrollLimit(SB_VERT));
  vertical->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(vertical->value(), 0);  // nothing moves before the window answers
  PumpReady();
  EXPECT_EQ(view.GetScrollPosition(), CPoint(0, 76));
  EXPECT_EQ(vertical->value(), 76);
  vertical->triggerAction(QAbstractSlider::SliderToMaximum);
  PumpReady();
  EXPECT_EQ(vertical->value(), view.GetScrollLimit(SB_VERT));
}

TEST_F(ScrollViewTest, ScrollingMovesTheShownImageAndInvalidatesTheNewStrip) {
  view.GetSurface()->setPixel(100, 100, qRgb(1, 2, 3));
  view.ScrollToPosition(CPoint(10, 0));
  EXPECT_EQ(view.GetSurface()->pixel(90, 100), qRgb(1, 2, 3));
  CRect client, update;
  view.GetClientRect(&client);
  ASSERT_TRUE(view.GetUpdateRect(&update));
  EXPECT_EQ(update, CRect(client.right - 10, 0, client.right, client.bottom));
}

TEST_F(ScrollViewTest, AWindowAsLargeAsThePageHasNothingToScroll) {
  view.ScrollToPosition(CPoint(300, 200));
  view.MoveWindow(0, 0, 1024, 768);
  EXPECT_EQ(view.GetScrollPosition(), CPoint(0, 0));
  EXPECT_EQ(view.GetScrollLimit(SB_HORZ), 0);
  EXPECT_FALSE(view.GetStyle() & WS_HSCROLL);
  CRect client;
  view.GetClientRect(&client);
  EXPECT_EQ(client, CRect(0, 0, 1024, 768));  // the bars gave their room back
  EXPECT_FALSE(view.OnScrollBy(CSize(10, 10)));
  SCROLLINFO bad = view.GetScrollInfo(7);
  EXPECT_EQ(bad.nMax, 0);
}
