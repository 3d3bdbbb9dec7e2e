// The registry's root files: their text read and written back, names without case, damaged files left alone.
#include "platform/sys/registry_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tests/setuptools/setup_test_env.h"

namespace {

using tvn::sys::RegistryFile;
using tvn::sys::RegistryRoot;
using tvn::sys::RegistryValue;

TEST(RegistryFile, TextReadsBackWithEscapesAndNamesWithoutCase) {
  RegistryFile registry;
  ASSERT_TRUE(registry.Set("\\Software\\\\Tavelon\\", "Path", std::string("C:\\a \"b\"\r\nc")));
  ASSERT_TRUE(registry.Set("software\\tavelon", "COUNT", 0xABCDEF01u));
  ASSERT_TRUE(registry.Set("Software\\Tavelon", "count", 12u));
  ASSERT_TRUE(registry.Set(".mcl", "", std::string("Tavelon.Course")));
  EXPECT_FALSE(registry.Set("\\\\", "x", 1u));
  const std::string text = registry.Text();
  EXPECT_EQ(text,
            "[Software\\Tavelon]\n\"Path\"=\"C:\\\\a \\\"b\\\"\\r\\nc\"\n\"COUNT\"=dword:0000000c\n\n[.mcl]\n"
            "@=\"Tavelon.Course\"\n");
  RegistryFile read;
  ASSERT_TRUE(read.Parse(text));
  EXPECT_EQ(read.Get("SOFTWARE\\TAVELON", "path"), RegistryValue(std::string("C:\\a \"b\"\r\nc")));
  EXPECT_EQ(read.Get("Software\\Tavelon", "Count"), RegistryValue(12u));
  EXPECT_EQ(read.Text(), text);
}

TEST(RegistryFile, DamagedTextFailsWithItsLine) {
  const struct {
    const char* text;
    std::size_t line;
  } rows[] = {
      {"\"a\"=\"b\"\n", 1},                     // a value before any key
      {"[k]\n\"a\"=\"b\n", 2},                  // an open quote
      {"[k]\n\"a\"=dword:123456789\n", 2},      // nine digits
      {"[k]\n\"a\"=dword:xyz\n", 2},
      {"[k]\n; note\n\"a\"=\"b\" tail\n", 3},
      {"[k\n", 1},
      {"[]\n", 1},
      {"[k]\n\"a\"=\"\\q\"\n", 2},              // an unknown escape
      {"[k]\n\"a\"\"b\"\n", 2},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    RegistryFile registry;
    std::size_t line = 0;
    EXPECT_FALSE(registry.Parse(rows[i].text, &line)) << "row " << i;
    EXPECT_EQ(line, rows[i].line) << "row " << i;
    EXPECT_EQ(registry.KeyCount(), 0u) << "row " << i;
  }
}

TEST(RegistryFile, WritesKeepOtherValuesAndNeverRewriteADamagedFile) {
  tvn::testing::SetupHome home;
  ASSERT_TRUE(tvn::sys::WriteRegistryValue(RegistryRoot::kCurrentUser, "Software\\A", "One", 1u));
  ASSERT_TRUE(tvn::sys::WriteRegistryValue(RegistryRoot::kCurrentUser, "Software\\B", "Two", std::string("2")));
  EXPECT_EQ(tvn::sys::ReadRegistryValue(RegistryRoot::kCurrentUser, "software\\a", "one"), RegistryValue(1u));
  EXPECT_FALSE(tvn::sys::ReadRegistryValue(RegistryRoot::kLocalMachine, "Software\\A", "One"));
  EXPECT_FALSE(tvn::sys::WriteRegistryValue(RegistryRoot::kCurrentUser, "Bad]Key", "x", 1u));

  const auto file = tvn::sys::RegistryFileOf(RegistryRoot::kCurrentUser);
  std::ofstream(file, std::ios::app) << "garbage line\n";
  EXPECT_FALSE(tvn::sys::WriteRegistryValue(RegistryRoot::kCurrentUser, "Software\\C", "Three", 3u));
  std::ifstream in(file, std::ios::binary);
  const std::string text(std::istreambuf_iterator<char>(in), {});
  EXPECT_NE(text.find("garbage line"), std::string::npos);
  EXPECT_EQ(text.find("Three"), std::string::npos);
}

}  // namespace
