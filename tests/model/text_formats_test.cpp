// Comparing rich-text character and paragraph formats.
#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "model/text_formats.h"

namespace {

TEST(TextFormats, CharFormatsCompareAllButTheCharacterSet) {
  LOGFONT font;
  font.lfWeight = FW_BOLD;
  std::strcpy(font.lfFaceName, "Arial");
  CHARFORMAT a, b;
  CharFormatFromLogFont(a, font, 12, RGB(1, 2, 3));
  CharFormatFromLogFont(b, font, 12, RGB(1, 2, 3));
  b.bCharSet = 2;
  EXPECT_TRUE(CharFormatEquals(a, b));
  b.crTextColor = 0;
  EXPECT_FALSE(CharFormatEquals(a, b));
  CharFormatFromLogFont(b, font, 12, RGB(1, 2, 3));
  std::strcpy(b.szFaceName, "Arial Black");
  EXPECT_FALSE(CharFormatEquals(a, b));
  CharFormatFromLogFont(b, font, 13, RGB(1, 2, 3));
  EXPECT_FALSE(CharFormatEquals(a, b));
}

TEST(TextFormats, AStoredPointSizeOfAnySizeGivesAHeightALongHolds) {
  LOGFONT font;
  CHARFORMAT format;
  const std::pair<int, LONG> rows[] = {{107374182, 2147483640}, {654311444, 2147483647}, {-654311444, -2147483647 - 1}};
  for (const auto& [points, twips] : rows) {
    CharFormatFromLogFont(format, font, points, 0);
    EXPECT_EQ(format.yHeight, twips) << points;
  }
}

TEST(TextFormats, ParaFormatsCompareTabsUpToTheirCount) {
  PARAFORMAT a, b;
  a.cTabCount = b.cTabCount = 2;
  a.rgxTabs[0] = b.rgxTabs[0] = 720;
  a.rgxTabs[1] = b.rgxTabs[1] = 1440;
  a.rgxTabs[5] = 99;  // past the count
  b.dxStartIndent = 300;
  b.wAlignment = 2;
  EXPECT_TRUE(ParaFormatEquals(a, b));
  b.rgxTabs[1] = 1441;
  EXPECT_FALSE(ParaFormatEquals(a, b));
  b.rgxTabs[1] = 1440;
  b.dxRightIndent = 1;
  EXPECT_FALSE(ParaFormatEquals(a, b));
  // A count beyond the record compares the stops there are.
  PARAFORMAT c, d;
  c.cTabCount = d.cTabCount = 1000;
  EXPECT_TRUE(ParaFormatEquals(c, d));
  d.rgxTabs[31] = 1;
  EXPECT_FALSE(ParaFormatEquals(c, d));
}

}  // namespace
