// Line breaking of formatted text, measured with a fixed 10 pixels per byte.
#include "platform/gdi/text_layout.h"

#include <gtest/gtest.h>

#include "platform/gdi/gdi_defs.h"

namespace {

int TenPerByte(std::string_view s) { return static_cast<int>(s.size()) * 10; }

std::vector<std::string> Texts(const std::vector<gdi::TextLine>& lines) {
  std::vector<std::string> out;
  for (const auto& l : lines) out.push_back(l.text);
  return out;
}

using Lines = std::vector<std::string>;

TEST(TextLayout, WordBreakFillsLinesAndDropsTheBreakingSpaces) {
  struct Row {
    const char* text;
    int width;
    Lines expected;
  } rows[] = {
      {"one two three", 80, {"one two", "three"}},
      {"one two three", 70, {"one two", "three"}},   // exactly fits
      {"one two three", 69, {"one", "two", "three"}},
      {"one   two", 40, {"one", "two"}},            // runs of spaces vanish at the break
      {"  lead", 100, {"  lead"}},                   // leading spaces of a paragraph stay
      {"enormousword x", 50, {"enormousword", "x"}}, // too wide alone: kept whole
      {"a\r\nb\nc\rd", 100, {"a", "b", "c", "d"}},
      {"a\r\n\r\nb", 100, {"a", "", "b"}},
      {"", 100, {""}},
      {"x ", 100, {"x"}},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i)
    EXPECT_EQ(Texts(gdi::LayoutText(rows[i].text, DT_WORDBREAK | DT_NOPREFIX, rows[i].width, 80, TenPerByte)),
              rows[i].expected)
        << "row " << i;
}

TEST(TextLayout, LinesWithoutWordBreakOrOnASingleLine) {
  EXPECT_EQ(Texts(gdi::LayoutText("one two\nthree", DT_NOPREFIX, 10, 80, TenPerByte)), (Lines{"one two", "three"}));
  EXPECT_EQ(Texts(gdi::LayoutText("one two\nthree", DT_SINGLELINE | DT_WORDBREAK | DT_NOPREFIX, 10, 80, TenPerByte)),
            (Lines{"one two\nthree"}));
}

TEST(TextLayout, PrefixesUnderlineAndDoubleAmpersandsShowOne) {
  auto lines = gdi::LayoutText("&File && more", 0, 1000, 80, TenPerByte);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].text, "File & more");
  EXPECT_EQ(lines[0].underline, 0);
  EXPECT_EQ(lines[0].width, 110);
  lines = gdi::LayoutText("ab\nc&d&", 0, 1000, 80, TenPerByte);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].text, "cd");
  EXPECT_EQ(lines[1].underline, 1);
  EXPECT_EQ(lines[0].underline, -1);
  lines = gdi::LayoutText("&File", DT_NOPREFIX, 1000, 80, TenPerByte);
  EXPECT_EQ(lines[0].text, "&File");
  EXPECT_EQ(lines[0].underline, -1);
}

TEST(TextLayout, TabsJumpToTheNextStop) {
  EXPECT_EQ(gdi::MeasureWithTabs("ab\tc", true, 80, TenPerByte), 90);
  EXPECT_EQ(gdi::MeasureWithTabs("abcdefgh\tc", true, 80, TenPerByte), 170);  // at a stop: to the next one
  EXPECT_EQ(gdi::MeasureWithTabs("\t\t", true, 80, TenPerByte), 160);
  EXPECT_EQ(gdi::MeasureWithTabs("ab\tc", false, 80, TenPerByte), 40);
  // Word wrap measures across tab stops.
  auto lines = gdi::LayoutText("a\tb c", DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX, 95, 80, TenPerByte);
  EXPECT_EQ(Texts(lines), (Lines{"a\tb", "c"}));
  EXPECT_EQ(lines[0].width, 90);
}

}  // namespace
