// Palettes as data: the fixed palettes, palettes from pictures and files, remapping and format changes.
#include "media/palette.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "media/dib.h"
#include "tests/media/media_test_util.h"
#include "tests/support/bmp_writer.h"

using namespace tvn::testing;
using tvn::dib::Le16;
using tvn::dib::Le32;

namespace {

std::vector<std::uint32_t> Grey(int n) {
  std::vector<std::uint32_t> colors;
  for (int i = 0; i < n; ++i) colors.push_back(static_cast<std::uint32_t>(i) * 0x010101);
  return colors;
}

BmpFile EightBit(std::vector<std::uint32_t> colors, std::vector<std::vector<std::uint32_t>> rows) {
  BmpFile f;
  f.width = static_cast<int>(rows[0].size());
  f.height = static_cast<int>(rows.size());
  f.bitCount = 8;
  f.colors = std::move(colors);
  f.pixels = PackRows(rows, 8);
  return f;
}

}  // namespace

TEST(Palette, CubeLevelsAndOrder) {
  CDib dib;
  PaletteHandle cube = dib.CreateCubePalette();
  ASSERT_EQ(cube->GetEntryCount(), 216);
  const BYTE levels[] = {0, 42, 85, 127, 170, 212};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(cube->Entries()[static_cast<std::size_t>(i)].blue, levels[i]);
  EXPECT_EQ(cube->Entries()[6].green, 42);   // green is the middle loop
  EXPECT_EQ(cube->Entries()[36].red, 42);    // red the outer
  EXPECT_EQ(cube->Entries()[215], (PaletteEntry{212, 212, 212, 0}));
  EXPECT_EQ(dib.hPalette, cube);
}

TEST(Palette, FadeStepsAndEmptyFade) {
  CDib dib;
  PaletteHandle fade = dib.CreateFadePalette(RGB(0, 0, 0), RGB(255, 255, 255), 4);
  ASSERT_EQ(fade->GetEntryCount(), 4);
  const BYTE want[] = {0, 63, 126, 189};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(fade->Entries()[i], (PaletteEntry{want[i], want[i], want[i], PC_NOCOLLAPSE})) << i;
  }
  // Downwards: the step is negative.
  PaletteHandle down = dib.CreateFadePalette(RGB(200, 0, 10), RGB(0, 100, 10), 3);
  EXPECT_EQ(down->Entries()[2], (PaletteEntry{68, 66, 10, PC_NOCOLLAPSE}));
  EXPECT_EQ(dib.CreateFadePalette(0, RGB(255, 255, 255), 0), nullptr);
  EXPECT_EQ(dib.hPalette, down);  // a refused fade leaves the palette alone
}

TEST(Palette, ComparisonIgnoresFlags) {
  CDib dib;
  auto a = std::make_shared<CLogPalette>(std::vector<PaletteEntry>{{1, 2, 3, 0}, {4, 5, 6, 0}});
  auto b = std::make_shared<CLogPalette>(std::vector<PaletteEntry>{{1, 2, 3, PC_NOCOLLAPSE}, {4, 5, 6, 1}});
  auto c = std::make_shared<CLogPalette>(std::vector<PaletteEntry>{{1, 2, 3, 0}});
  auto d = std::make_shared<CLogPalette>(std::vector<PaletteEntry>{{1, 2, 3, 0}, {4, 5, 7, 0}});
  EXPECT_TRUE(dib.ComparePalettes(a, b));
  EXPECT_FALSE(dib.ComparePalettes(a, c));
  EXPECT_FALSE(dib.ComparePalettes(a, d));
  EXPECT_FALSE(dib.ComparePalettes(a));  // no hPalette to compare with
  EXPECT_TRUE(dib.ComparePalettes(nullptr));  // none on either side: unchanged
  dib.AttachPalette(a);
  EXPECT_TRUE(dib.ComparePalettes(a));
  EXPECT_TRUE(dib.ComparePalettes(b));
  EXPECT_FALSE(dib.ComparePalettes(nullptr));
}

