// The picture reader binding: the feature bit, holder counting, spans of files and the DIBs it hands back.
#include "media/image_library.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QBuffer>
#include <QImage>

#include "media/dib.h"
#include "media/image_environment.h"
#include "tests/media/image_test_util.h"
#include "tests/media/media_test_util.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wmf_writer.h"

using namespace tvn::testing;

namespace {

std::vector<std::uint8_t> Png(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

}  // namespace

TEST(ImageLibrary, NothingLoadsWithoutTheFeatureBit) {
  TempDir dir;
  QImage image(1, 1, QImage::Format_RGB32);
  WriteBytes(dir.path() / "a.png", Png(image));
  CImageLibrary library;
  ImgBitmap bitmap(library, 0);
  bitmap.Prepare();
  int bpp = 0;
  EXPECT_FALSE(bitmap.LoadFile(Text(dir.path() / "a.png"), bpp));
  EXPECT_FALSE(library.IsLoaded());
  bitmap.Release();
  EXPECT_EQ(library.Holders(), 0);
}

TEST(ImageLibrary, ReleasingTheLastHolderUnloadsAndTheNextLoadLoadsAgain) {
  TempDir dir;
  QImage image(2, 1, QImage::Format_RGB32);
  image.fill(qRgb(1, 2, 3));
  WriteBytes(dir.path() / "a.png", Png(image));
  CImageLibrary library;
  {
    ImgBitmap first(library, FeatureBit::kImageLibrary), second(library, FeatureBit::kImageLibrary);
    first.Prepare();
    second.Prepare();
    int bpp = 0;
    EXPECT_TRUE(first.LoadFile(Text(dir.path() / "a.png"), bpp));
    EXPECT_EQ(bpp, 24);
    EXPECT_TRUE(library.IsLoaded());
    first.Release();
    EXPECT_TRUE(library.IsLoaded()) << "one holder still lives";
    second.Release();
    EXPECT_FALSE(library.IsLoaded());
    EXPECT_EQ(library.Holders(), 0);
  }
  ImgBitmap again(library, FeatureBit::kImageLibrary);
  again.Prepare();
  int bpp = 0;
  EXPECT_TRUE(again.LoadFile(Text(dir.path() / "a.png"), bpp));
  EXPECT_EQ(library.LoadCount(), 2);
  // A holder going out of scope lets go like Release.
}

TEST(ImageLibrary, SpansOfAFileAreReadOnlyWhereTheFileHasThem) {
  QImage image(3, 2, QImage::Format_RGB32);
  image.fill(qRgb(0, 0, 255));
  const auto png = Png(image);
  // The picture with 10 bytes before it and 5 after.
  std::vector<std::uint8_t> bytes(10 + png.size() + 5, 0xEE);
  std::copy(png.begin(), png.end(), bytes.begin() + 10);
  CMemFile file(bytes.data(), bytes.size());
  CImageLibrary library;
  ImgBitmap bitmap(library, FeatureBit::kImageLibrary);
  bitmap.Prepare();
  int bpp = 0;
  EXPECT_FALSE(bitmap.LoadFileOffset(file, 10, bytes.size(), bpp));
  EXPECT_FALSE(bitmap.LoadFileOffset(file, bytes.size() + 1, 0, bpp));
  EXPECT_FALSE(bitmap.LoadFileOffset(file, 0, png.size(), bpp)) << "the wrong span is no picture";
  ASSERT_TRUE(bitmap.LoadFileOffset(file, 10, png.size(), bpp));
  CDib dib;
  dib.hDib = bitmap.ToDIB();
  EXPECT_EQ(dib.GetWidth(), 3);
  EXPECT_EQ(PixelAt(dib, 2, 1), RGB(0, 0, 255));
  EXPECT_TRUE(bitmap.GetAlphaMask().empty());
  bitmap.Release();
}

TEST(ImageLibrary, AlphaPicturesGiveA32BitDibAndAGreyMask) {
  QImage image(2, 2, QImage::Format_ARGB32);
  image.fill(qRgba(10, 20, 30, 255));
  image.setPixel(1, 1, qRgba(10, 20, 30, 64));
  const auto png = Png(image);
  CMemFile file(png.data(), png.size());
  CImageLibrary library;
  ImgBitmap bitmap(library, FeatureBit::kImageLibrary);
  bitmap.Prepare();
  int bpp = 0;
  ASSERT_TRUE(bitmap.LoadFileOffset(file, 0, png.size(), bpp));
  EXPECT_EQ(bpp, 32);
  CDib dib;
  dib.hDib = bitmap.ToDIB();
  tvn::dib::InfoHeader header;
  ASSERT_TRUE(CDib::ReadHeader(dib.hDib, header));
  EXPECT_EQ(header.bitCount, 32);
  CDib mask;
  mask.hDib = bitmap.GetAlphaMask();
  EXPECT_EQ(PixelAt(mask, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(PixelAt(mask, 1, 1), RGB(64, 64, 64));
}

TEST(ImageLibrary, PcxComesThroughTheFallbackDecoderAndDamageIsRefused) {
  const auto pcx = PcxFile(3, 2, {0, 1, 2, 2, 1, 0}, {0xFF0000, 0x00FF00, 0x0000FF});
  CImageLibrary library;
  ImgBitmap bitmap(library, FeatureBit::kImageLibrary);
  bitmap.Prepare();
  int bpp = 0;
  {
    CMemFile file(pcx.data(), pcx.size());
    ASSERT_TRUE(bitmap.LoadFileOffset(file, 0, pcx.size(), bpp));
  }
  CDib dib;
  dib.hDib = bitmap.ToDIB();
  EXPECT_EQ(PixelAt(dib, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(PixelAt(dib, 2, 0), RGB(0, 0, 255));
  EXPECT_EQ(PixelAt(dib, 0, 1), RGB(0, 0, 255));
  // Cut at a few places: never a picture from half a file, never a crash.
  for (std::size_t cut : {std::size_t{0}, std::size_t{1}, std::size_t{64}, std::size_t{127}, std::size_t{130}}) {
    CMemFile file(pcx.data(), cut);
    EXPECT_FALSE(bitmap.LoadFileOffset(file, 0, cut, bpp)) << cut;
  }
}
