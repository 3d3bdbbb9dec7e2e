// The picture reader binding: the feature bit, holder counting, spans of files and the DIBs it hands back.
#include "media/image_library.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <QBuffer>
#include <QImage>

#include "media/dib.h"
#include "media/image_environment.h"
#include "platform/gdi/bitmap.h"
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

namespace {

// A 3 x 2 picture of six different colours.
QImage Six() {
  QImage image(3, 2, QImage::Format_RGB32);
  const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 200, 0), qRgb(10, 20, 30),
                          qRgb(250, 250, 250), qRgb(128, 0, 128), qRgb(0, 0, 0)};
  for (int i = 0; i < 6; ++i) image.setPixel(i % 3, i / 3, colours[i]);
  return image;
}

// A 2 x 1 8-bit DIB whose colour table holds only the two colours it uses.
std::vector<BYTE> ShortTableDib() {
  std::vector<BYTE> dib(40, 0);
  const auto put32 = [&dib](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) dib[at + i] = static_cast<BYTE>(v >> (8 * i));
  };
  put32(0, 40);
  put32(4, 2);
  put32(8, 1);
  dib[12] = 1;
  dib[14] = 8;
  put32(32, 2);
  dib.insert(dib.end(), {255, 0, 0, 0, 0, 0, 255, 0});  // blue, red
  dib.insert(dib.end(), {1, 0, 0, 0});                  // red, blue
  return dib;
}

std::vector<BYTE> DibOf(ImgBitmap& bitmap) { return bitmap.ToDIB(); }

}  // namespace

TEST(ImageLibrary, WithoutTheFeatureBitEveryLoadingWrapperGivesZero) {
  TempDir dir;
  WriteBytes(dir.path() / "a.png", Png(Six()));
  CImageLibrary library;
  ImgBitmap bitmap(library, 0);
  bitmap.Prepare();
  int bpp = 0;
  const std::vector<std::uint8_t> png = Png(Six());
  CMemFile file(png.data(), png.size());
  CBitmap ddb;
  ASSERT_TRUE(ddb.CreateBitmap(2, 2, 1, 32, nullptr));
  EXPECT_FALSE(bitmap.LoadFile(Text(dir.path() / "a.png"), bpp));
  EXPECT_FALSE(bitmap.LoadFileOffset(file, 0, png.size(), bpp));
  EXPECT_EQ(bitmap.FileConvert(Text(dir.path() / "a.png"), Text(dir.path() / "b.bmp"), ImgBitmap::kBmp, 0, -1), 0);
  EXPECT_EQ(bitmap.FromDDB(nullptr, &ddb, nullptr), 0);
  EXPECT_EQ(bitmap.FromDIB(ShortTableDib()), 0);
  EXPECT_EQ(bitmap.TwainAcquire(nullptr), 0);
  EXPECT_EQ(bitmap.TwainSelect(nullptr), 0);
  // Nothing is held, so nothing is saved, converted or handed out either.
  EXPECT_EQ(bitmap.Save(Text(dir.path() / "c.png"), ImgBitmap::kPng, 0, -1), 0);
  EXPECT_EQ(bitmap.ColorRes(8), 0);
  EXPECT_EQ(bitmap.ToDDB(nullptr), nullptr);
  EXPECT_FALSE(library.IsLoaded());
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "b.bmp"));
}