TEST(Palette, SetFlagsRanges) {
  CDib dib;
  EXPECT_FALSE(dib.SetPaletteFlags(0, -1, 1));
  dib.CreateCubePalette();
  EXPECT_TRUE(dib.SetPaletteFlags(210, 100, PC_NOCOLLAPSE));  // cut at the end
  EXPECT_EQ(dib.hPalette->Entries()[209].flags, 0);
  EXPECT_EQ(dib.hPalette->Entries()[215].flags, PC_NOCOLLAPSE);
  EXPECT_TRUE(dib.SetPaletteFlags(0, -1, 1));
  EXPECT_EQ(dib.hPalette->Entries()[100].flags, 1);
  EXPECT_FALSE(dib.SetPaletteFlags(-1, 2, 0));
  EXPECT_FALSE(dib.SetPaletteFlags(300, 2, 0));
}

TEST(Palette, FromPicturesByDepth) {
  CDib dib;
  // Four bits or fewer: no palette.
  BmpFile four;
  four.width = 2;
  four.bitCount = 4;
  four.colors = Grey(16);
  four.pixels = PackRows({{1, 2}}, 4);
  EXPECT_EQ(dib.SetPaletteFromDib(ReadDibBytes(four.Bytes()), FALSE), nullptr);
  // 24 bits: the colour cube.
  PaletteHandle cube = dib.SetPaletteFromDib(CDib::CreateBlankDib(24, 2, 2), FALSE);
  ASSERT_TRUE(cube);
  EXPECT_EQ(cube->GetEntryCount(), 216);
  // 16 bits without colours: none.
  EXPECT_EQ(dib.SetPaletteFromDib(CDib::CreateBlankDib(16, 2, 2), FALSE), nullptr);
  EXPECT_FALSE(dib.hPalette);
  // 8 bits: one entry per colour of the table.
  std::vector<BYTE> eight = ReadDibBytes(EightBit({0x112233, 0x445566, 0x778899}, {{0, 1, 2}}).Bytes());
  PaletteHandle plain = dib.SetPaletteFromDib(eight, FALSE);
  ASSERT_EQ(plain->GetEntryCount(), 3);
  EXPECT_EQ(plain->Entries()[2], (PaletteEntry{0x77, 0x88, 0x99, PC_NOCOLLAPSE}));
}

TEST(Palette, IdentityKeepsStaticColoursAtBothEnds) {
  CDib dib;
  std::vector<BYTE> eight = ReadDibBytes(EightBit({0x112233, 0x445566}, {{0, 1}}).Bytes());
  CLogPalette presentation(std::vector<PaletteEntry>(256, PaletteEntry{9, 9, 9, 0}));
  PaletteHandle identity = dib.CreateIdentityPalette(eight, &presentation, 20);
  ASSERT_EQ(identity->GetEntryCount(), 256);
  EXPECT_EQ(identity->Entries()[9], (PaletteEntry{9, 9, 9, 0}));
  EXPECT_EQ(identity->Entries()[10], (PaletteEntry{0x11, 0x22, 0x33, PC_NOCOLLAPSE}));
  EXPECT_EQ(identity->Entries()[11], (PaletteEntry{0x44, 0x55, 0x66, PC_NOCOLLAPSE}));
  EXPECT_EQ(identity->Entries()[12], (PaletteEntry{9, 9, 9, PC_NOCOLLAPSE}));
  EXPECT_EQ(identity->Entries()[245].flags, PC_NOCOLLAPSE);
  EXPECT_EQ(identity->Entries()[246].flags, 0);
  // The true-colour display has no static colours: the picture's colours start at 0.
  PaletteHandle own = dib.SetPaletteFromDib(eight, TRUE);
  EXPECT_EQ(own->Entries()[0], (PaletteEntry{0x11, 0x22, 0x33, PC_NOCOLLAPSE}));
  EXPECT_EQ(own->Entries()[255], (PaletteEntry{0, 0, 0, PC_NOCOLLAPSE}));
}

