// CImage: loading by file kind from disk, the cache, the data file and variables; every way of drawing.
#include "media/image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <utility>

#include <QBuffer>
#include <QImage>

#include "media/image_library.h"
#include "model/archive.h"
#include "model/data_file.h"
#include "model/variable.h"
#include "tests/media/image_test_util.h"
#include "tests/media/media_test_util.h"
#include "tests/model/test_variable_context.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/course_builder.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wmf_writer.h"

using namespace tvn::testing;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
const std::string kNoFilter = "File format filter DLL not found.";

// A 24-bit bitmap file whose pixel (x, y) is colour(x, y) (0xRRGGBB).
template <class Colour>
std::vector<std::uint8_t> Bmp(int width, int height, Colour colour) {
  std::vector<std::vector<std::uint32_t>> rows(static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) rows[static_cast<std::size_t>(y)].push_back(colour(x, y));
  BmpFile f;
  f.width = width;
  f.height = height;
  f.pixels = PackRows(rows, 24);
  return f.Bytes();
}

std::vector<std::uint8_t> Solid(int width, int height, std::uint32_t rgb) {
  return Bmp(width, height, [rgb](int, int) { return rgb; });
}

// The same bitmap file with a 124-byte V5 header (its fields past the first
// 40 bytes zero), as current editors write it.
std::vector<std::uint8_t> WithV5Header(std::vector<std::uint8_t> file) {
  constexpr std::size_t kFileHeader = 14, kExtra = 124 - 40;
  file.insert(file.begin() + kFileHeader + 40, kExtra, 0);
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  put32(2, static_cast<std::uint32_t>(file.size()));
  put32(10, static_cast<std::uint32_t>(kFileHeader + 124));
  put32(kFileHeader, 124);
  return file;
}

std::vector<std::uint8_t> Encode(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

// One row of red pixels with the given alphas.
std::vector<std::uint8_t> AlphaPng(const std::vector<int>& alphas) {
  QImage image(static_cast<int>(alphas.size()), 1, QImage::Format_ARGB32);
  for (int x = 0; x < image.width(); ++x) image.setPixel(x, 0, qRgba(255, 0, 0, alphas[static_cast<std::size_t>(x)]));
  return Encode(image, "PNG");
}

struct Fixture {
  TempDir dir;
  RecordingEnvironment r;
  CImageLibrary library;

  Fixture() { r.env.imageLibrary = &library; }
  CString Put(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    WriteBytes(dir.path() / name, bytes);
    return Text(dir.path() / name);
  }
  CImage Image(const CString& name, DWORD flags = ImageFlag::kDefault, COLORREF key = 0) {
    CImage image;
    image.SetEnvironment(&r.env);
    image.fileName = name;
    image.flags = flags;
    image.keyColour = key;
    return image;
  }
};

}  // namespace

