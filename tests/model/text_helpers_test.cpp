// White space, replacing, text lines and the name checksum.
#include "model/text_helpers.h"

#include <gtest/gtest.h>

TEST(TextHelpers, SkipWhiteSpaceNeverGivesNull) {
  EXPECT_STREQ(SkipWhiteSpace(nullptr), "");
  const char* spaces = "   ";
  EXPECT_STREQ(SkipWhiteSpace(spaces), "");
  EXPECT_STREQ(SkipWhiteSpace(" \t\r\n\v\fx y"), "x y");
  EXPECT_STREQ(SkipWhiteSpace("\xA0x"), "\xA0x");  // a no-break space of the code page is text
}

TEST(TextHelpers, ReplaceSubstringScansLeftToRightOnce) {
  struct Row {
    const char* text;
    const char* old;
    const char* replacement;
    const char* expected;
  };
  const Row rows[] = {
      {"a.b.c", ".", "..", "a..b..c"},
      {"aaa", "aa", "b", "ba"},
      {"abc", "", "x", "abc"},
      {"abc", "d", "x", "abc"},
      {"ABC", "b", "x", "ABC"},
      {"xx", "x", "", ""},
  };
  int row = 0;
  for (const Row& r : rows) {
    CString text = r.text;
    EXPECT_EQ(ReplaceSubstring(text, r.old, r.replacement).str(), r.expected) << "row " << row++;
  }
  CString text = "a\\b\\c";
  EXPECT_EQ(ReplaceChar(text, '\\', '/').str(), "a/b/c");
}

TEST(TextHelpers, LinesEndAtUpToTwoLineEndCharacters) {
  struct Row {
    const char* text;
    std::vector<std::string> lines;
  };
  const Row rows[] = {
      {"one\r\ntwo", {"one", "two"}},
      {"one\n\rtwo", {"one", "two"}},
      {"one\n\ntwo", {"one", "two"}},
      {"one\r\rtwo", {"one", "two"}},
      {"one\r\n\r\ntwo", {"one", "", "two"}},
      {"one\n\n\ntwo", {"one", "", "two"}},
      {"one\n", {"one"}},
      {"", {}},
      {"\ntwo", {"", "two"}},
  };
  int row = 0;
  for (const Row& r : rows) {
    for (std::size_t n = 0; n < r.lines.size(); ++n) {
      int length = -1;
      CString line;
      ASSERT_TRUE(HasTextLine(r.text, static_cast<int>(n), &length)) << "row " << row << " line " << n;
      EXPECT_EQ(length, static_cast<int>(r.lines[n].size())) << "row " << row << " line " << n;
      ASSERT_TRUE(GetTextLine(r.text, static_cast<int>(n), line));
      EXPECT_EQ(line.str(), r.lines[n]) << "row " << row << " line " << n;
    }
    EXPECT_FALSE(HasTextLine(r.text, static_cast<int>(r.lines.size()))) << "row " << row;
    ++row;
  }
  EXPECT_FALSE(HasTextLine("a", -1));
}

TEST(TextHelpers, StringChecksum) {
  EXPECT_EQ(StringChecksum(""), 0);
  EXPECT_EQ(StringChecksum("A"), 630);
  // ((0 ^ 'A') << 1) = 130; (130 ^ 'B') << 1 = 384; + 500.
  EXPECT_EQ(StringChecksum("AB"), 884);
  // A byte above 127 is negative and sets the high bits before the shift.
  EXPECT_EQ(StringChecksum("\xFF"), static_cast<WORD>((0xFFFF << 1) + 500));
}