TEST(Palette, MapToPaletteRewritesPixelsAndTable) {
  const CLogPalette target(std::vector<PaletteEntry>{{0, 0, 0, 0}, {250, 0, 0, 0}, {0, 0, 250, 0}});
  // Plain 8 bits: red-ish becomes 1, blue-ish 2.
  CDib eight = DibFrom(EightBit({0x0000F0, 0xF00000, 0x101010}, {{0, 1, 2, 1}}).Bytes());
  ASSERT_TRUE(eight.MapToPalette(target));
  EXPECT_EQ(PixelAt(eight, 0, 0), RGB(0, 0, 250));
  EXPECT_EQ(PixelAt(eight, 1, 0), RGB(250, 0, 0));
  EXPECT_EQ(PixelAt(eight, 2, 0), RGB(0, 0, 0));
  EXPECT_EQ(eight.LockPixel(0, 0)[0], 2);

  // Run-length 8 bits: encoded colours and literal bytes are mapped, escapes stepped over.
  BmpFile rle = EightBit({0x0000F0, 0xF00000, 0x101010}, {{0}});
  rle.width = 4;
  rle.compression = 1;
  rle.pixels = {0, 2, 1, 0, 1, 0, 0, 3, 1, 0, 1, 0, 0, 1};  // delta, run of one, literal of three, end
  CDib runs = DibFrom(rle.Bytes());
  ASSERT_TRUE(runs.MapToPalette(target));
  EXPECT_EQ(PixelAt(runs, 1, 0), RGB(0, 0, 250));
  EXPECT_EQ(PixelAt(runs, 2, 0), RGB(250, 0, 0));
  EXPECT_EQ(PixelAt(runs, 3, 0), RGB(0, 0, 250));
  EXPECT_EQ(runs.hDib.back(), 1);  // end of bitmap untouched

  // Four bits, nibble by nibble, with nearest colours only among kept entries.
  BmpFile nibbles;
  nibbles.width = 3;
  nibbles.bitCount = 4;
  nibbles.colors = {0xF00000, 0x0000F0};
  nibbles.pixels = PackRows({{1, 0, 1}}, 4);
  CDib four = DibFrom(nibbles.Bytes());
  ASSERT_TRUE(four.MapToPalette(target));  // two colours: the table keeps entries 0 and 1
  EXPECT_EQ(PixelAt(four, 0, 0), RGB(0, 0, 0));
  EXPECT_EQ(PixelAt(four, 1, 0), RGB(250, 0, 0));

  CDib deep;
  deep.hDib = CDib::CreateBlankDib(24, 2, 2);
  EXPECT_FALSE(deep.MapToPalette(target));
  CDib none;
  EXPECT_FALSE(none.MapToPalette(target));
}

TEST(Palette, SetColorTableAndIndexedDibs) {
  CDib dib;
  dib.hDib = CDib::CreateBlankDib(8, 2, 1);
  dib.hPalette = std::make_shared<CLogPalette>(std::vector<PaletteEntry>{{10, 20, 30, 0}});
  ASSERT_TRUE(dib.SetColorTable(tvn::dib::kRgbColors));
  EXPECT_EQ(Le32(dib.hDib.data() + 40), 0x0A141Eu);
  EXPECT_EQ(Le32(dib.hDib.data() + 44), 0x800000u);  // past the palette: unchanged
  ASSERT_TRUE(dib.SetColorTable(tvn::dib::kPalColors));
  EXPECT_EQ(Le16(dib.hDib.data() + 40 + 2 * 7), 7);
  // Indices through the palette when drawn.
  EXPECT_EQ(dib.DibToBitmap(dib.hDib, tvn::dib::kPalColors).GetPixel(0, 0), RGB(10, 20, 30));

  CPixelImage image(3, 1);
  image.SetPixel(0, 0, RGB(250, 0, 0));
  image.SetPixel(1, 0, RGB(0, 0, 250));
  CLogPalette two(std::vector<PaletteEntry>{{0, 0, 255, 0}, {255, 0, 0, 0}});
  std::vector<BYTE> indexed = CDib::BitmapToIndexedDib(image, 0, &two);
  ASSERT_FALSE(indexed.empty());
  EXPECT_EQ(Le16(indexed.data() + 14), 4);  // two entries: 4 bits
  EXPECT_EQ(Le32(indexed.data() + 32), 2u);
  EXPECT_EQ(indexed[40 + 8], 0x10);  // red -> 1, blue -> 0
  EXPECT_EQ(Le16(CDib::BitmapToIndexedDib(image, 0, nullptr).data() + 14), 8);  // 20 system colours
}

