// The LZ expander: round trips through the test compressor, hand-made streams and damaged files.
#include "setuptools/common/lz_expand.h"

#include <gtest/gtest.h>

#include "tests/support/szdd_writer.h"

namespace {

using tvn::testing::BuildSzdd;
using tvn::testing::SzddOptions;

SzddOptions Literals() {
  SzddOptions options;
  options.useReferences = false;
  return options;
}
SzddOptions Stated(std::uint32_t size) {
  SzddOptions options;
  options.statedSize = size;
  return options;
}
SzddOptions Missing(char c) {
  SzddOptions options;
  options.missingChar = c;
  return options;
}

std::string Head(char missing, std::uint32_t size) {
  std::string head("SZDD\x88\xF0\x27\x33" "A", 9);
  head.push_back(missing);
  for (int i = 0; i < 4; ++i) head.push_back(static_cast<char>((size >> (8 * i)) & 0xFF));
  return head;
}

TEST(LzExpandTest, RoundTripsThroughTheCompressor) {
  std::string mixed;
  for (int i = 0; i < 20000; ++i) mixed.push_back(static_cast<char>((i * 7919) % 251 % (i % 5 == 0 ? 251 : 9)));
  const std::string rows[] = {"", "a", "abcabcabcabcabcabcabcabc", std::string(10000, 'x'), std::string(300, ' ') + "end",
                              mixed};
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    EXPECT_EQ(ExpandSzdd(BuildSzdd(rows[i])), rows[i]) << "row " << i;
    EXPECT_EQ(ExpandSzdd(BuildSzdd(rows[i], Literals())), rows[i]) << "row " << i;
  }
}

TEST(LzExpandTest, ReferencesReadTheWindowOfBlanks) {
  // Flag 0b10: a reference to position 0x0FF0 (the window's start, blanks) of
  // length 3 + 2, then the literal 'Z'. Position: b0 | ((b1 & 0xF0) << 4).
  std::string file = Head('T', 6) + std::string("\x02\xF0\xF2Z", 4);
  EXPECT_EQ(ExpandSzdd(file), "     Z");
  // A reference into what was just written, overlapping itself.
  file = Head(0, 9) + std::string("\x03" "ab" "\xF0\xF4", 5);
  EXPECT_EQ(ExpandSzdd(file), "ababababa");
}

TEST(LzExpandTest, StopsAtTheStatedSizeOrTheInputsEnd) {
  const std::string data(5000, 'q');
  EXPECT_EQ(ExpandSzdd(BuildSzdd(data, Stated(100))), data.substr(0, 100));
  EXPECT_EQ(ExpandSzdd(BuildSzdd(data, Stated(0xFFFFFFFF))), data);
  const std::string text = "the quick brown fox jumps over the lazy dog, the quick brown fox";
  const std::string file = BuildSzdd(text);
  for (std::size_t cut = 0; cut <= file.size(); ++cut) {
    const std::string out = ExpandSzdd(std::string_view(file).substr(0, cut));
    if (cut < kSzddHeaderSize) {
      EXPECT_EQ(out, file.substr(0, cut)) << "cut " << cut;  // no head: the bytes as they are
    } else {
      EXPECT_EQ(out, text.substr(0, out.size())) << "cut " << cut;  // a prefix, never made-up bytes
    }
  }
}

TEST(LzExpandTest, BytesWithoutTheHeadCopyUnchanged) {
  EXPECT_EQ(ExpandSzdd("plain text"), "plain text");
  std::string wrongMode = BuildSzdd("data");
  wrongMode[8] = 'B';
  EXPECT_EQ(ExpandSzdd(wrongMode), wrongMode);
}

TEST(LzExpandTest, ExpandedNamePutsTheStoredCharacterInPlaceOfTheUnderscore) {
  const std::string withT = BuildSzdd("x", Missing('T'));
  EXPECT_EQ(SzddExpandedName("README.TX_", withT), "README.TXT");
  EXPECT_EQ(SzddExpandedName("README.TXT", withT), "README.TXT");
  EXPECT_EQ(SzddExpandedName("README.TX_", BuildSzdd("x")), "README.TX_");
  EXPECT_EQ(SzddExpandedName("README.TX_", "not compressed"), "README.TX_");
}

}  // namespace