TEST(CImageLoad, TheFirstMatchingNameDecidesTheKind) {
  const auto bmp = Solid(2, 2, 0xFF0000);
  QImage png(2, 2, QImage::Format_RGB32);
  png.fill(qRgb(0, 255, 0));
  const auto pngBytes = Encode(png, "PNG");
  const auto pcx = PcxFile(2, 2, {0, 1, 1, 0}, {0xFF0000, 0x0000FF});
  // A 1 x 1 GIF, red from a two-colour table (Qt reads GIF but cannot write it).
  const std::vector<std::uint8_t> gif = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00,
                                         0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00, 0x00, 0x00,
                                         0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B};
  QImage grey(8, 8, QImage::Format_RGB32);
  grey.fill(qRgb(128, 128, 128));
  const auto jpeg = Encode(grey, "JPG");
  const auto wmf = WmfWriter().CreateBrush(kRed).Select(0).Rectangle(0, 0, 10, 10).Placeable(0, 0, 10, 10);
  BmpFile twoBit;
  twoBit.bitCount = 2;
  twoBit.colors = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
  twoBit.pixels = {0, 0, 0, 0};
  BmpFile pngInside;
  pngInside.bitCount = 0;
  pngInside.compression = 5;  // the pixels are a PNG file
  pngInside.pixels = pngBytes;
  struct Row {
    std::string name;
    std::vector<std::uint8_t> bytes;
    DWORD features;
    BOOL result;
    BYTE kind;
    std::vector<std::string> messages;
    COLORREF topLeft;
  };
  const Row rows[] = {
      {"PICTURE.BMP.PCX", bmp, FeatureBit::kImageLibrary, TRUE, ImageKind::kBitmap, {}, kRed},
      {"pic.png", pngBytes, FeatureBit::kImageLibrary, TRUE, ImageKind::kLibrary, {}, kGreen},
      {"pic.pcx", pcx, FeatureBit::kImageLibrary, TRUE, ImageKind::kLibrary, {}, kRed},
      {"pic.gif", gif, FeatureBit::kImageLibrary, TRUE, ImageKind::kLibrary, {}, kRed},
      {"pic.jpg", jpeg, FeatureBit::kImageLibrary, TRUE, ImageKind::kLibrary, {}, CLR_INVALID},
      {"notbmp.bmp", pngBytes, FeatureBit::kImageLibrary, TRUE, ImageKind::kLibrary, {}, kGreen},
      // Bitmaps the bitmap reader refuses: a V5 header is read by the library, 2 bits and PNG inside by nothing.
      {"modern.bmp", WithV5Header(bmp), FeatureBit::kImageLibrary, TRUE, ImageKind::kLibrary, {}, kRed},
      {"modern.bmp", WithV5Header(bmp), 0, FALSE, ImageKind::kBitmap, {}, CLR_INVALID},
      {"four.bmp", twoBit.Bytes(), FeatureBit::kImageLibrary, FALSE, ImageKind::kBitmap, {kNoFilter}, CLR_INVALID},
      {"png.bmp", pngInside.Bytes(), FeatureBit::kImageLibrary, FALSE, ImageKind::kBitmap, {kNoFilter}, CLR_INVALID},
      // Without the fractal decoder's bit the name goes to the library.
      {"pic.fif", pngBytes, FeatureBit::kImageLibrary | FeatureBit::kPhotoCd, TRUE, ImageKind::kLibrary, {}, kGreen},
      {"junk.gif", {1, 2, 3, 4, 5}, FeatureBit::kImageLibrary, FALSE, ImageKind::kNone, {kNoFilter}, CLR_INVALID},
      {"junk.gif", {1, 2, 3, 4, 5}, 0, FALSE, ImageKind::kNone, {}, CLR_INVALID},
      {"pic.wmf", wmf, 0, TRUE, ImageKind::kMetafile, {}, CLR_INVALID},
      // A 3-byte metafile: no picture and no message.
      {"bad.wmf", {1, 2, 3}, 0, FALSE, ImageKind::kMetafile, {}, CLR_INVALID},
  };
  int n = 0;
  for (const Row& row : rows) {
    Fixture f;
    f.r.env.featureBits = row.features;
    CImage image = f.Image(f.Put(row.name, row.bytes), 0);
    EXPECT_EQ(image.Load(), row.result) << "row " << n;
    EXPECT_EQ(image.kind, row.kind) << "row " << n;
    EXPECT_EQ(f.r.Texts(), row.messages) << "row " << n;
    if (row.topLeft != CLR_INVALID) {
      EXPECT_EQ(PixelAt(image, 0, 0), row.topLeft) << "row " << n;
    }
    if (row.kind == ImageKind::kMetafile && row.result) {
      EXPECT_EQ(image.pictureRect, CRect(0, 0, 10, 10));
    }
    ++n;
  }
}

TEST(CImageLoad, MissingFilesAreReportedUnlessQuiet) {
  Fixture f;
  CImage image = f.Image(Text(f.dir.path() / "missing.png"));
  EXPECT_FALSE(image.Load());
  EXPECT_EQ(f.r.variables.calls, 1);
  EXPECT_EQ(f.r.variables.errorNumber, CFileException::fileNotFound);
  EXPECT_TRUE(f.r.sink.boxes.empty());
  EXPECT_FALSE(image.LoadByExtension(image.fileName, nullptr, TRUE));
  EXPECT_EQ(f.r.variables.calls, 1);
  EXPECT_EQ(f.library.Holders(), 0);
}

