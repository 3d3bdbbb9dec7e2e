// The bridge of program texts to Qt: code page 1252 by default, UTF-8 by the program's choice; texts, typed characters, positions.
#include "platform/gdi/qt_text.h"

#include <gtest/gtest.h>

#include "platform/base/program_text.h"

namespace {

using tvn::text::TextEncoding;

const QString kCity = QString::fromUtf8("C:\\Kursy\\\xC5\x81\xC3\xB3\x64\xC5\xBA");  // C:\Kursy\Łódź
const std::string kCityUtf8 = "C:\\Kursy\\\xC5\x81\xC3\xB3\x64\xC5\xBA";

TEST(QtText, CodePage1252IsTheDefaultAndKeepsEveryByte) {
  ASSERT_EQ(tvn::text::GetProgramEncoding(), TextEncoding::kAnsi);
  EXPECT_EQ(gdi::ToQt(std::string("caf\xE9 \x80")), QString::fromUtf8("caf\xC3\xA9 \xE2\x82\xAC"));
  // Ł has no byte in code page 1252; ó has one.
  EXPECT_EQ(gdi::FromQt(kCity), "C:\\Kursy\\?\xF3" "d?");
  EXPECT_EQ(gdi::CharCodesOf(QString::fromUtf8("\xC3\xB3\xC5\x81")), (std::vector<UINT>{0xF3, '?'}));
  EXPECT_EQ(gdi::QtOfCharCode(0xF3), QString::fromUtf8("\xC3\xB3"));
  EXPECT_TRUE(gdi::QtOfCharCode(0x141).isEmpty());
  EXPECT_EQ(gdi::ProgramPosOf(kCity, 10), 10);
  EXPECT_EQ(gdi::QtPosOf(kCity, 12), 12);
  EXPECT_EQ(tvn::text::ProgramToUtf8("\xE9"), "\xC3\xA9");
}

TEST(QtText, UnderUtf8EveryCharacterPassesBothWays) {
  tvn::text::SetProgramEncoding(TextEncoding::kUtf8);
  EXPECT_EQ(gdi::ToQt(kCityUtf8), kCity);
  EXPECT_EQ(gdi::FromQt(kCity), kCityUtf8);
  EXPECT_EQ(tvn::text::ProgramToUtf8(kCityUtf8), kCityUtf8);
  EXPECT_EQ(tvn::text::ProgramFromUtf8(kCityUtf8), kCityUtf8);
  // Typed characters are code points, and come back as their UTF-8 bytes.
  EXPECT_EQ(gdi::CharCodesOf(QString::fromUtf8("\xC5\x91" "a")), (std::vector<UINT>{0x151, 'a'}));
  EXPECT_EQ(tvn::text::ProgramTextOfChar(0x151), "\xC5\x91");
  EXPECT_EQ(tvn::text::ProgramTextOfChar(0x1F600), "\xF0\x9F\x98\x80");
  EXPECT_EQ(tvn::text::ProgramTextOfChar(0xD800), "");
  EXPECT_EQ(gdi::QtOfCharCode(0x141), QString::fromUtf8("\xC5\x81"));
  // Qt's places and the text's bytes: Ł and ó take two bytes each.
  EXPECT_EQ(gdi::ProgramPosOf(kCity, 10), 11);
  EXPECT_EQ(gdi::ProgramPosOf(kCity, 100), static_cast<int>(kCityUtf8.size()));
  EXPECT_EQ(gdi::QtPosOf(kCity, 11), 10);
  EXPECT_EQ(gdi::QtPosOf(kCity, 10), 9);  // inside Ł: the character's start
  // A cut never splits a character.
  EXPECT_EQ(tvn::text::ProgramCharStart(kCityUtf8, 10), 9u);
  EXPECT_EQ(tvn::text::ProgramCharStart(kCityUtf8, 13), 13u);
  EXPECT_EQ(tvn::text::ProgramCharStart(kCityUtf8, 99), kCityUtf8.size());
}

}  // namespace
