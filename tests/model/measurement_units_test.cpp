// Measurement units: reading typed measurements into twips and printing twips.
#include "model/measurement_units.h"

#include <gtest/gtest.h>

namespace {

struct ParseRow {
  const char* text;
  BOOL ok;
  int twips;  // when ok
};

}  // namespace

TEST(MeasurementUnits, ParsesNumberAndUnitRoundingHalfAwayFromZero) {
  const ParseRow rows[] = {
      {"2.5 cm", TRUE, 1420},
      {"72 pt", TRUE, 1440},
      {"1 inch", TRUE, 1440},
      {"2 inches", TRUE, 2880},
      {"1.5in", TRUE, 2160},
      {"1\"", TRUE, 1440},
      {"3", TRUE, 4320},         // a bare number is in the current unit, inches
      {"-0.5", TRUE, -720},
      {"2.5    CM", TRUE, 1420}, // spaces before the name, case ignored
      {"0.01 pt", TRUE, 0},
      {"0.03 pt", TRUE, 1},      // 0.6 rounds up
      {"-0.03 pt", TRUE, -1},    // and down below zero
      {"5 furlong", FALSE, 0},
      {"2.5 cm ", FALSE, 0},     // the whole rest must be the name
      {"", FALSE, 0},
      {"1e30 cm", FALSE, 0},     // does not fit in twips
      {"-1e30", FALSE, 0},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    int twips = 12345;
    BOOL ok = ParseMeasurement(rows[i].text, twips);
    EXPECT_EQ(ok, rows[i].ok) << "row " << i << " \"" << rows[i].text << "\"";
    EXPECT_EQ(twips, rows[i].ok ? rows[i].twips : 12345) << "row " << i;
  }
}

TEST(MeasurementUnits, PrintsInInchesWithOnlyTheDecimalsThatCount) {
  struct Row {
    int twips, decimals;
    const char* text;
  };
  const Row rows[] = {
      {1440, 2, "1\""},
      {1000, 2, "0.7\""},    // digits 0 6 9 round to 0 7 0
      {-720, 2, "-0.5\""},
      {720, 2, "0.5\""},
      {0, 2, "0\""},
      {1439, 2, "1\""},      // the carry runs into the whole inches
      {2160, 0, "2\""},
      {100, 3, "0.07\""},   // 0.0694: digits 0 0 6 9 round to 0 0 7 0
      {1440, -3, "1\""},     // no decimals below zero
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    CString text = "untouched";
    PrintTwips(text, rows[i].twips, rows[i].decimals);
    EXPECT_EQ(text, rows[i].text) << "row " << i << " got " << text.GetString();
  }
  CString extreme;
  PrintTwips(extreme, -2147483647 - 1, 40);
  EXPECT_EQ(extreme.Left(9), "-1491308.");
  EXPECT_EQ(extreme.Right(1), "\"");
}

TEST(MeasurementUnits, TableAndLoadedNames) {
  EXPECT_EQ(GetUnitTwips(), 1440);
  EXPECT_EQ(GetUnitName(), "\"");
  EXPECT_EQ(GetUnitTwips(1), 568);
  EXPECT_EQ(GetUnitName(2), "pt");
  EXPECT_EQ(GetMeasurementUnit(1).nameId, 173u);
  EXPECT_TRUE(GetMeasurementUnit(1).spaceBeforeName);
  EXPECT_EQ(GetUnitTwips(6), 1440);  // out of range: the first row
  EXPECT_EQ(GetUnitName(-1), "\"");

  // A string table with its own text for "cm" and none for the others.
  LoadUnitNames([](UINT id) { return id == 173 ? CString("Zentimeter") : CString(); });
  int twips = 0;
  EXPECT_TRUE(ParseMeasurement("1 zentimeter", twips));
  EXPECT_EQ(twips, 568);
  EXPECT_FALSE(ParseMeasurement("1 cm", twips));
  EXPECT_TRUE(ParseMeasurement("72 pt", twips));
  LoadUnitNames([](UINT id) { return id == 173 ? CString("cm") : CString(); });
  EXPECT_TRUE(ParseMeasurement("1 cm", twips));
}
