// The outside picture decoders as native libraries: test stand-ins for the Photo CD toolkit and the fractal decoder.
#include <gtest/gtest.h>

#include <fstream>

#include "media/decoder_libraries.h"
#include "media/image.h"
#include "media/keyboard_queue.h"
#include "media/photo_cd_toolkit.h"
#include "platform/user/message_loop.h"
#include "tests/media/image_test_util.h"
#include "tests/media/media_test_util.h"
#include "tests/support/pcd_writer.h"
#include "tests/support/temp_dir.h"

using namespace tvn::testing;

namespace {

const std::filesystem::path kFolders = TVN_DECODER_FOLDERS;
constexpr COLORREF kNativeColour = RGB(0x20, 0x40, 0xC0);

// A picture through the native toolkit of a folder, else the program's own reader.
struct PhotoCdPicture {
  RecordingEnvironment r;
  CLoopKeyboardQueue keys;
  CNativePhotoCdToolkit native;
  CPhotoCdToolkit own{nullptr, nullptr, &keys};
  CPhotoCdToolkitChoice choice{native, own};
  CImage image;

  explicit PhotoCdPicture(const std::string& folder) : native({kFolders / folder}, &keys) {
    r.env.photoCd = &choice;
    r.env.featureBits = FeatureBit::kPhotoCd;
    image.SetEnvironment(&r.env);
  }
  BOOL Load(const std::filesystem::path& file, CRect region = CRect()) {
    return image.LoadPhotoCDImage(Text(file), ImageFlag::kDefault, region);
  }
};

std::filesystem::path WritePcd(const TempDir& dir, const char* name) {
  PcdFile file;
  file.colour = Quadrants(0xC83C28, 0xC83C28, 0xC83C28, 0xC83C28);
  file.packs = 2;
  const auto bytes = file.Bytes();
  std::ofstream(dir / name, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return dir / name;
}

}  // namespace

TEST(PhotoCdLibrary, ANativeToolkitIsPreferredAndItsPictureIsCheckedLikeAFile) {
  TempDir dir;
  const auto file = WritePcd(dir, "PHOTO.PCD");
  PhotoCdPicture native("photo_cd_folder");
  ASSERT_TRUE(native.Load(file));
  EXPECT_EQ(native.image.GetWidth(), 384) << "the default flags load resolution 2";
  EXPECT_EQ(native.image.GetHeight(), 256);
  EXPECT_EQ(PixelAt(native.image, 10, 10), kNativeColour) << "the native toolkit is preferred to the program's own";
  EXPECT_EQ(native.choice.Active(), nullptr) << "unloaded after the load";

  // The region goes out rounded, top first, and the toolkit's picture of it comes back.
  PhotoCdPicture part("photo_cd_folder");
  ASSERT_TRUE(part.Load(file, CRect(13, 27, 100, 205)));
  EXPECT_EQ(part.image.GetWidth(), 88);
  EXPECT_EQ(part.image.GetHeight(), 176);

  // A picture whose rows the toolkit left out is refused like a damaged file.
  PhotoCdPicture broken("photo_cd_folder");
  EXPECT_FALSE(broken.Load(WritePcd(dir, "BROKEN.PCD")));
  EXPECT_TRUE(broken.image.hDib.empty());

}

TEST(PhotoCdLibrary, EscapeReachesTheNativeAbortCheckAndAMissingEntryPointEndsTheLoad) {
  TempDir dir;
  const auto file = WritePcd(dir, "PHOTO.PCD");
  CMessageLoop loop;
  loop.PostMessage(nullptr, WM_CHAR, VK_ESCAPE, 0);
  PhotoCdPicture stopped("photo_cd_folder");
  EXPECT_FALSE(stopped.Load(file));
  EXPECT_TRUE(stopped.r.sink.boxes.empty()) << "status 3003 fails silently";
  MSG msg;
  EXPECT_FALSE(loop.PeekMessage(msg, nullptr, 0, 0, PM_NOREMOVE));

  PhotoCdPicture lacking("photo_cd_lacking_folder");
  EXPECT_FALSE(lacking.Load(file));
  EXPECT_TRUE(lacking.image.hDib.empty());
  EXPECT_TRUE(lacking.r.sink.boxes.empty());
  EXPECT_EQ(lacking.choice.Active(), nullptr);
}

TEST(FractalLibrary, PicturesAndErrorsOfANativeDecoder) {
  RecordingEnvironment r;
  CNativeFractalDecoder decoder;
  r.env.fractal = &decoder;
  r.env.featureBits = FeatureBit::kFractal;
  const CString library = Text(kFolders / "fractal_folder" / "FIFDECO.DLL");
  auto load = [&](const char* name, const CString& path) {
    CImage image;
    image.SetEnvironment(&r.env);
    const BOOL loaded = image.LoadFractalImage(name, path);
    return std::make_pair(loaded, image.hDib.empty() ? COLORREF(0xDEADBEEF) : PixelAt(image, 0, 0));
  };
  EXPECT_EQ(load("SKY.FIF", library), std::make_pair(TRUE, RGB(255, 0, 0)));
  EXPECT_TRUE(r.sink.boxes.empty());

  EXPECT_FALSE(load("UNKNOWN.FIF", library).first);
  EXPECT_FALSE(load("SEVEN.FIF", library).first);
  EXPECT_EQ(r.Texts(), (std::vector<std::string>{"Fractal input is unknown",
                                                 "An error occured while loading Fractal image 'SEVEN.FIF'"}));
  r.sink.boxes.clear();
  EXPECT_FALSE(load("BROKEN.FIF", library).first) << "bytes that are no picture";
  EXPECT_FALSE(load("SKY.FIF", Text(kFolders / "FIFDECO.DLL")).first) << "no decoder there";
  EXPECT_TRUE(r.sink.boxes.empty());
}
