// The font description: defaults, its stored form, height from point size and the real font's life.
#include "model/font_object.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "model/archive.h"
#include "tests/support/course_builder.h"
#include "tests/support/recording_font_services.h"

using tvn::testing::CourseBuilder;
using tvn::testing::FontFields;
using tvn::testing::RecordingFontServices;

namespace {

struct Reader {
  explicit Reader(const std::vector<std::uint8_t>& bytes) : data(bytes), file(data.data(), data.size()), ar(file) {}
  std::vector<std::uint8_t> data;
  CMemFile file;
  CArchive ar;
};

int CauseOfReading(const std::vector<std::uint8_t>& bytes) {
  Reader r(bytes);
  CFontObject font;
  try {
    font.Serialize(r.ar);
  } catch (const CArchiveException& e) {
    return e.m_cause;
  }
  return CArchiveException::none;
}

}  // namespace

TEST(FontObject, NewDescriptionIsArialTwentyPointsWithNoRealFont) {
  CFontObject font;
  EXPECT_STREQ(font.GetLogFont().lfFaceName, "Arial");
  EXPECT_EQ(font.GetLogFont().lfQuality, 2);
  EXPECT_EQ(font.GetLogFont().lfPitchAndFamily, 0x22);
  EXPECT_EQ(font.GetLogFont().lfHeight, 0);
  EXPECT_EQ(font.GetLogFont().lfWeight, 0);
  EXPECT_EQ(font.GetPointSize(), 20);
  EXPECT_EQ(font.GetGdiFont(), nullptr);
}

TEST(FontObject, ReadsPointSizeThenLogicalFontAndNothingMore) {
  CourseBuilder b;
  FontFields f;
  f.pointSize = 14;
  f.height = -19;
  f.width = 3;
  f.escapement = 450;
  f.weight = 700;
  f.italic = 1;
  f.underline = 1;
  f.charSet = 238;
  f.face = "Times New Roman";
  b.Font(f);
  b.Font(FontFields{});  // the second names its class by back-reference
  b.out().Dword(0xCAFEF00D);

  Reader r(b.bytes());
  CFontObject first, second;
  first.Serialize(r.ar);
  second.Serialize(r.ar);
  EXPECT_EQ(r.ar.ReadDword(), 0xCAFEF00Du);

  const LOGFONT& lf = first.GetLogFont();
  EXPECT_EQ(first.GetPointSize(), 14);
  EXPECT_EQ(lf.lfHeight, -19);
  EXPECT_EQ(lf.lfWidth, 3);
  EXPECT_EQ(lf.lfEscapement, 450);
  EXPECT_EQ(lf.lfWeight, 700);
  EXPECT_EQ(lf.lfItalic, 1);
  EXPECT_EQ(lf.lfUnderline, 1);
  EXPECT_EQ(lf.lfStrikeOut, 0);
  EXPECT_EQ(lf.lfCharSet, 238);
  EXPECT_EQ(lf.lfQuality, 2);
  EXPECT_EQ(lf.lfPitchAndFamily, 0x22);
  EXPECT_STREQ(lf.lfFaceName, "Times New Roman");
  EXPECT_EQ(second.GetPointSize(), 20);
  EXPECT_STREQ(second.GetLogFont().lfFaceName, "Arial");
}

TEST(FontObject, UnterminatedStoredFaceEndsWithinItsField) {
  CourseBuilder b;
  FontFields f;
  f.face = std::string(32, 'W');
  b.Font(f);
  Reader r(b.bytes());
  CFontObject font;
  font.Serialize(r.ar);
  EXPECT_EQ(std::strlen(font.GetLogFont().lfFaceName), 31u);

  LOGFONT given;
  std::memset(given.lfFaceName, 'Q', sizeof given.lfFaceName);
  font.SetLogFont(given);
  EXPECT_EQ(std::strlen(font.GetLogFont().lfFaceName), 31u);
}

TEST(FontObject, DamagedStoredFontsFailWithTheirArchiveCause) {
  CourseBuilder whole;
  whole.Font(FontFields{});
  const std::vector<std::uint8_t>& bytes = whole.bytes();
  // Every cut, down to one byte short of the logical font, is an end of file.
  for (std::size_t n = 0; n < bytes.size(); ++n) {
    std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_EQ(CauseOfReading(cut), CArchiveException::endOfFile) << "cut at " << n;
  }
  CourseBuilder fiftyNine;
  fiftyNine.Font(FontFields{}, 59);
  EXPECT_EQ(CauseOfReading(fiftyNine.bytes()), CArchiveException::endOfFile);

  CourseBuilder otherClass;
  otherClass.out().ClassRef("CIconObject", 3);
  otherClass.out().Int(20);
  EXPECT_EQ(CauseOfReading(otherClass.bytes()), CArchiveException::badClass);
}