TEST(ImageLibrary, SavedAndConvertedFilesReadBackEqual) {
  TempDir dir;
  WriteBytes(dir.path() / "six.png", Png(Six()));
  WriteBytes(dir.path() / "out.png", {1, 2, 3});  // replaced whole
  CImageLibrary library;
  ImgBitmap bitmap(library, FeatureBit::kImageLibrary), back(library, FeatureBit::kImageLibrary);
  bitmap.Prepare();
  back.Prepare();
  int bpp = 0;
  ASSERT_TRUE(bitmap.LoadFile(Text(dir.path() / "six.png"), bpp));
  ASSERT_EQ(bitmap.Save(Text(dir.path() / "out.png"), ImgBitmap::kPng, 0, -1), 1);
  ASSERT_TRUE(back.LoadFile(Text(dir.path() / "out.png"), bpp));
  EXPECT_EQ(DibOf(back), DibOf(bitmap));
  ImgFileInfo info;
  ASSERT_EQ(bitmap.FileInfo(Text(dir.path() / "out.png"), info), 1);
  EXPECT_EQ(info.width, 3);
  EXPECT_EQ(info.height, 2);

  // Converted to a bitmap file at the source's depth, and to 4 bits.
  ASSERT_EQ(bitmap.FileConvert(Text(dir.path() / "six.png"), Text(dir.path() / "six.bmp"), ImgBitmap::kBmp, 0, -1), 1);
  ASSERT_TRUE(back.LoadFile(Text(dir.path() / "six.bmp"), bpp));
  EXPECT_EQ(DibOf(back), DibOf(bitmap));
  ASSERT_EQ(bitmap.FileConvert(Text(dir.path() / "six.png"), Text(dir.path() / "six4.png"), ImgBitmap::kPng, 4, -1), 1);
  ASSERT_TRUE(back.LoadFile(Text(dir.path() / "six4.png"), bpp));
  CDib four;
  four.hDib = back.ToDIB();
  EXPECT_EQ(PixelAt(four, 1, 0), RGB(0, 255, 0)) << "the nearest of the 16 colours";
  EXPECT_EQ(PixelAt(four, 0, 1), RGB(255, 255, 255));
  EXPECT_EQ(bitmap.Save(Text(dir.path() / "x.png"), 99, 0, -1), 0) << "no such format";
  EXPECT_EQ(bitmap.FileConvert(Text(dir.path() / "none.png"), Text(dir.path() / "y.png"), ImgBitmap::kPng, 0, -1), 0);
  // Only the files written are there: no temporary file stayed behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 4);
}

TEST(ImageLibrary, ColourResolutionSetsTheDepthToDibWrites) {
  const auto png = Png(Six());
  CMemFile file(png.data(), png.size());
  CImageLibrary library;
  ImgBitmap bitmap(library, FeatureBit::kImageLibrary);
  bitmap.Prepare();
  int bpp = 0;
  ASSERT_TRUE(bitmap.LoadFileOffset(file, 0, png.size(), bpp));
  struct Row {
    int bits;
    DWORD colours;
    COLORREF second;  // what (1, 0), green 200, becomes
  };
  for (const Row& row : {Row{1, 2, RGB(0, 0, 0)}, Row{4, 16, RGB(0, 255, 0)}, Row{8, 216, RGB(0, 212, 0)}}) {
    // Each reduction starts from the picture as read: a reduced one has lost its colours.
    ASSERT_TRUE(bitmap.LoadFileOffset(file, 0, png.size(), bpp));
    ASSERT_EQ(bitmap.ColorRes(row.bits), 1) << row.bits;
    CDib dib;
    dib.hDib = bitmap.ToDIB();
    tvn::dib::InfoHeader header;
    ASSERT_TRUE(CDib::ReadHeader(dib.hDib, header));
    EXPECT_EQ(header.bitCount, row.bits);
    EXPECT_EQ(header.clrUsed, row.colours);
    EXPECT_EQ(PixelAt(dib, 1, 0), row.second) << row.bits;
  }
  EXPECT_EQ(bitmap.ColorRes(24), 1);
  tvn::dib::InfoHeader header;
  ASSERT_TRUE(CDib::ReadHeader(bitmap.ToDIB(), header));
  EXPECT_EQ(header.bitCount, 24);
  EXPECT_EQ(bitmap.ColorRes(7), 0);
}

TEST(ImageLibrary, BitmapsAndDibsGoInAndOut) {
  CImageLibrary library;
  ImgBitmap bitmap(library, FeatureBit::kImageLibrary);
  bitmap.Prepare();
  // The pixels follow the two colours the table holds, not a table of 256.
  ASSERT_EQ(bitmap.FromDIB(ShortTableDib()), 1);
  CDib dib;
  dib.hDib = bitmap.ToDIB();
  EXPECT_EQ(PixelAt(dib, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(PixelAt(dib, 1, 0), RGB(0, 0, 255));
  std::vector<BYTE> cut = ShortTableDib();
  cut.resize(cut.size() - 2);
  EXPECT_EQ(bitmap.FromDIB(cut), 0) << "pixels past the block";
  EXPECT_EQ(bitmap.FromDIB({1, 2, 3}), 0);

  std::unique_ptr<CBitmap> ddb = bitmap.ToDDB(nullptr);
  ASSERT_TRUE(ddb);
  EXPECT_EQ(ddb->GetSize(), CSize(2, 1));
  ImgBitmap again(library, FeatureBit::kImageLibrary);
  again.Prepare();
  ASSERT_EQ(again.FromDDB(nullptr, ddb.get(), nullptr), 1);
  EXPECT_EQ(DibOf(again), DibOf(bitmap));
}