TEST(CImageLoad, CacheDataFileAndLongBinaryVariables) {
  Fixture f;
  QImage png(3, 1, QImage::Format_RGB32);
  png.fill(qRgb(0, 0, 255));
  PackedFileBuilder()
      .Add("INSIDE.BMP", Solid(2, 1, 0x00FF00))
      .Add("INSIDE.PNG", Encode(png, "PNG"))
      .WriteTo(f.dir.path() / "pack.dat");
  CDataFile data(&f.r.reporter);
  ASSERT_TRUE(data.Open(Text(f.dir.path() / "pack.dat")));
  f.r.env.dataFile = &data;
  FakeCache cache;
  const auto cached = Solid(4, 1, 0xFF0000);
  // The cache holds a bare packed DIB: the bytes behind the 14-byte file header.
  cache.blocks.emplace("CACHED.BMP", FakeBlock(std::vector<BYTE>(cached.begin() + 14, cached.end())));
  cache.blocks.emplace("GARBAGE.BMP", FakeBlock({1, 2, 3}));
  f.r.env.cache = &cache;

  CImage fromCache = f.Image("cached.bmp");
  EXPECT_TRUE(fromCache.Load());
  EXPECT_EQ(fromCache.GetWidth(), 4);
  EXPECT_FALSE(fromCache.hBitmap.IsNull());

  CImage fromData = f.Image("inside.bmp");
  EXPECT_TRUE(fromData.Load());
  EXPECT_EQ(fromData.kind, ImageKind::kBitmap);
  EXPECT_EQ(PixelAt(fromData, 1, 0), kGreen);

  CImage libraryFromData = f.Image("inside.png");
  EXPECT_TRUE(libraryFromData.Load());
  EXPECT_EQ(libraryFromData.kind, ImageKind::kLibrary);
  EXPECT_EQ(PixelAt(libraryFromData, 2, 0), kBlue);

  // A cache block that is no picture leaves the name to the other sources.
  CImage garbage = f.Image("garbage.bmp");
  EXPECT_FALSE(garbage.Load());
  EXPECT_TRUE(garbage.hDib.empty());

  TestVariableContext context;
  f.r.env.variables = &context;
  CVariable& good = context.Declare("Picture", VarType::kString);
  good.SetFlags(good.GetFlags() | VarType::kOther);
  good.SetData(std::vector<BYTE>(cached.begin() + 14, cached.end()));
  CVariable& bad = context.Declare("Broken", VarType::kString);
  bad.SetFlags(bad.GetFlags() | VarType::kOther);
  std::vector<BYTE> forged(cached.begin() + 14, cached.end());
  forged[6] = 0x01;  // width past the cap on picture sides
  bad.SetData(forged);
  CImage fromVariable = f.Image("Picture");
  EXPECT_TRUE(fromVariable.Load());
  EXPECT_EQ(PixelAt(fromVariable, 3, 0), kRed);
  CImage fromBroken = f.Image("Broken");
  EXPECT_FALSE(fromBroken.Load());
  EXPECT_TRUE(fromBroken.hBitmap.IsNull());
}

TEST(CImageLoad, MasksFromKeyColourTopLeftPixelAndWithoutBitmap) {
  Fixture f;
  const CString name = f.Put("keyed.bmp", Bmp(3, 1, [](int x, int) { return x == 1 ? 0x00FF00u : 0xFF00FFu; }));
  CImage keyed = f.Image(name, ImageFlag::kKeyColour, RGB(255, 0, 255));
  ASSERT_TRUE(keyed.Load());
  EXPECT_FALSE(keyed.HitTest(CPoint(0, 0)));
  EXPECT_TRUE(keyed.HitTest(CPoint(1, 0)));
  CImage topLeft = f.Image(name, ImageFlag::kTopLeftKey);
  ASSERT_TRUE(topLeft.Load());
  EXPECT_FALSE(topLeft.HitTest(CPoint(2, 0)));
  CImage plain = f.Image(name, 0);
  ASSERT_TRUE(plain.Load());
  EXPECT_TRUE(plain.HitTest(CPoint(0, 0)));

  CImage noBitmap = f.Image(name, ImageFlag::kNoBitmap);
  ASSERT_TRUE(noBitmap.Load());
  EXPECT_TRUE(noBitmap.hBitmap.IsNull());
  EXPECT_TRUE(noBitmap.hMaskDib.empty());
  CImage noBitmapKeyed = f.Image(name, ImageFlag::kNoBitmap | ImageFlag::kKeyColour, RGB(255, 0, 255));
  ASSERT_TRUE(noBitmapKeyed.Load());
  EXPECT_TRUE(noBitmapKeyed.hBitmap.IsNull());
  EXPECT_FALSE(noBitmapKeyed.hMaskDib.empty());
  // Drawn stretched from the DIB through the mask DIB.
  Page page(6, 2);
  noBitmapKeyed.Draw(&page.dc, CRect(0, 0, 6, 2));
  EXPECT_EQ(page.At(0, 0), kWhite);
  EXPECT_EQ(page.At(2, 1), kGreen);
  EXPECT_EQ(page.At(5, 0), kWhite);
}