TEST(FontObject, HeightFromPointSize) {
  struct Row {
    int pointSize, mode, viewPpi, preparedPpi, deviceScale, screen;
    LONG height;
  };
  const Row rows[] = {
      {20, 2, 96, 96, 1, 96, -27},      // 26.67 rounds to 27
      {20, 2, 120, 120, 1, 120, -26},   // -33 scaled to 96 dpi, truncated toward zero
      {20, 0, 96, 144, 1, 0, -27},      // no recorded resolution: no scaling
      {20, 2, 96, 96, 1, -7, -27},      // a negative resolution: no scaling
      {12, 1, 96, 144, 2, 96, -48},     // prepared context, then device units
      {0, 2, 96, 96, 1, 96, 0},
      {-10, 2, 96, 96, 1, 96, 13},      // -MulDiv rounds half away from zero
      {2147483647, 2, 96, 96, 1, 96, 1},  // overflowing MulDiv gives -1, no wrap-around
      {2000000, 2, 72, 72, 1, 1, -192000000},  // scaling in 64 bits
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const Row& row = rows[i];
    RecordingFontServices gdi;
    gdi.viewPixelsPerInch = row.viewPpi;
    gdi.preparedPixelsPerInch = row.preparedPpi;
    gdi.deviceScale = row.deviceScale;
    gdi.screenResolution = row.screen;
    CFontServicesScope scope(gdi);
    CFontObject font;
    font.SetSize(row.pointSize);
    font.SetPointSize(row.mode);
    EXPECT_EQ(font.GetLogFont().lfHeight, row.height) << "row " << i;
  }
}

TEST(FontObject, StandInServicesMeasureNinetySixDpiAndMakeNoFont) {
  CFontObject font;
  EXPECT_FALSE(font.CreateFont(2, 0));
  EXPECT_EQ(font.GetLogFont().lfHeight, -27);
  EXPECT_EQ(font.GetGdiFont(), nullptr);
  EXPECT_EQ(font.Select(nullptr), nullptr);
}

TEST(FontObject, CreateFontTurnsOnlyTheCreatedFontAndReplacesTheOldOne) {
  RecordingFontServices gdi;
  CFontServicesScope scope(gdi);
  {
    CFontObject font;
    ASSERT_TRUE(font.CreateFont(2, 90));
    ASSERT_EQ(gdi.created.size(), 1u);
    EXPECT_EQ(gdi.created[0].lfEscapement, 900);
    EXPECT_EQ(gdi.created[0].lfHeight, -27);
    EXPECT_EQ(font.GetLogFont().lfEscapement, 0);
    EXPECT_EQ(gdi.liveFonts, 1);

    ASSERT_TRUE(font.CreateFont(2, 0));
    EXPECT_EQ(gdi.created[1].lfEscapement, 0);
    EXPECT_EQ(gdi.liveFonts, 1);

    gdi.failCreate = true;
    EXPECT_FALSE(font.CreateFont(2, 0));
    EXPECT_EQ(font.GetGdiFont(), nullptr);
    EXPECT_EQ(gdi.liveFonts, 0);
    gdi.failCreate = false;
    ASSERT_TRUE(font.CreateFont(2, 0));

    // A stored turn is used while no angle is given and cleared by a turned creation.
    LOGFONT turned = font.GetLogFont();
    turned.lfEscapement = 450;
    font.SetLogFont(turned);
    ASSERT_TRUE(font.CreateFont(2, 0));
    EXPECT_EQ(gdi.created.back().lfEscapement, 450);
    ASSERT_TRUE(font.CreateFont(2, 90));
    EXPECT_EQ(gdi.created.back().lfEscapement, 900);
    EXPECT_EQ(font.GetLogFont().lfEscapement, 0);
  }
  EXPECT_EQ(gdi.liveFonts, 0);  // freed with the description
}

TEST(FontObject, SelectHandsBackThePreviousFontOnlyWhenThereIsARealFont) {
  RecordingFontServices gdi;
  CFontServicesScope scope(gdi);
  CDC* dc = reinterpret_cast<CDC*>(&gdi);  // an identity only; the fake never looks inside
  CFontObject a, b;
  EXPECT_EQ(a.Select(dc), nullptr);
  EXPECT_TRUE(gdi.selections.empty());

  ASSERT_TRUE(a.CreateFont(2, 0));
  ASSERT_TRUE(b.CreateFont(2, 0));
  EXPECT_EQ(a.Select(dc), nullptr);
  EXPECT_EQ(b.Select(dc), a.GetGdiFont());
  ASSERT_EQ(gdi.selections.size(), 2u);
  EXPECT_EQ(gdi.selections[1].first, dc);
}

TEST(FontObject, CopiesTakeTheDescriptionAndColourButNeverTheRealFont) {
  RecordingFontServices gdi;
  CFontServicesScope scope(gdi);
  CFontObject source;
  source.SetSize(36);
  source.SetColour(RGB(1, 2, 3));
  LOGFONT lf;
  std::strcpy(lf.lfFaceName, "Courier New");
  lf.lfWeight = 700;
  source.SetLogFont(lf);
  ASSERT_TRUE(source.CreateFont(2, 0));

  CFontObject copy(source);
  EXPECT_EQ(copy.GetGdiFont(), nullptr);
  EXPECT_EQ(copy.GetPointSize(), 36);
  EXPECT_EQ(copy.GetColour(), RGB(1, 2, 3));
  EXPECT_STREQ(copy.GetLogFont().lfFaceName, "Courier New");

  CFontObject target;
  ASSERT_TRUE(target.CreateFont(2, 0));
  EXPECT_EQ(gdi.liveFonts, 2);
  target.SetLogFont(source);
  EXPECT_EQ(target.GetGdiFont(), nullptr);
  EXPECT_EQ(gdi.liveFonts, 1);
  EXPECT_EQ(target.GetLogFont().lfWeight, 700);
  EXPECT_EQ(target.GetLogFont().lfHeight, source.GetLogFont().lfHeight);

  target.CopyFrom(target);  // copying onto itself keeps everything
  EXPECT_EQ(target.GetPointSize(), 36);
}
