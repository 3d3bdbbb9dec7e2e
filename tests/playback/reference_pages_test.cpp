// The reference courses played headless: the page shows their text and picture where their authors put them.
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "playback/presentation_view.h"
#include "tests/support/course_builder.h"
#include "tests/support/scripted_player.h"

namespace {

namespace fs = std::filesystem;
using tvn::testing::ScriptedPlayer;

fs::path Folder(const char* name) { return fs::path(TVN_TEST_DATA_DIR) / "reference-courses" / name; }

std::vector<std::uint8_t> Bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool IsDark(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 96; }

// Dark pixels inside and outside the rectangle: text is judged by where its
// ink lies, not glyph by glyph.
std::pair<int, int> InkInAndOut(ScriptedPlayer& player, const CRect& rect, const CRect& page) {
  int in = 0;
  int out = 0;
  for (int y = page.top; y < page.bottom; ++y) {
    for (int x = page.left; x < page.right; ++x) {
      if (!IsDark(player.Pixel(x, y))) continue;
      (rect.PtInRect(CPoint(x, y)) ? in : out)++;
    }
  }
  return {in, out};
}

}  // namespace

TEST(ReferencePages, TheTextCoursesShowTheirTextInTheirRectangleInBothFileVersions) {
  for (const char* name : {"a_hello", "a_hello_v3", "c_sum"}) {
    SCOPED_TRACE(name);
    ScriptedPlayer player;
    const fs::path file = Folder(name) / (std::string(name) + ".mcl");
    ASSERT_TRUE(player.Start(Bytes(file), file.filename().string()));
    EXPECT_EQ(player.Pixel(5, 5), RGB(255, 255, 255)) << "the page is the window colour";
    const auto [in, out] = InkInAndOut(player, CRect(40, 40, 600, 120), CRect(0, 0, 640, 300));
    EXPECT_GT(in, 200) << "letters were drawn";
    EXPECT_EQ(out, 0) << "nothing outside the text's rectangle";
  }
}

TEST(ReferencePages, TheSumIsShownWithItsValue) {
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(Bytes(Folder("c_sum") / "c_sum.mcl"), "c_sum.mcl"));
  EXPECT_DOUBLE_EQ(player.Number("Total"), 20.0);
}

TEST(ReferencePages, TheRunLengthPictureLiesOneToOneAtItsPlace) {
  ScriptedPlayer player;
  fs::copy_file(Folder("f_bmp4rle") / "F_BMP4RLE.BMP", player.Directory() / "F_BMP4RLE.BMP");
  ASSERT_TRUE(player.Start(Bytes(Folder("f_bmp4rle") / "f_bmp4rle.mcl"), "f_bmp4rle.mcl"));
  QImage expected(QString::fromStdString((Folder("f_bmp4rle") / "F_BMP4RLE.expected.png").string()));
  ASSERT_FALSE(expected.isNull());
  int wrong = 0;
  for (int y = 0; y < expected.height(); ++y) {
    for (int x = 0; x < expected.width(); ++x) {
      const QRgb want = expected.pixel(x, y);
      const COLORREF got = player.Pixel(100 + x, 80 + y);
      const int diff = std::abs(GetRValue(got) - qRed(want)) + std::abs(GetGValue(got) - qGreen(want)) +
                       std::abs(GetBValue(got) - qBlue(want));
      if (diff > 6) ++wrong;
    }
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(player.Pixel(99, 79), RGB(255, 255, 255));
  EXPECT_EQ(player.Pixel(100 + expected.width(), 80), RGB(255, 255, 255));
}

TEST(ReferencePages, ClearingTheWholePageTakesTheEarlierTasksObjectsOff) {
  using namespace tvn::testing;
  CourseFileFields f;
  auto anyKey = [](CourseBuilder& c) { c.KeyboardResponse(IconFields{4, "key", "", 3}, ResponseFields{}, KeyFields{}); };
  DisplayFields place;
  place.rect = {0, 0, 50, 50};
  f.tasks.push_back([=](CourseBuilder& b) {
    TextFields t;
    t.text = "A";
    t.flags = 0x10;
    t.backColour = 0x0000FF;
    b.Task(IconFields{4, "one", "", 3}, 1, {}, {[=](CourseBuilder& c) { c.TextAction(IconFields{4, "a", "", 3}, t, place); }},
           {anyKey});
  });
  f.tasks.push_back([=](CourseBuilder& b) {
    b.Task(IconFields{4, "two", "", 3}, 2, {},
           {[](CourseBuilder& c) { c.AreaAction("CClearAction", IconFields{}, AreaFields{}, DisplayFields{}); }}, {anyKey});
  });
  CourseBuilder b;
  b.CourseFile(f);
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(b.bytes()));
  EXPECT_EQ(player.Pixel(10, 10), RGB(255, 0, 0));
  player.Key('X');
  EXPECT_EQ(player.CurrentTask(), 2);
  EXPECT_EQ(player.View().GetObjectCount(), 0);
  EXPECT_EQ(player.Pixel(10, 10), RGB(255, 255, 255));
}
