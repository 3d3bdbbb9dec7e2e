// Code page 1252 conversions and letter case.
#include "platform/base/codepage.h"

#include <gtest/gtest.h>

#include "platform/base/cstring.h"

namespace cp = tvn::codepage;

TEST(CodePage, EveryByteSurvivesUnicodeRoundTrips) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(cp::FromUtf16(cp::ToUtf16(all)), all);
  EXPECT_EQ(cp::FromUtf8(cp::ToUtf8(all)), all);
}

TEST(CodePage, HighControlRangeMapsToTypographicCharacters) {
  EXPECT_EQ(cp::ToUnicode(0x80), u'\u20AC');  // euro sign
  EXPECT_EQ(cp::ToUnicode(0x93), u'\u201C');
  EXPECT_EQ(cp::ToUnicode(0x81), u'\u0081');  // undefined byte passes through
  EXPECT_EQ(cp::ToUtf8("\x80"), "\xE2\x82\xAC");
  EXPECT_EQ(cp::FromUtf8("caf\xC3\xA9"), "caf\xE9");
}

TEST(CodePage, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(cp::FromUtf16(u"a\u4E2Db"), "a?b");
  EXPECT_EQ(cp::FromUtf16(u"\U0001F600"), "?");       // a surrogate pair is one character
  EXPECT_EQ(cp::FromUtf8("x\xFFy\xE2\x82"), "x?y??");  // malformed and truncated sequences
}

TEST(CodePage, LetterCaseCoversAccentedLetters) {
  struct Row { unsigned char lower, upper; };
  const Row rows[] = {{'a', 'A'}, {0xE9, 0xC9}, {0x9A, 0x8A}, {0x9C, 0x8C}, {0x9E, 0x8E}, {0xFF, 0x9F}};
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    EXPECT_EQ(cp::ToUpper(rows[i].lower), rows[i].upper) << "row " << i;
    EXPECT_EQ(cp::ToLower(rows[i].upper), rows[i].lower) << "row " << i;
  }
  EXPECT_EQ(cp::ToUpper(0xDF), 0xDF);  // sharp s has no capital here
  EXPECT_EQ(cp::ToUpper(0xF7), 0xF7);  // division sign is no letter
  EXPECT_EQ(cp::CompareNoCase("intro.bmp", "INTRO.BMP"), 0);
  EXPECT_EQ(cp::CompareNoCase("\xE9t\xE9", "\xC9T\xC9"), 0);
  EXPECT_LT(cp::CompareNoCase("abc", "abd"), 0);
  EXPECT_LT(cp::CompareNoCase("ab", "abc"), 0);
}

TEST(CodePage, AsciiFoldLeavesAccentedLettersAlone) {
  struct Row { const char* a; const char* b; bool same1252, sameAscii; };
  const Row rows[] = {
      {"Intro.BMP", "INTRO.bmp", true, true},
      {"\xE9", "\xC9", true, false},  // e and E acute
      {"\x9A", "\x8A", true, false},  // s and S caron
      {"\xFF", "\x9F", true, false},  // y and Y diaeresis
      {"\xD7", "\xF7", false, false},  // multiplication and division signs, 0x20 apart, are no letters
      {"\xDF", "\xFF", false, false},  // sharp s has no capital
      {"@", "`", false, false},
      {"[", "{", false, false},
      {"ab", "abc", false, false},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    EXPECT_EQ(cp::EqualsNoCase(rows[i].a, rows[i].b), rows[i].same1252) << "row " << i;
    EXPECT_EQ(cp::EqualsNoCaseAscii(rows[i].a, rows[i].b), rows[i].sameAscii) << "row " << i;
  }
  EXPECT_EQ(cp::Upper("caf\xE9 \xFF"), "CAF\xC9 \x9F");
  EXPECT_EQ(cp::UpperAscii("caf\xE9 \xFF"), "CAF\xE9 \xFF");
  EXPECT_EQ(cp::LowerAscii("CAF\xC9"), "caf\xC9");
}
