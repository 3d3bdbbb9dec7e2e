// Course fonts through the drawing layer: sizes that show, and the context's own font put back.
#include "playback/player_font_services.h"

#include <gtest/gtest.h>

#include <cstring>

#include "model/font_object.h"
#include "platform/gdi/font.h"
#include "platform/gdi/gdi_defs.h"
#include "tests/platform/gdi/canvas.h"
#include "tests/platform/user/window_test_support.h"

namespace {

int InkHeightOf(CFontObject& font, const char* text) {
  Canvas canvas(600, 160);
  IGdiFont* old = font.Select(&canvas.dc);
  canvas.dc.SetBkMode(TRANSPARENT);
  canvas.dc.TextOut(10, 10, text);
  if (old) GetFontServices().SelectFont(&canvas.dc, old);
  return canvas.InkBox(RGB(255, 255, 255)).Height();
}

}  // namespace

TEST(PlayerFontServices, CourseFontsDrawAtTheirPointSize) {
  EnsureQtApplication();
  CPlayerFontServices services;
  CFontServicesScope scope(services);
  CFontObject small, large;
  small.SetSize(12);
  large.SetSize(48);
  ASSERT_TRUE(small.CreateFont(0, 0));
  ASSERT_TRUE(large.CreateFont(0, 0));
  EXPECT_EQ(large.GetLogFont().lfHeight, -64);  // 48 points at 96 pixels per inch
  int smallInk = InkHeightOf(small, "HELLO");
  int largeInk = InkHeightOf(large, "HELLO");
  EXPECT_GT(smallInk, 5);
  EXPECT_GT(largeInk, 3 * smallInk);
}

TEST(PlayerFontServices, PuttingBackRestoresTheContextsOwnFont) {
  CPlayerFontServices services;
  CFontServicesScope scope(services);
  Canvas canvas(10, 10);
  const LOGFONT initial = canvas.dc.GetCurrentFont()->GetLogFontRef();
  CFontObject font;
  ASSERT_TRUE(font.CreateFont(0, 0));
  IGdiFont* old = font.Select(&canvas.dc);
  ASSERT_NE(old, nullptr);
  EXPECT_NE(canvas.dc.GetCurrentFont()->GetLogFontRef().lfHeight, initial.lfHeight);
  services.SelectFont(&canvas.dc, old);
  EXPECT_EQ(std::memcmp(&canvas.dc.GetCurrentFont()->GetLogFontRef(), &initial, sizeof(LOGFONT)), 0);

  // A course font replaced by another comes back as itself.
  CFontObject second;
  ASSERT_TRUE(second.CreateFont(0, 0));
  font.Select(&canvas.dc);
  EXPECT_NE(second.Select(&canvas.dc), old);
}
