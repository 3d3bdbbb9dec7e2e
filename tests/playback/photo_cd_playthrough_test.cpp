// A course shows a Photo CD picture, read by the program's own reader and by a native toolkit beside the program.
#include <gtest/gtest.h>

#include <fstream>

#include "behaviour/graphics_action.h"
#include "playback/player_app.h"
#include "tests/playback/view_test_courses.h"
#include "tests/support/pcd_writer.h"
#include "tests/support/scripted_player.h"

using namespace tvn::testing;

namespace {

std::vector<std::uint8_t> PictureCourse() {
  CourseFileFields f;
  f.tasks.push_back([](CourseBuilder& b) {
    ImageFields image;
    image.fileName = "PHOTO.PCD";  // the default flags, 0x10084
    DisplayFields d;
    d.layer = 8;
    b.Task(IconFields{4, "Task 1", "", 3}, 1, {},
           {[=](CourseBuilder& c) { c.GraphicsAction(IconFields{4, "pic", "", 3}, 1500, 0, image, d); }},
           {KeyResponse("")});
  });
  CourseBuilder b;
  b.CourseFile(f);
  return b.bytes();
}

void WritePhoto(const std::filesystem::path& folder) {
  PcdFile file;
  file.colour = Quadrants(0xC83C28, 0x28B446, 0x3246C8, 0x808080);
  const auto bytes = file.Bytes();
  std::ofstream(folder / "PHOTO.PCD", std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool Near(COLORREF got, COLORREF want) {
  for (int shift = 0; shift < 24; shift += 8)
    if (std::abs(static_cast<int>((got >> shift) & 0xFF) - static_cast<int>((want >> shift) & 0xFF)) > 4) return false;
  return true;
}

}  // namespace

TEST(PhotoCdPlaythrough, TheDefaultImageFlagsLoadAPhotoCdPictureAtResolution2) {
  // One program at a time: the second starts when the first has gone.
  {
    ScriptedPlayer own;
    WritePhoto(own.Directory());
    ASSERT_TRUE(own.Start(PictureCourse()));
    EXPECT_TRUE(own.App().GetOptionalDlls() & OptionalDll::kPhotoCd) << "the program's own reader is always there";
    EXPECT_TRUE(Near(own.Pixel(10, 10), RGB(0xC8, 0x3C, 0x28)));
    EXPECT_TRUE(Near(own.Pixel(300, 10), RGB(0x28, 0xB4, 0x46)));
    EXPECT_TRUE(Near(own.Pixel(10, 200), RGB(0x32, 0x46, 0xC8)));
    EXPECT_TRUE(Near(own.Pixel(383, 255), RGB(0x80, 0x80, 0x80)));
    EXPECT_FALSE(Near(own.Pixel(384, 10), RGB(0x28, 0xB4, 0x46))) << "384 pixels wide";
    EXPECT_FALSE(Near(own.Pixel(10, 256), RGB(0x32, 0x46, 0xC8))) << "256 pixels high";
  }
  ScriptedPlayer native;
  native.UseProgramFolder(std::filesystem::path(TVN_DECODER_FOLDERS) / "photo_cd_folder");
  WritePhoto(native.Directory());
  ASSERT_TRUE(native.Start(PictureCourse()));
  EXPECT_EQ(native.Pixel(10, 10), RGB(0x20, 0x40, 0xC0)) << "the toolkit beside the program is preferred";
  EXPECT_EQ(native.Pixel(383, 255), RGB(0x20, 0x40, 0xC0));
  EXPECT_NE(native.Pixel(384, 255), RGB(0x20, 0x40, 0xC0));
  EXPECT_NE(native.Pixel(383, 256), RGB(0x20, 0x40, 0xC0));
}