TEST(CImageDraw, ScrolledAndCutToThePaintRectangle) {
  Fixture f;
  CImage image = f.Image(f.Put("grad.bmp", Bmp(4, 4, [](int x, int y) { return static_cast<std::uint32_t>(x * 0x400000 + y * 0x40); })), 0);
  ASSERT_TRUE(image.Load());
  image.offset.left.SetLiteral(1);
  image.offset.top.SetLiteral(2);
  f.r.env.paintRect = CRect(11, 10, 20, 20);
  Page page(20, 20);
  image.Draw(&page.dc, CRect(10, 10, 20, 20));
  EXPECT_EQ(page.At(10, 10), kWhite) << "left of the paint rectangle";
  // (11, 10) shows picture pixel (1 + 1, 2 + 0).
  EXPECT_EQ(page.At(11, 10), RGB(0x80, 0, 0x80));
  EXPECT_EQ(page.At(12, 11), RGB(0xC0, 0, 0xC0));
  EXPECT_EQ(page.At(13, 10), kWhite) << "past the picture's right edge";
}

TEST(CImageDraw, FilmStripFramesAndTiles) {
  Fixture f;
  const CString strip = f.Put("strip.bmp", Bmp(30, 10, [](int x, int) {
    return x < 10 ? 0xFF0000u : x < 20 ? 0x00FF00u : 0x0000FFu;
  }));
  CImage image = f.Image(strip, 0);
  ASSERT_TRUE(image.Load());
  struct Row {
    int index;
    COLORREF colour;
  };
  for (const Row& row : {Row{0, kRed}, Row{1, kGreen}, Row{2, kBlue}, Row{3, kRed}, Row{99, kRed}, Row{-1, kRed}}) {
    Page page(30, 10);
    image.DrawFrame(&page.dc, CRect(0, 0, 30, 10), row.index, 3);
    EXPECT_EQ(page.At(0, 0), row.colour) << row.index;
    EXPECT_EQ(page.At(9, 9), row.colour) << row.index;
    EXPECT_EQ(page.At(10, 0), kWhite) << "one frame wide, index " << row.index;
  }

  CImage tile = f.Image(f.Put("tile.bmp", Solid(100, 100, 0x0000FF)), 0);
  ASSERT_TRUE(tile.Load());
  Page page(400, 300);
  tile.DrawTiled(&page.dc, CRect(0, 0, 400, 300), CRect(0, 0, 250, 100));
  // 3 columns and 2 rows.
  EXPECT_EQ(page.At(299, 199), kBlue);
  EXPECT_EQ(page.At(300, 0), kWhite);
  EXPECT_EQ(page.At(0, 200), kWhite);
  Page clipped(400, 300);
  tile.DrawTiled(&clipped.dc, CRect(150, 0, 160, 10), CRect(0, 0, 250, 100));
  EXPECT_EQ(clipped.At(100, 99), kBlue) << "a tile touching the clip is copied whole";
  EXPECT_EQ(clipped.At(99, 0), kWhite);
  EXPECT_EQ(clipped.At(100, 100), kWhite);
}

TEST(CImageDraw, MetafilesPlayIntoTheRectangle) {
  Fixture f;
  const auto wmf = WmfWriter().CreateBrush(kRed).CreatePen(0, 0, kRed).Select(0).Select(1)
                       .Rectangle(0, 0, 1000, 500).Placeable(0, 0, 1000, 500);
  CImage image = f.Image(f.Put("red.wmf", wmf), 0);
  ASSERT_TRUE(image.Load());
  EXPECT_EQ(image.GetDataSize(), wmf.size() - 22);
  Page page(300, 200);
  image.Draw(&page.dc, CRect(50, 50, 250, 150));
  EXPECT_EQ(page.At(50, 50), kRed);
  EXPECT_EQ(page.At(249, 149), kRed);
  EXPECT_EQ(page.At(250, 150), kWhite);
  image.Free();
  EXPECT_EQ(image.kind, ImageKind::kNone);
  EXPECT_FALSE(image.GetMetaFile());
}