TEST(Palette, ChangeFormatAndFromBitmap) {
  CDib dib;
  EXPECT_TRUE(dib.ChangeFormat(0, 24, 0).empty());
  dib.hDib = ReadDibBytes(EightBit({0xFF0000, 0x00FF00}, {{0, 1, 1, 1, 1, 0}}).Bytes());
  std::vector<BYTE> same = dib.ChangeFormat(0, 8, 0);
  EXPECT_EQ(same, dib.hDib);
  std::vector<BYTE> runs = dib.ChangeFormat(1, 8, 0);
  ASSERT_FALSE(runs.empty());
  EXPECT_EQ(Le32(dib.hDib.data() + 16), 1u);
  EXPECT_FALSE(dib.hPalette);  // the identity palette was only borrowed
  EXPECT_EQ(PixelAt(dib, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(PixelAt(dib, 3, 0), RGB(0, 255, 0));
  EXPECT_EQ(PixelAt(dib, 5, 0), RGB(255, 0, 0));
  dib.ChangeFormat(0, 16, 0);
  EXPECT_EQ(PixelAt(dib, 1, 0), RGB(0, 255, 0));

  CPixelImage image(2, 2);
  image.Fill(RGB(255, 255, 255));
  EXPECT_FALSE(dib.FromBitmap(image, 0, 0, nullptr, 0).empty());
  EXPECT_EQ(Le16(dib.hDib.data() + 14), 32);  // bit count 0: the bitmap's own
  EXPECT_TRUE(dib.FromBitmap(CPixelImage(), 0, 8, nullptr, 0).empty());
}

TEST(Palette, LoadPaletteFileByName) {
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / "tvn_palette_test";
  fs::create_directories(dir);
  auto write = [&](const char* name, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                       static_cast<std::streamsize>(bytes.size()));
    return CString((dir / name).string());
  };
  std::vector<UINT> reported;
  FileErrorReport report = [&](const CString&, const CException&, BOOL, UINT id) { reported.push_back(id); };

  CDib dib;
  PaletteHandle riff = dib.LoadPaletteFile(write("SKY.RDI", PalFile({0x102030, 0x405060})), report);
  ASSERT_TRUE(riff);
  EXPECT_EQ(riff->Entries()[1], (PaletteEntry{0x40, 0x50, 0x60, 0}));
  EXPECT_EQ(dib.LoadPaletteFile(write("EMPTY.PAL", PalFile({})), report), nullptr);
  EXPECT_EQ(dib.hPalette, riff);  // kept, but not handed out as the file's

  // Anything else is a bitmap: its colour table gives the palette.
  CDib fromBmp;
  PaletteHandle table = fromBmp.LoadPaletteFile(write("pic.bmp", EightBit(Grey(256), {{1}}).Bytes()), report);
  ASSERT_TRUE(table);
  EXPECT_EQ(table->GetEntryCount(), 256);
  EXPECT_EQ(table->Entries()[7].red, 7);
  CDib tooFew;
  BmpFile four;
  four.width = 1;
  four.bitCount = 4;
  four.colors = Grey(16);
  four.pixels = {0, 0, 0, 0};
  EXPECT_EQ(tooFew.LoadPaletteFile(write("four.bmp", four.Bytes()), report), nullptr);
  CDib cube;
  BmpFile trueColour;  // 1x1, 24 bits
  trueColour.pixels = {0, 0, 0, 0};
  PaletteHandle fromTrue = cube.LoadPaletteFile(write("true.bmp", trueColour.Bytes()), report);
  ASSERT_TRUE(fromTrue);
  EXPECT_EQ(fromTrue->GetEntryCount(), 216);
  // A lower-case ".pal" is not a RIFF name: read as a bitmap, it is none.
  EXPECT_EQ(dib.LoadPaletteFile(write("low.pal", PalFile({0x102030})), report), nullptr);
  EXPECT_TRUE(reported.empty());
  EXPECT_EQ(dib.LoadPaletteFile(CString((dir / "missing.PAL").string()), report), nullptr);
  EXPECT_EQ(reported, std::vector<UINT>{kMsgCannotReadFile});
  fs::remove_all(dir);
}
