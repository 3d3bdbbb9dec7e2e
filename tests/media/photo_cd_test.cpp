// The program's own Photo CD reader: packs, colours, turns, regions, hostile files and the abort check.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "media/image.h"
#include "media/keyboard_queue.h"
#include "media/photo_cd_decoder.h"
#include "media/photo_cd_toolkit.h"
#include "platform/user/message_loop.h"
#include "tests/media/image_test_util.h"
#include "tests/media/media_test_util.h"
#include "tests/support/ffmpeg_media.h"
#include "tests/support/pcd_writer.h"
#include "tests/support/temp_dir.h"

using namespace tvn::testing;
namespace Pcd = tvn::pcd::Status;

namespace {

constexpr std::uint32_t kRed = 0xC83C28;
constexpr std::uint32_t kGreen = 0x28B446;
constexpr std::uint32_t kBlue = 0x3246C8;
constexpr std::uint32_t kGrey = 0x808080;

void Write(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

// Sides and pixels (0xRRGGBB) of a 24-bit packed DIB with rows bottom-up.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<BYTE> dib;
  explicit Picture(std::vector<BYTE> bytes) : dib(std::move(bytes)) {
    if (dib.size() < 40) return;
    width = static_cast<int>(tvn::dib::Le32(dib.data() + 4));
    height = static_cast<int>(tvn::dib::Le32(dib.data() + 8));
    EXPECT_EQ(tvn::dib::Le16(dib.data() + 14), 24);
  }
  std::uint32_t At(int x, int y) const {
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    const BYTE* p = dib.data() + 40 + static_cast<std::size_t>(height - 1 - y) * stride + 3 * static_cast<std::size_t>(x);
    return (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
  }
  // Colour at a point of the picture's quadrant (0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right).
  std::uint32_t Quadrant(int q) const { return At((q % 2 ? 3 : 1) * width / 4, (q / 2 ? 3 : 1) * height / 4); }
};

::testing::AssertionResult Near(std::uint32_t got, std::uint32_t want, int tolerance = 4) {
  for (int shift = 0; shift < 24; shift += 8) {
    const int a = static_cast<int>((got >> shift) & 0xFF);
    const int b = static_cast<int>((want >> shift) & 0xFF);
    if (std::abs(a - b) > tolerance)
      return ::testing::AssertionFailure() << std::hex << "0x" << got << " is not near 0x" << want;
  }
  return ::testing::AssertionSuccess();
}

// The channel that stands out in a colour: 0 red, 1 green, 2 blue, 3 none (grey).
int Dominant(std::uint32_t rgb) {
  const int r = static_cast<int>((rgb >> 16) & 0xFF);
  const int g = static_cast<int>((rgb >> 8) & 0xFF);
  const int b = static_cast<int>(rgb & 0xFF);
  if (r > g + 40 && r > b + 40) return 0;
  if (g > r + 40 && g > b + 40) return 1;
  if (b > r + 40 && b > g + 40) return 2;
  return 3;
}

// Our toolkit over files on disk, loading one picture at a time.
struct Toolkit {
  CPhotoCdToolkit toolkit{nullptr, nullptr, nullptr};

  WORD Load(const std::filesystem::path& file, int resolution, std::vector<BYTE>& dib, int transform = -1,
            const PhotoCdRegion* region = nullptr) {
    IPhotoCdToolkit::Photo photo = 0;
    const auto opened = toolkit.Open(Text(file), photo);
    if (*opened != 0) return *opened;
    int rotation = 0;
    EXPECT_EQ(*toolkit.GetRotation(photo, rotation), 0);
    EXPECT_EQ(*toolkit.SetTransform(photo, transform < 0 ? rotation : transform), 0);
    EXPECT_EQ(*toolkit.SetResolution(photo, resolution), 0);
    const WORD status = *toolkit.LoadImage(photo, region, dib);
    EXPECT_EQ(*toolkit.Close(photo), 0);
    return status;
  }
};

}  // namespace

TEST(PhotoCdReader, EachResolutionGivesItsPackInThePublishedColours) {
  TempDir dir;
  PcdFile file;
  file.colour = Quadrants(kRed, kGreen, kBlue, kGrey);
  Write(dir / "Q.PCD", file.Bytes());
  Toolkit t;
  const int sides[][2] = {{192, 128}, {384, 256}, {768, 512}, {1536, 1024}, {3072, 2048}};
  for (int resolution = 1; resolution <= 5; ++resolution) {
    std::vector<BYTE> dib;
    ASSERT_EQ(t.Load(dir / "Q.PCD", resolution, dib), Pcd::kDone) << resolution;
    const Picture picture(std::move(dib));
    EXPECT_EQ(picture.width, sides[resolution - 1][0]) << resolution;
    EXPECT_EQ(picture.height, sides[resolution - 1][1]) << resolution;
    EXPECT_TRUE(Near(picture.Quadrant(0), kRed)) << resolution;
    EXPECT_TRUE(Near(picture.Quadrant(1), kGreen)) << resolution;
    EXPECT_TRUE(Near(picture.Quadrant(2), kBlue)) << resolution;
    EXPECT_TRUE(Near(picture.Quadrant(3), kGrey)) << resolution;
  }
  // Enlarging repeats Base's pixels: the edge between quadrants stays sharp.
  std::vector<BYTE> base, twice;
  ASSERT_EQ(t.Load(dir / "Q.PCD", 3, base), Pcd::kDone);
  ASSERT_EQ(t.Load(dir / "Q.PCD", 4, twice), Pcd::kDone);
  const Picture b(std::move(base)), d(std::move(twice));
  for (int x : {0, 383, 384, 767}) EXPECT_EQ(d.At(2 * x + 1, 201), b.At(x, 100)) << x;

  // Codes the reader does not know are refused; every known format gives 24 bits.
  IPhotoCdToolkit::Photo photo = 0;
  ASSERT_EQ(*t.toolkit.Open(Text(dir / "Q.PCD"), photo), 0);
  EXPECT_EQ(*t.toolkit.SetResolution(photo, 6), Pcd::kBadArgument);
  EXPECT_EQ(*t.toolkit.SetResolution(photo, 0), Pcd::kBadArgument);
  EXPECT_EQ(*t.toolkit.SetTransform(photo, 4), Pcd::kBadArgument);
  EXPECT_EQ(*t.toolkit.SetFormat(photo, 12), Pcd::kBadArgument);
  IPhotoCdToolkit::Palette palette = 0;
  EXPECT_EQ(*t.toolkit.CreatePalette(nullptr, {0, 0, 256, 0, 3, 3, 2, 1, 1, 1}, palette), 0);
  EXPECT_EQ(*t.toolkit.SetPalette(photo, palette), 0);
  EXPECT_EQ(*t.toolkit.SetPalette(photo, palette + 1), Pcd::kBadArgument);
  for (int format : {10, 11}) {
    EXPECT_EQ(*t.toolkit.SetFormat(photo, format), 0);
    std::vector<BYTE> dib;
    EXPECT_EQ(*t.toolkit.LoadImage(photo, nullptr, dib), 0);
    EXPECT_EQ(Picture(std::move(dib)).width, 384) << format;
  }
  EXPECT_EQ(*t.toolkit.Close(photo), 0);
  EXPECT_EQ(*t.toolkit.Close(photo), Pcd::kBadArgument);
}

TEST(PhotoCdReader, RotationsTurnThePicture) {
  TempDir dir;
  PcdFile file;
  file.colour = Quadrants(kRed, kGreen, kBlue, kGrey);
  Toolkit t;
  struct Row {
    int rotation;
    int width, height;
    std::uint32_t quadrants[4];
  };
  // 1 a quarter anticlockwise, 2 half a turn, 3 a quarter clockwise.
  const Row rows[] = {{0, 384, 256, {kRed, kGreen, kBlue, kGrey}},
                      {1, 256, 384, {kGreen, kGrey, kRed, kBlue}},
                      {2, 384, 256, {kGrey, kBlue, kGreen, kRed}},
                      {3, 256, 384, {kBlue, kRed, kGrey, kGreen}}};
  for (const Row& row : rows) {
    file.rotation = row.rotation;
    Write(dir / "R.PCD", file.Bytes());
    std::vector<BYTE> dib;
    ASSERT_EQ(t.Load(dir / "R.PCD", 2, dib), Pcd::kDone);
    const Picture picture(std::move(dib));
    EXPECT_EQ(picture.width, row.width) << row.rotation;
    EXPECT_EQ(picture.height, row.height) << row.rotation;
    for (int q = 0; q < 4; ++q) EXPECT_TRUE(Near(picture.Quadrant(q), row.quadrants[q])) << row.rotation << " " << q;
  }
  // The transform set wins over the stored rotation.
  std::vector<BYTE> dib;
  ASSERT_EQ(t.Load(dir / "R.PCD", 1, dib, 0), Pcd::kDone);
  EXPECT_EQ(Picture(std::move(dib)).width, 192);
}

TEST(PhotoCdReader, ARegionIsRoundedCutToThePictureAndTakenFromTheTurnedPicture) {
  TempDir dir;
  PcdFile file;
  // A picture where every pixel tells its place: red = x, green = y (in Base/4's 384x256).
  file.colour = [](int x, int y, int, int) { return (std::uint32_t(x * 255 / 383) << 16) | (std::uint32_t(y) << 8); };
  Write(dir / "P.PCD", file.Bytes());

  RecordingEnvironment r;
  CPhotoCdToolkit toolkit(nullptr, nullptr, nullptr);
  r.env.photoCd = &toolkit;
  r.env.featureBits = FeatureBit::kPhotoCd;
  CImage image;
  image.SetEnvironment(&r.env);
  CRect region(13, 27, 100, 205);
  ASSERT_TRUE(image.LoadPhotoCDImage(Text(dir / "P.PCD"), ImageFlag::kDefault, region));
  EXPECT_EQ(image.GetWidth(), 88);
  EXPECT_EQ(image.GetHeight(), 176);
  const COLORREF corner = PixelAt(image, 0, 0);  // the picture's (8, 24)
  EXPECT_NEAR(GetRValue(corner), 8 * 255 / 383, 6);
  EXPECT_NEAR(GetGValue(corner), 24, 6);

  Toolkit t;
  const PhotoCdRegion past{200, 300, 400, 500};  // top, left, bottom, right: cut to 384x256
  std::vector<BYTE> dib;
  ASSERT_EQ(t.Load(dir / "P.PCD", 2, dib, 0, &past), Pcd::kDone);
  const Picture cut(std::move(dib));
  EXPECT_EQ(cut.width, 84);
  EXPECT_EQ(cut.height, 56);
  const PhotoCdRegion outside{300, 0, 400, 10};
  EXPECT_EQ(t.Load(dir / "P.PCD", 2, dib, 0, &outside), Pcd::kEmptyRegion);
  EXPECT_TRUE(dib.empty());
  // Turned a quarter clockwise the picture is 256x384; the region is taken from that.
  const PhotoCdRegion tall{300, 0, 384, 256};
  ASSERT_EQ(t.Load(dir / "P.PCD", 2, dib, 3, &tall), Pcd::kDone);
  const Picture turned(std::move(dib));
  EXPECT_EQ(turned.width, 256);
  EXPECT_EQ(turned.height, 84);
}

TEST(PhotoCdReader, FilesThatAreNoPhotoCdOrEndEarlyFailWithoutReadingPastTheirEnd) {
  TempDir dir;
  PcdFile file;
  file.colour = Quadrants(kRed, kGreen, kBlue, kGrey);
  file.packs = 1;
  const std::vector<std::uint8_t> small = file.Bytes();
  Write(dir / "SMALL.PCD", small);
  file.signature = false;
  Write(dir / "PLAIN.PCD", file.Bytes());
  Write(dir / "HEAD.PCD", std::vector<std::uint8_t>(small.begin(), small.begin() + 0xE02));

  Toolkit t;
  std::vector<BYTE> dib;
  EXPECT_EQ(t.Load(dir / "SMALL.PCD", 1, dib), Pcd::kDone) << "Base/16 alone is there";
  EXPECT_EQ(t.Load(dir / "SMALL.PCD", 2, dib), Pcd::kCutShort);
  EXPECT_TRUE(dib.empty());
  EXPECT_EQ(t.Load(dir / "PLAIN.PCD", 1, dib), Pcd::kNotPhotoCd);
  EXPECT_EQ(t.Load(dir / "HEAD.PCD", 1, dib), Pcd::kNotPhotoCd) << "no rotation byte";
  EXPECT_EQ(t.Load(dir / "MISSING.PCD", 1, dib), Pcd::kNotPhotoCd);
  Write(dir / "ONE.PCD", std::vector<std::uint8_t>(small.begin(), small.end() - 1));
  EXPECT_EQ(t.Load(dir / "ONE.PCD", 1, dib), Pcd::kCutShort) << "one byte short";

  // Through the picture: no signature fails quietly, a cut pack says the call failed.
  RecordingEnvironment r;
  CPhotoCdToolkit toolkit(nullptr, nullptr, nullptr);
  r.env.photoCd = &toolkit;
  r.env.featureBits = FeatureBit::kPhotoCd;
  CImage plain;
  plain.SetEnvironment(&r.env);
  CRect whole;
  EXPECT_FALSE(plain.LoadPhotoCDImage(Text(dir / "PLAIN.PCD"), ImageFlag::kDefault, whole));
  EXPECT_TRUE(r.sink.boxes.empty());
  CImage cut;
  cut.SetEnvironment(&r.env);
  EXPECT_FALSE(cut.LoadPhotoCDImage(Text(dir / "SMALL.PCD"), ImageFlag::kDefault, whole));
  EXPECT_EQ(r.Texts(), std::vector<std::string>{"Call to Photo CD toolkit function failed."});
  EXPECT_TRUE(cut.hDib.empty());
}

TEST(PhotoCdReader, AWaitingEscapeStopsTheLoadQuietlyAndOtherKeysAreDispatched) {
  TempDir dir;
  PcdFile file;
  file.colour = Quadrants(kRed, kGreen, kBlue, kGrey);
  file.packs = 2;
  Write(dir / "K.PCD", file.Bytes());
  CMessageLoop loop;
  ASSERT_EQ(CMessageLoop::Current(), &loop);
  CLoopKeyboardQueue keys;
  RecordingEnvironment r;
  CPhotoCdToolkit toolkit(nullptr, nullptr, &keys);
  r.env.photoCd = &toolkit;
  r.env.featureBits = FeatureBit::kPhotoCd;

  // A key that is not Escape is taken and the load goes on; other messages stay queued.
  loop.PostMessage(nullptr, WM_USER + 5, 0, 0);
  loop.PostMessage(nullptr, WM_KEYDOWN, 'A', 0);
  CImage image;
  image.SetEnvironment(&r.env);
  CRect whole;
  EXPECT_TRUE(image.LoadPhotoCDImage(Text(dir / "K.PCD"), ImageFlag::kDefault, whole));
  MSG msg;
  EXPECT_FALSE(loop.PeekMessage(msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE));
  ASSERT_TRUE(loop.PeekMessage(msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_USER + 5);

  // Escape as typed: its key-down is dispatched, its character stops the load.
  loop.PostMessage(nullptr, WM_KEYDOWN, VK_ESCAPE, 0);
  loop.PostMessage(nullptr, WM_CHAR, VK_ESCAPE, 0);
  CImage stopped;
  stopped.SetEnvironment(&r.env);
  EXPECT_FALSE(stopped.LoadPhotoCDImage(Text(dir / "K.PCD"), ImageFlag::kDefault, whole));
  EXPECT_TRUE(stopped.hDib.empty());
  EXPECT_TRUE(r.sink.boxes.empty()) << "status 3003 fails silently";
  EXPECT_FALSE(loop.PeekMessage(msg, nullptr, 0, 0, PM_NOREMOVE));
}

TEST(PhotoCdReader, AFileWrittenByImageMagickHasItsSizesQuadrantsAndRotation) {
  if (std::system("command -v convert >/dev/null 2>&1") != 0) GTEST_SKIP() << "ImageMagick's convert is not installed";
  TempDir dir;
  // Red, green, blue and white quadrants; the portrait one is stored turned, with rotation 1.
  const std::string wide = "convert -size 768x512 xc:red -fill lime -draw 'rectangle 384,0 767,255' -fill blue "
                           "-draw 'rectangle 0,256 383,511' -fill white -draw 'rectangle 384,256 767,511' '" +
                           (dir / "WIDE.PCD").string() + "' >/dev/null 2>&1";
  const std::string tall = "convert -size 512x768 xc:red -fill lime -draw 'rectangle 256,0 511,383' -fill blue "
                           "-draw 'rectangle 0,384 255,767' -fill white -draw 'rectangle 256,384 511,767' '" +
                           (dir / "TALL.PCD").string() + "' >/dev/null 2>&1";
  if (std::system(wide.c_str()) != 0 || std::system(tall.c_str()) != 0)
    GTEST_SKIP() << "ImageMagick does not write Photo CD files here";
  Toolkit t;
  IPhotoCdToolkit::Photo photo = 0;
  ASSERT_EQ(*t.toolkit.Open(Text(dir / "TALL.PCD"), photo), 0);
  int rotation = -1;
  EXPECT_EQ(*t.toolkit.GetRotation(photo, rotation), 0);
  EXPECT_EQ(rotation, 1);
  t.toolkit.Close(photo);

  const int sides[][2] = {{192, 128}, {384, 256}, {768, 512}};
  for (int resolution = 1; resolution <= 3; ++resolution) {
    for (const char* name : {"WIDE.PCD", "TALL.PCD"}) {
      const bool portrait = name[0] == 'T';
      std::vector<BYTE> dib;
      ASSERT_EQ(t.Load(dir / name, resolution, dib), Pcd::kDone) << name;
      const Picture picture(std::move(dib));
      EXPECT_EQ(picture.width, sides[resolution - 1][portrait ? 1 : 0]) << name << resolution;
      EXPECT_EQ(picture.height, sides[resolution - 1][portrait ? 0 : 1]) << name << resolution;
      EXPECT_EQ(Dominant(picture.Quadrant(0)), 0) << name << resolution;
      EXPECT_EQ(Dominant(picture.Quadrant(1)), 1) << name << resolution;
      EXPECT_EQ(Dominant(picture.Quadrant(2)), 2) << name << resolution;
      EXPECT_EQ(Dominant(picture.Quadrant(3)), 3) << name << resolution;
    }
  }
}
