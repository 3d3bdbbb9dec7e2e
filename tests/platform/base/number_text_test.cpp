// Number text in the C locale whatever the process locale is.
#include "platform/base/number_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>

namespace nt = tvn::numtext;

namespace {

// Switches to a locale with a decimal comma for the test's life, where the machine has one.
class CommaLocale {
 public:
  CommaLocale() {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "de_DE"}) {
      if (std::setlocale(LC_ALL, name)) {
        active = true;
        return;
      }
    }
  }
  ~CommaLocale() { std::setlocale(LC_ALL, "C"); }
  bool active = false;
};

}  // namespace

TEST(NumberText, FormatsLikePrintfInTheCLocale) {
  EXPECT_EQ(nt::FormatFixed(1234.5678, 2), "1234.57");
  EXPECT_EQ(nt::FormatFixed(-0.5, 0), "-0");
  EXPECT_EQ(nt::FormatScientific(1e39, 0), "1e+39");
  EXPECT_EQ(nt::FormatGeneral(1e39, 6), "1e+39");
  EXPECT_EQ(nt::FormatGeneral(0.5, 6), "0.5");
  EXPECT_EQ(nt::FormatFixed(2.5, 255).size(), 257u);  // long precisions need no fixed buffer
  EXPECT_EQ(nt::FormatFixed(std::numeric_limits<double>::infinity(), 2), "inf");
}

TEST(NumberText, IgnoresAProcessLocaleWithADecimalComma) {
  CommaLocale locale;
  if (!locale.active) GTEST_SKIP() << "no locale with a decimal comma on this machine";
  EXPECT_EQ(nt::FormatFixed(1234.5678, 2), "1234.57");
  EXPECT_EQ(nt::FormatGeneral(0.25, 6), "0.25");
  EXPECT_EQ(nt::ParseDouble("3.25"), 3.25);
  EXPECT_EQ(nt::ParseDoublePrefix("3,25")->value, 3.0);
}

TEST(NumberText, ParsesPrefixesAndWholeTexts) {
  auto p = nt::ParseDoublePrefix("  12.5abc");
  ASSERT_TRUE(p);
  EXPECT_EQ(p->value, 12.5);
  EXPECT_EQ(p->consumed, 6u);
  EXPECT_EQ(nt::ParseDoublePrefix("-.5")->value, -0.5);
  EXPECT_EQ(nt::ParseDoublePrefix("+7")->value, 7.0);
  EXPECT_FALSE(nt::ParseDoublePrefix("abc"));
  EXPECT_FALSE(nt::ParseDoublePrefix("inf"));
  EXPECT_EQ(nt::ParseDoublePrefix("1e999")->value, std::numeric_limits<double>::infinity());
  EXPECT_EQ(nt::ParseDoublePrefix("1e-999")->value, 0.0);
  EXPECT_FALSE(nt::ParseDouble("1.5x"));
  EXPECT_EQ(nt::ParseDouble(" 1.5 "), 1.5);
  EXPECT_EQ(nt::ParseInteger("-42"), -42);
  EXPECT_EQ(nt::ParseInteger("99999999999999999999999"), std::numeric_limits<long long>::max());
  EXPECT_EQ(nt::ParseInteger("-9223372036854775808"), std::numeric_limits<long long>::min());
  EXPECT_FALSE(nt::ParseInteger("-"));
  EXPECT_EQ(nt::ParseIntegerPrefix("12ab")->consumed, 2u);
}