TEST(CImageDraw, AlphaBlendsOnScreenAndCopiesOnPrinters) {
  Fixture f;
  CImage image = f.Image(f.Put("alpha.png", AlphaPng({255, 0, 128, 255, 255})), 0);
  ASSERT_TRUE(image.Load());
  EXPECT_EQ(image.kind, ImageKind::kLibrary);
  EXPECT_EQ(image.maskReady, 1);

  Page screen(8, 1);
  screen.dc.FillSolidRect(CRect(0, 0, 8, 1), RGB(0, 0, 0));
  image.Draw(&screen.dc, CRect(0, 0, 8, 1));
  EXPECT_EQ(screen.At(0, 0), kRed);
  EXPECT_EQ(screen.At(1, 0), RGB(0, 0, 0));
  EXPECT_EQ(screen.At(2, 0), RGB(128, 0, 0));
  // Only the picture's own width is written.
  EXPECT_EQ(screen.At(5, 0), RGB(0, 0, 0));
  EXPECT_EQ(screen.At(7, 0), RGB(0, 0, 0));

  Page printer(8, 1);
  printer.dc.SetPrinting(TRUE);
  printer.dc.FillSolidRect(CRect(0, 0, 8, 1), RGB(0, 0, 0));
  image.Draw(&printer.dc, CRect(0, 0, 8, 1));
  EXPECT_EQ(printer.At(2, 0), kRed);

  // Stretched (no device-dependent bitmap kept): the mask stretches with the picture.
  CImage stretched = f.Image(image.fileName, ImageFlag::kNoBitmap);
  ASSERT_TRUE(stretched.Load());
  EXPECT_FALSE(stretched.hBitmap.IsNull()) << "the blended draw needs it";
  Page wide(10, 1);
  wide.dc.FillSolidRect(CRect(0, 0, 10, 1), RGB(0, 0, 0));
  stretched.Draw(&wide.dc, CRect(0, 0, 10, 1));
  EXPECT_EQ(wide.At(0, 0), kRed);
  EXPECT_EQ(wide.At(2, 0), RGB(0, 0, 0));
  EXPECT_EQ(wide.At(4, 0), RGB(128, 0, 0));

  // A key colour asked for as well does not replace the picture's own grey mask.
  CImage keyedToo = f.Image(image.fileName, ImageFlag::kKeyColour, RGB(255, 0, 0));
  ASSERT_TRUE(keyedToo.Load());
  EXPECT_EQ(keyedToo.maskReady, 1);
  EXPECT_EQ(keyedToo.hMask.GetPixel(2, 0), RGB(128, 128, 128));

  // A display of 8 bits draws nothing of it.
  f.r.env.displayBits = 8;
  Page eight(8, 1);
  image.Draw(&eight.dc, CRect(0, 0, 8, 1));
  EXPECT_EQ(eight.At(0, 0), kWhite);
}

TEST(CImageDraw, SeparateMaskFileBlends) {
  Fixture f;
  const CString picture = f.Put("pic.bmp", Solid(2, 1, 0xFF0000));
  const CString mask = f.Put("mask.bmp", Bmp(2, 1, [](int x, int) { return x == 0 ? 0xFFFFFFu : 0x000000u; }));
  CImage image = f.Image(picture, ImageFlag::kMaskFile);
  image.maskFileName = mask;
  ASSERT_TRUE(image.Load());
  EXPECT_EQ(image.maskReady, 1);
  Page page(2, 1);
  page.dc.FillSolidRect(CRect(0, 0, 2, 1), kBlue);
  image.Draw(&page.dc, CRect(0, 0, 2, 1));
  EXPECT_EQ(page.At(0, 0), kRed);
  EXPECT_EQ(page.At(1, 0), kBlue);
}

namespace {

// bg + (pic - bg) * a / 255 per colour byte, truncated towards zero: the blended draw's formula.
std::uint32_t BlendedPixel(std::uint32_t pic, std::uint32_t bg, unsigned a) {
  if (a == 255) return pic;
  if (a == 0) return bg;
  std::uint32_t out = 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    const int p = static_cast<int>((pic >> shift) & 0xFFu), b = static_cast<int>((bg >> shift) & 0xFFu);
    out |= static_cast<std::uint32_t>(b + (p - b) * static_cast<int>(a) / 255) << shift;
  }
  return out;
}

}  // namespace

