// CEffectData: defaults, the stored forms and the files it names.
#include <gtest/gtest.h>

#include "model/archive.h"
#include "page/effect_data.h"
#include "tests/support/course_builder.h"
#include "tests/support/stream_reader.h"

namespace tvn::testing {
namespace {

TEST(EffectData, DefaultsAreABlockOfTwoFiveMillisecondsInline) {
  const CEffectData effect;
  EXPECT_EQ(effect.GetCategory(), 0);
  EXPECT_EQ(effect.GetVariant(), 0);
  EXPECT_EQ(effect.GetBlockSize(), 2);
  EXPECT_EQ(effect.GetStepDelay(), 5);
  EXPECT_EQ(effect.GetFlags(), 0x4000u);
  EXPECT_TRUE(effect.RunsInline());
  EXPECT_FALSE(effect.HasEffect());
}

TEST(EffectData, HasEffectExceptNoneAndWipeVariantZero) {
  const struct {
    BYTE category, variant;
    bool has;
  } rows[] = {{0, 0, false}, {0, 3, false}, {1, 0, false}, {1, 1, true}, {2, 0, true}, {9, 0, true}};
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    CEffectData effect;
    effect.SetCategory(rows[i].category);
    effect.SetVariant(rows[i].variant);
    EXPECT_EQ(effect.HasEffect(), rows[i].has) << "row " << i;
  }
}

TEST(EffectData, ReadsEveryFieldAndTheSecondParameterFromSchemaThree) {
  for (std::uint16_t schema : {2, 3}) {
    CourseBuilder b;
    b.Effect({5, 3, 8, 20, 0x40000, "clip.avi", "second", schema});
    b.out().Byte(0x5A);  // what follows must be left alone
    StreamReader r(b.bytes(), 5);
    CEffectData effect;
    effect.Serialize(r.ar);
    EXPECT_EQ(effect.GetCategory(), 5);
    EXPECT_EQ(effect.GetVariant(), 3);
    EXPECT_EQ(effect.GetBlockSize(), 8);
    EXPECT_EQ(effect.GetStepDelay(), 20);
    EXPECT_EQ(effect.GetFlags(), 0x40000u);
    EXPECT_EQ(effect.GetParameter(), "clip.avi");
    EXPECT_EQ(effect.GetSecondParameter(), schema == 3 ? "second" : "");
    EXPECT_EQ(r.ar.ReadByte(), 0x5A);
  }
}

TEST(EffectData, ASecondTransitionRefersBackToTheClassRecord) {
  CourseBuilder b;
  b.Effect({1, 2, 3, 4, 0, "", "", 3}).Effect({6, 1, 2, 0, 0x4000, "a", "b", 3});
  StreamReader r(b.bytes(), 5);
  CEffectData first, second;
  first.Serialize(r.ar);
  second.Serialize(r.ar);
  EXPECT_EQ(second.GetCategory(), 6);
  EXPECT_EQ(second.GetSecondParameter(), "b");
}

TEST(EffectData, ATruncatedTransitionIsAnEndOfFile) {
  CourseBuilder b;
  b.Effect({1, 2, 3, 4, 0, "mask.bmp", "x", 3});
  const std::vector<std::uint8_t> whole = b.bytes();
  for (std::size_t n = 0; n < whole.size(); ++n) {
    const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
    StreamReader r(cut, 5);
    CEffectData effect;
    try {
      effect.Serialize(r.ar);
      ADD_FAILURE() << "read " << n << " bytes";
    } catch (const CArchiveException& e) {
      EXPECT_EQ(e.m_cause, CArchiveException::endOfFile) << n;
    }
  }
}

TEST(EffectData, TheOldThreeByteFormIsABlockWipeWithTheDisplayFlags) {
  CourseBuilder b(3);
  b.out().Byte(5).Byte(4).Byte(10);
  StreamReader r(b.bytes(), 3);
  CEffectData effect;
  effect.SetParameter("kept");
  effect.LoadOldForm(r.ar, 0x1234);
  EXPECT_EQ(effect.GetCategory(), 1);
  EXPECT_EQ(effect.GetVariant(), 5);
  EXPECT_EQ(effect.GetBlockSize(), 4);
  EXPECT_EQ(effect.GetStepDelay(), 10);
  EXPECT_EQ(effect.GetFlags(), 0x1234u);
  EXPECT_EQ(effect.GetParameter(), "kept");
}

TEST(EffectData, PreloadFilesComeFromMasksAndMedia) {
  const struct {
    BYTE category;
    const char* parameter;
    BOOL forImages;
    int added;
    const char* name;
  } rows[] = {{9, "intro.avi", 1, 1, "intro.avi"},     {3, "wipes\\mask.bmp", 1, 1, "wipes\\mask.GIF"},
              {3, "mask.bmp", 0, 1, "mask.bmp"},        {3, "mask", 1, 1, "mask.GIF"},
              {3, "", 1, 0, nullptr},                   {8, "fx.dll,Go", 1, 0, nullptr},
              {1, "x.bmp", 1, 0, nullptr}};
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    CEffectData effect;
    effect.SetCategory(rows[i].category);
    effect.SetParameter(rows[i].parameter);
    CStringArray files;
    EXPECT_EQ(effect.AddPreloadFiles(files, rows[i].forImages), rows[i].added) << "row " << i;
    ASSERT_EQ(files.GetSize(), rows[i].added) << "row " << i;
    if (rows[i].name) {
      EXPECT_EQ(files[0], rows[i].name) << "row " << i;
    }
  }
}

TEST(EffectData, CopiesTakeAllSevenFields) {
  CEffectData a;
  a.SetCategory(3);
  a.SetVariant(1);
  a.SetBlockSize(9);
  a.SetStepDelay(0);
  a.SetFlags(7);
  a.SetParameter("p");
  a.SetSecondParameter("q");
  CEffectData b;
  b.CopyFrom(a);
  EXPECT_EQ(b.GetCategory(), 3);
  EXPECT_EQ(b.GetVariant(), 1);
  EXPECT_EQ(b.GetBlockSize(), 9);
  EXPECT_EQ(b.GetStepDelay(), 0);
  EXPECT_EQ(b.GetFlags(), 7u);
  EXPECT_EQ(b.GetParameter(), "p");
  EXPECT_EQ(b.GetSecondParameter(), "q");
}

}  // namespace
}  // namespace tvn::testing
