// setup's own windows on the off-screen display: the background window's bands and shadowed title, the gauge and the name fields, read back with grab().
#include <QImage>
#include <QWidget>

#include <algorithm>

#include "platform/gdi/system_metrics.h"
#include "setuptools/setup/main_frame.h"
#include "setuptools/setup/no_flicker_text.h"
#include "setuptools/setup/progress_gauge.h"
#include "tests/platform/user/window_test_support.h"

namespace {

QRgb Rgb(COLORREF c) { return qRgb(GetRValue(c), GetGValue(c), GetBValue(c)); }

class SetupWindowsTest : public WindowTest {
 protected:
  QImage Shown(CWnd& wnd) {
    PumpReady();
    return wnd.GetWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }
  std::unique_ptr<setup::CMainFrame> Frame(const CString& title, int width, int height) {
    auto frame = std::make_unique<setup::CMainFrame>(title, [this] { ++runs; }, [this] { return exitAnswer; });
    const CRect area(0, 0, width, height);
    EXPECT_TRUE(frame->CreateFrame(true, &area));
    return frame;
  }
  int runs = 0;
  bool exitAnswer = false;
};

TEST_F(SetupWindowsTest, TheGradientHas256BandsRoundedUpAndTheLowerOnesClipped) {
  struct Row {
    int height, band;
  } rows[] = {{600, 3}, {512, 2}, {256, 1}};
  for (const Row& r : rows) {
    EXPECT_EQ(setup::CMainFrame::BandHeight(r.height), r.band) << r.height;
    auto frame = Frame(CString(), 64, r.height);
    const QImage shown = Shown(*frame);
    ASSERT_EQ(shown.height(), r.height);
    // An empty title paints the gradient only.
    for (int y = 0; y < r.height; ++y) {
      for (int x : {0, 31, 63}) {
        ASSERT_EQ(shown.pixel(x, y), qRgb(0, 0, 255 - y / r.band)) << r.height << " at " << x << "," << y;
      }
    }
  }
}

TEST_F(SetupWindowsTest, TheTitleIsWhiteWithABlackShadowFivePixelsRightAndDown) {
  auto frame = Frame(CString("Install the Demo"), 800, 600);
  const QImage shown = Shown(*frame);
  // Strong pixels: more than half covered. White ones carry red; the shadow is darkened blue.
  int wx0 = 9999, wy0 = 9999, wx1 = -1, wy1 = -1, bx1 = -1, by1 = -1;
  for (int y = 0; y < shown.height(); ++y) {
    const int band = 255 - y / 3;
    for (int x = 0; x < shown.width(); ++x) {
      const QRgb p = shown.pixel(x, y);
      if (qRed(p) >= 128) {
        wx0 = std::min(wx0, x), wy0 = std::min(wy0, y), wx1 = std::max(wx1, x), wy1 = std::max(wy1, y);
      } else if (qRed(p) == 0 && qBlue(p) <= band / 2) {
        bx1 = std::max(bx1, x), by1 = std::max(by1, y);
      }
    }
  }
  ASSERT_GE(wx1, 0);
  // The white copy starts 30 pixels in (35 less 5), the black one 35.
  EXPECT_GE(wx0, 30);
  EXPECT_LT(wx0, 40);
  EXPECT_GE(wy0, 30);
  EXPECT_LT(wy0, 50);
  EXPECT_NEAR(bx1, wx1 + 5, 1);
  EXPECT_NEAR(by1, wy1 + 5, 1);
  EXPECT_GT(wx1 - wx0, 200);  // one line of 32-point bold text
  EXPECT_LT(wy1 - wy0, 60);
}

TEST_F(SetupWindowsTest, TheBackgroundWindowRunsTheInstallationAndAsksTheExitQuestion) {
  auto frame = Frame(CString("T"), 100, 100);
  frame->PostMessage(setup::WM_SETUP_RUN);
  PumpReady();
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(frame->SendMessage(setup::WM_SETUP_ASK_EXIT), 0);
  exitAnswer = true;
  EXPECT_EQ(frame->SendMessage(setup::WM_SETUP_ASK_EXIT), 1);
}

TEST_F(SetupWindowsTest, TheGaugeSplitsWhereTheBarEndsAndShowsThePercentage) {
  const QRgb highlight = Rgb(GetSysColor(COLOR_HIGHLIGHT));
  const QRgb face = Rgb(GetSysColor(COLOR_BTNFACE));
  CProgressGauge gauge;
  ASSERT_TRUE(gauge.CreateEx(0, CString(), WS_POPUP | WS_VISIBLE, CRect(0, 0, 280, 40), nullptr, 0));
  struct Row {
    std::int32_t range, pos, storedRange, storedPos;
    const char* text;
    int split;  // the first pixel of the right part
  } rows[] = {
      {0, 0, 1, 0, "  0%", 1},
      {100, 150, 100, 100, "100%", 280},
      {7, 3, 7, 3, " 42%", 121},
      {2000000000, 1999999999, 2000000000, 1999999999, " 99%", 280},  // 64-bit products
  };
  for (const Row& r : rows) {
    gauge.SetRange(r.range);
    gauge.SetPos(r.pos);
    const QImage shown = Shown(gauge);
    EXPECT_EQ(gauge.Range(), r.storedRange) << r.text;
    EXPECT_EQ(gauge.Pos(), r.storedPos) << r.text;
    EXPECT_EQ(gauge.PercentText().str(), r.text);
    EXPECT_EQ(shown.pixel(r.split - 1, 0), highlight) << r.text;
    if (r.split < 280) {
      EXPECT_EQ(shown.pixel(r.split, 0), face) << r.text;
    }
    // The percentage is drawn across the middle.
    int text = 0;
    for (int x = 0; x < 280; ++x) text += shown.pixel(x, 20) != highlight && shown.pixel(x, 20) != face;
    EXPECT_GT(text, 0) << r.text;
  }
  gauge.SetPos(1);
  gauge.Step(2);
  EXPECT_EQ(gauge.Pos(), 3);
}

TEST_F(SetupWindowsTest, TheNameFieldPaintsItsTextOverTheButtonFace) {
  const QRgb face = Rgb(GetSysColor(COLOR_BTNFACE));
  CNoFlickerText field;
  ASSERT_TRUE(field.CreateEx(0, CString(), WS_POPUP | WS_VISIBLE, CRect(0, 0, 200, 20), nullptr, 0));
  field.SetText(CString("C:\\DEMO\\A.TXT"));
  QImage shown = Shown(field);
  int dark = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 60; ++x) dark += qGray(shown.pixel(x, y)) < 100;
  EXPECT_GT(dark, 10);
  EXPECT_EQ(shown.pixel(199, 10), face);
  // A shorter text clears the rest of the line.
  field.SetText(CString("A"));
  shown = Shown(field);
  EXPECT_EQ(shown.pixel(50, 10), face);
}

}  // namespace