TEST(CImageDraw, BlendedDrawFollowsItsFormulaOnEveryKindOfContext) {
  // Odd sizes, every weight from 0 to 255 somewhere, colours on both sides of the page's.
  constexpr int kW = 21, kH = 13;
  CImage image;
  image.hBitmap = CPixelImage(kW, kH);
  image.hMask = CPixelImage(kW, kH);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const auto i = static_cast<std::uint32_t>(y * kW + x);
      image.hBitmap.Row(y)[x] = 0xFF000000u | (i * 2654435761u & 0xFFFFFFu);
      image.hMask.Row(y)[x] = 0xFF000000u | ((i * 37u) & 0xFFu) | 0x00ABCD00u;
    }
  image.maskReady = 1;
  struct Case {
    const char* name;
    CPoint at;         // logical position of the draw
    CPoint source;     // first picture pixel
    CSize size;
    CPoint viewport;   // the context's viewport origin
    CRect clip;        // a clip rectangle (logical), empty for none
    CRect hole;        // a rectangle cut out of the clip (logical), empty for none
  };
  const Case cases[] = {
      {"whole picture", {3, 2}, {0, 0}, {kW, kH}, {0, 0}, {}, {}},
      {"off the top left", {-5, -4}, {0, 0}, {kW, kH}, {0, 0}, {}, {}},
      {"off the bottom right", {20, 10}, {1, 2}, {kW - 1, kH - 2}, {0, 0}, {}, {}},
      {"past the picture's edge", {2, 3}, {6, 5}, {kW, kH}, {0, 0}, {}, {}},
      {"scrolled and clipped", {4, 1}, {2, 0}, {15, 11}, {-3, 2}, {5, 3, 17, 12}, {}},
      {"clip with a hole", {1, 1}, {0, 0}, {kW, kH}, {0, 0}, {2, 2, 19, 14}, {6, 5, 9, 8}},
  };
  for (const Case& c : cases) {
    Page page(30, 20);
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 30; ++x) page.image.Row(y)[x] = 0xFF000000u | static_cast<std::uint32_t>(x * 8 << 16 | y * 12 << 8 | 0x80);
    const CPixelImage before = page.image.Copy(0, 0, 30, 20);
    page.dc.SetViewportOrg(c.viewport);
    if (!c.clip.IsRectEmpty()) page.dc.IntersectClipRect(c.clip);
    if (!c.hole.IsRectEmpty()) page.dc.ExcludeClipRect(c.hole);
    image.DrawTransparentBits(&page.dc, c.at.x, c.at.y, c.size.cx, c.size.cy, c.source.x, c.source.y, FALSE);

    const int width = std::min<int>(c.size.cx, kW), height = std::min<int>(c.size.cy, kH);
    int wrong = 0;
    for (int y = 0; y < 20 && wrong == 0; ++y)
      for (int x = 0; x < 30; ++x) {
        const CPoint logical(x - c.viewport.x, y - c.viewport.y);
        const int dx = logical.x - c.at.x, dy = logical.y - c.at.y;
        const bool drawn = dx >= 0 && dy >= 0 && dx < width && dy < height &&
                           (c.clip.IsRectEmpty() || c.clip.PtInRect(logical)) &&
                           (c.hole.IsRectEmpty() || !c.hole.PtInRect(logical));
        const int sx = c.source.x + dx, sy = c.source.y + dy;
        const bool inPicture = sx < kW && sy < kH;
        const std::uint32_t bg = std::as_const(before).Row(y)[x];
        // Beyond the picture's edge the weight is that of a black mask: 0.
        const std::uint32_t want = !drawn ? bg
                                   : !inPicture
                                       ? bg
                                       : BlendedPixel(std::as_const(image.hBitmap).Row(sy)[sx], bg,
                                                      std::as_const(image.hMask).Row(sy)[sx] & 0xFFu);
        const std::uint32_t got = std::as_const(page.image).Row(y)[x];
        if (got != want && ++wrong == 1)
          ADD_FAILURE() << c.name << " at " << x << "," << y << ": " << std::hex << got << " instead of " << want;
      }
  }
}

TEST(CImageDraw, BlendedDrawFollowsChangesToItsMask) {
  // The draw keeps the mask's weights beside it: every way of changing the
  // mask must reach the next draw.
  constexpr int kW = 19, kH = 5;
  CImage image;
  image.hBitmap = CPixelImage(kW, kH);
  image.hBitmap.Fill(RGB(250, 100, 0));
  image.hMask = CPixelImage(kW, kH);
  image.hMask.Fill(RGB(255, 255, 255));
  image.maskReady = 1;
  auto drawAndCheck = [&image](const char* step) {
    Page page(kW, kH);
    page.dc.FillSolidRect(CRect(0, 0, kW, kH), RGB(0, 50, 200));
    const CPixelImage before = page.image.Copy(0, 0, kW, kH);
    image.DrawTransparentBits(&page.dc, 0, 0, kW, kH, 0, 0, FALSE);
    const CPixelImage& mask = std::as_const(image.hMask);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        const bool inMask = x < mask.Width() && y < mask.Height();
        const std::uint32_t want =
            inMask ? BlendedPixel(std::as_const(image.hBitmap).Row(y)[x], std::as_const(before).Row(y)[x],
                                  mask.Row(y)[x] & 0xFFu)
                   : std::as_const(before).Row(y)[x];
        if (std::as_const(page.image).Row(y)[x] != want) {
          ADD_FAILURE() << step << " at " << x << "," << y << ": " << std::hex
                        << std::as_const(page.image).Row(y)[x] << " instead of " << want;
          return;
        }
      }
  };
  drawAndCheck("first draw");
  for (int x = 0; x < kW; ++x) image.hMask.Row(2)[x] = 0xFF000000u | static_cast<std::uint32_t>(x * 13);
  drawAndCheck("pixels written");
  image.hMask.SetPixel(4, 4, RGB(0, 0, 0));
  drawAndCheck("one pixel set");
  image.hMask.Fill(RGB(0, 0, 77));
  drawAndCheck("filled");
  {
    CImageDC maskDc(image.hMask);
    maskDc.FillSolidRect(CRect(3, 1, 9, 4), RGB(0, 0, 200));
  }
  drawAndCheck("drawn on");
  image.hMask = CPixelImage(kW - 4, kH);
  image.hMask.Fill(RGB(0, 0, 140));
  drawAndCheck("replaced by a narrower mask");
}

TEST(CImage, StoredSettingsCopiesAndFileNames) {
  CourseBuilder b;
  ImageFields fields;
  fields.fileName = "C:\\PICS\\LOGO.BMP";
  fields.flags = 0x4001;
  fields.rect[2] = 640;
  fields.keyColour = 0x00FF00FF;
  fields.maskFileName = "MASK.BMP";
  fields.offset[0] = 5;
  fields.offset[1] = 7;
  b.Image(fields);
  CMemFile file(b.bytes().data(), b.bytes().size());
  CArchive ar(file);
  CImage image;
  image.Serialize(ar);
  EXPECT_EQ(image.fileName, CString("C:\\PICS\\LOGO.BMP"));
  EXPECT_EQ(image.flags, 0x4001u);
  EXPECT_EQ(image.pictureRect, CRect(0, 0, 640, 0));
  EXPECT_EQ(image.keyColour, 0x00FF00FFu);
  EXPECT_EQ(image.maskFileName, CString("MASK.BMP"));
  EXPECT_EQ(image.offset.left.GetLiteral(), 5);
  EXPECT_EQ(image.offset.top.GetLiteral(), 7);

  image.hDib = tvn::testing::ReadDibBytes(Solid(1, 1, 0));
  CImage copy(image);
  EXPECT_EQ(copy.fileName, image.fileName);
  EXPECT_EQ(copy.offset.top.GetLiteral(), 7);
  EXPECT_TRUE(copy.hDib.empty()) << "settings only, never the picture";

  CStringArray names;
  EXPECT_TRUE(image.GetFileNames(names));
  EXPECT_EQ(names.GetSize(), 2);
  image.StripPaths(FALSE, 0x01, ".PCX");
  EXPECT_EQ(image.fileName, CString("LOGO.PCX"));
  EXPECT_EQ(image.maskFileName, CString("MASK.PCX"));
  CImage empty;
  CStringArray none;
  EXPECT_FALSE(empty.GetFileNames(none));
}
