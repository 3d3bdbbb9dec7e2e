// Reading bitmap files: header forms, every depth, run-length pixels and hostile headers.
#include "media/bmp_reader.h"

#include <gtest/gtest.h>

#include <QImage>
#include <string>

#include "media/dib.h"
#include "media/dib_decode.h"
#include "tests/media/media_test_util.h"
#include "tests/support/bmp_writer.h"

using namespace tvn::testing;
using tvn::dib::Le16;
using tvn::dib::Le32;

namespace {

const std::vector<std::uint32_t> kFourColors = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};

BmpFile Indexed(int bitCount, const std::vector<std::vector<std::uint32_t>>& rows,
                std::vector<std::uint32_t> colors) {
  BmpFile f;
  f.width = static_cast<int>(rows[0].size());
  f.height = static_cast<int>(rows.size());
  f.bitCount = bitCount;
  f.colors = std::move(colors);
  f.pixels = PackRows(rows, bitCount);
  return f;
}

}  // namespace

TEST(BmpReader, CoreHeaderIsWidenedAndPixelsKept) {
  BmpFile f = Indexed(4, {{1, 2}, {3, 15}}, {});
  f.core = true;
  for (std::uint32_t i = 0; i < 16; ++i) f.colors.push_back(i * 0x101010);
  std::vector<BYTE> dib = ReadDibBytes(f.Bytes());
  ASSERT_EQ(dib.size(), 40u + 16 * 4 + 8);
  EXPECT_EQ(Le32(dib.data()), 40u);
  EXPECT_EQ(Le32(dib.data() + 4), 2u);
  EXPECT_EQ(Le32(dib.data() + 8), 2u);
  EXPECT_EQ(Le16(dib.data() + 14), 4);
  // Colour 5 as a four-byte entry: blue, green, red, 0.
  const BYTE* entry = dib.data() + 40 + 5 * 4;
  EXPECT_EQ(entry[0], 0x50);
  EXPECT_EQ(entry[1], 0x50);
  EXPECT_EQ(entry[2], 0x50);
  EXPECT_EQ(entry[3], 0);
  EXPECT_EQ(entry[4], 0x60);  // the next entry follows at 4 bytes
  std::vector<BYTE> stored(dib.end() - 8, dib.end());
  EXPECT_EQ(stored, f.pixels);
}

TEST(BmpReader, BareDibIsReadFromTheCurrentPosition) {
  BmpFile f = Indexed(8, {{0, 1, 2}}, kFourColors);
  f.fileHeader = false;
  std::vector<std::uint8_t> bytes = {9, 9, 9};
  auto body = f.Bytes();
  bytes.insert(bytes.end(), body.begin(), body.end());
  CMemFile file(bytes.data(), bytes.size());
  file.Seek(3, CFile::begin);
  CDib dib;
  dib.hDib = CDib::ReadFromFile(file);
  EXPECT_EQ(dib.GetWidth(), 3);
  EXPECT_EQ(PixelAt(dib, 1, 0), RGB(255, 0, 0));
  EXPECT_EQ(PixelAt(dib, 2, 0), RGB(0, 255, 0));
}

// Every depth reads the same 3x2 picture: top row red, green, blue; bottom row white, black, grey.
TEST(BmpReader, EveryDepthGivesThePicture) {
  const COLORREF want[2][3] = {{RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)},
                               {RGB(255, 255, 255), RGB(0, 0, 0), RGB(128, 128, 128)}};
  const std::vector<std::uint32_t> table = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x808080};
  struct Row {
    int bitCount;
    bool topDown;
    bool core;
  };
  const Row rows[] = {{4, false, false}, {8, false, false}, {8, true, false}, {8, false, true},
                      {16, false, false}, {24, false, false}, {24, true, false}, {32, false, false}};
  for (std::size_t n = 0; n < std::size(rows); ++n) {
    const Row& r = rows[n];
    BmpFile f;
    f.width = 3;
    f.height = r.topDown ? -2 : 2;
    f.bitCount = r.bitCount;
    f.core = r.core;
    std::vector<std::vector<std::uint32_t>> values;
    if (r.bitCount <= 8) {
      f.colors = table;
      values = {{0, 1, 2}, {3, 4, 5}};
    } else if (r.bitCount == 16) {
      values = {{0x7C00, 0x03E0, 0x001F}, {0x7FFF, 0, 0x4210}};  // 0x10 widens to 0x84
    } else {
      values = {{0xFF0000, 0x00FF00, 0x0000FF}, {0xFFFFFF, 0, 0x808080}};
    }
    if (r.core) f.colors.resize(256);  // the core form always has 2^bits entries
    f.pixels = PackRows(values, r.bitCount, r.topDown);
    CDib dib = DibFrom(f.Bytes());
    ASSERT_EQ(dib.GetHeight(), 2) << "row " << n;
    CPixelImage image = dib.DibToBitmap(dib.hDib);
    ASSERT_FALSE(image.IsNull()) << "row " << n;
    for (int y = 0; y < 2; ++y) {
      for (int x = 0; x < 3; ++x) {
        COLORREF expected = want[y][x];
        if (r.bitCount == 16 && x == 2 && y == 1) expected = RGB(0x84, 0x84, 0x84);
        EXPECT_EQ(PixelAt(dib, x, y), expected) << "row " << n << " at " << x << "," << y;
        EXPECT_EQ(image.GetPixel(x, y), expected) << "row " << n << " at " << x << "," << y;
      }
    }
    // Top-down files are held bottom-up like every other DIB.
    EXPECT_GT(static_cast<LONG>(Le32(dib.hDib.data() + 8)), 0) << "row " << n;
  }
}

TEST(BmpReader, OneBitPixelsAndPixelReadEdges) {
  BmpFile f = Indexed(1, {{1, 0, 1, 1, 0, 0, 0, 0, 1}}, {0x000000, 0xFFFFFF});
  CDib dib = DibFrom(f.Bytes());
  EXPECT_EQ(PixelAt(dib, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(PixelAt(dib, 1, 0), RGB(0, 0, 0));
  EXPECT_EQ(PixelAt(dib, 8, 0), RGB(255, 255, 255));
  COLORREF c = 7;
  EXPECT_FALSE(dib.GetPixel(9, 0, c));  // x = width
  EXPECT_FALSE(dib.GetPixel(0, 1, c));  // y = height
  EXPECT_FALSE(dib.GetPixel(-1, 0, c));
  EXPECT_EQ(c, 7u);
}

TEST(BmpReader, IndexPastColoursUsedLeavesTheColour) {
  BmpFile f = Indexed(8, {{0, 3}}, {0x112233, 0x445566});
  CDib dib = DibFrom(f.Bytes());
  COLORREF c = 42;
  EXPECT_TRUE(dib.GetPixel(1, 0, c));
  EXPECT_EQ(c, 42u);
  EXPECT_TRUE(dib.GetPixel(0, 0, c));
  EXPECT_EQ(c, RGB(0x11, 0x22, 0x33));
  EXPECT_EQ(dib.DibToBitmap(dib.hDib).GetPixel(1, 0), RGB(0, 0, 0));  // drawn black
}

TEST(BmpReader, BitsOffsetIsFollowed) {
  BmpFile f = Indexed(8, {{1, 2}}, kFourColors);
  f.gap = 10;
  CDib dib = DibFrom(f.Bytes());
  EXPECT_EQ(PixelAt(dib, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(PixelAt(dib, 1, 0), RGB(0, 255, 0));
}

TEST(BmpReader, ShortPixelDataIsZeroFilled) {
  BmpFile f = Indexed(8, {{1, 1, 1, 1}, {2, 2, 2, 2}}, kFourColors);
  auto bytes = f.Bytes();
  bytes.resize(bytes.size() - 3);  // the top row, stored last, keeps only its first pixel
  CDib dib = DibFrom(bytes);
  ASSERT_EQ(dib.GetHeight(), 2);
  EXPECT_EQ(PixelAt(dib, 3, 1), RGB(0, 255, 0));  // bottom row intact
  EXPECT_EQ(PixelAt(dib, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(PixelAt(dib, 1, 0), RGB(0, 0, 0));  // missing bytes read as index 0
}

// A table of 300 entries: all of it is read past, the first 256 are kept, and
// the picture is the one its first 256 entries give, read from a file (with or
// without the file header) or handed over as a packed DIB.
TEST(BmpReader, ColourTablesPast256KeepTheFirst256) {
  std::vector<std::uint32_t> table;
  for (std::uint32_t i = 0; i < 300; ++i) table.push_back((i * 0x010305u) & 0xFFFFFF);
  auto entry = [&](std::size_t i) {
    return RGB(static_cast<BYTE>(table[i] >> 16), static_cast<BYTE>(table[i] >> 8), static_cast<BYTE>(table[i]));
  };
  struct Row {
    int bitCount;
    bool fileHeader;
  };
  const Row rows[] = {{8, true}, {8, false}, {24, true}, {24, false}};
  for (std::size_t n = 0; n < std::size(rows); ++n) {
    const Row& r = rows[n];
    BmpFile f = r.bitCount == 8 ? Indexed(8, {{0, 1, 255}, {200, 17, 128}}, table)
                                : Indexed(24, {{0xFF0000, 0x00FF00, 0x0000FF}, {0xFFFFFF, 0, 0x808080}}, table);
    f.fileHeader = r.fileHeader;
    BmpFile first256 = f;
    first256.colors.resize(256);
    first256.clrUsed = 256;

    std::vector<BYTE> wide = ReadDibBytes(f.Bytes());
    std::vector<BYTE> narrow = ReadDibBytes(first256.Bytes());
    ASSERT_FALSE(narrow.empty()) << "row " << n;
    EXPECT_EQ(wide, narrow) << "row " << n;
    ASSERT_EQ(wide.size(), 40u + 256 * 4 + f.pixels.size()) << "row " << n;
    EXPECT_EQ(Le32(wide.data() + 32), 256u) << "row " << n;  // colours used
    CDib dib;
    dib.hDib = wide;
    if (r.bitCount == 8) {
      EXPECT_EQ(PixelAt(dib, 2, 0), entry(255)) << "row " << n;
      EXPECT_EQ(PixelAt(dib, 0, 1), entry(200)) << "row " << n;
    } else {
      EXPECT_EQ(PixelAt(dib, 2, 1), RGB(0x80, 0x80, 0x80)) << "row " << n;
    }

    // The same bytes handed over as a packed DIB draw the same picture.
    if (!r.fileHeader) {
      CDib handed;
      handed.hDib = f.Bytes();
      CPixelImage image = handed.DibToBitmap(handed.hDib);
      ASSERT_FALSE(image.IsNull()) << "row " << n;
      for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
          EXPECT_EQ(image.GetPixel(x, y), PixelAt(dib, x, y)) << "row " << n << " at " << x << "," << y;
        }
      }
    }

    // Entries past the kept 256 must still be in the file.
    auto cut = f.Bytes();
    cut.resize(static_cast<std::size_t>((r.fileHeader ? 14 : 0) + 40 + 280 * 4));
    EXPECT_TRUE(ReadDibBytes(cut).empty()) << "row " << n;
  }
}

TEST(BmpReader, HostileHeadersGiveNoPicture) {
  struct Row {
    const char* what;
    void (*damage)(BmpFile&);
  };
  const Row rows[] = {
      {"bit count 3", [](BmpFile& f) { f.bitCount = 3; }},
      {"RLE8 with 4 bits", [](BmpFile& f) { f.bitCount = 4; f.compression = 1; }},
      {"bit fields", [](BmpFile& f) { f.bitCount = 16; f.compression = 3; f.colors.clear(); }},
      {"JPEG inside", [](BmpFile& f) { f.compression = 4; }},
      {"width 0", [](BmpFile& f) { f.width = 0; }},
      {"negative width", [](BmpFile& f) { f.width = -4; }},
      {"height 0", [](BmpFile& f) { f.height = 0; }},
      {"width past cap", [](BmpFile& f) { f.width = 16385; }},
      {"height past cap", [](BmpFile& f) { f.height = -16385; }},
      {"257 colours, four stored", [](BmpFile& f) { f.clrUsed = 257; }},
      {"huge colour count", [](BmpFile& f) { f.clrUsed = 0x40000000; }},
      {"bits offset past the end", [](BmpFile& f) { f.bitsOffset = 100000; }},
      {"top-down run-length", [](BmpFile& f) { f.height = -1; f.compression = 1; }},
      {"image past 256 MiB", [](BmpFile& f) { f.bitCount = 32; f.colors.clear(); f.width = 16384; f.height = 16384; }},
  };
  for (std::size_t n = 0; n < std::size(rows); ++n) {
    BmpFile f = Indexed(8, {{1, 2}}, kFourColors);
    rows[n].damage(f);
    EXPECT_TRUE(ReadDibBytes(f.Bytes()).empty()) << "row " << n << ": " << rows[n].what;
  }
  // Header sizes other than 12 and 40 (such as 108) are not read.
  auto bytes = Indexed(8, {{1}}, kFourColors).Bytes();
  bytes[14] = 108;
  EXPECT_TRUE(ReadDibBytes(bytes).empty());
}

TEST(BmpReader, EveryTruncationIsSafe) {
  BmpFile f = Indexed(4, {{1, 2, 3}, {0, 1, 2}}, kFourColors);
  auto bytes = f.Bytes();
  const std::size_t pixelStart = bytes.size() - f.pixels.size();
  for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
    std::vector<std::uint8_t> part(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut));
    std::vector<BYTE> dib = ReadDibBytes(part);
    // A short header or colour table gives nothing; from the pixels on, a zero-filled picture.
    EXPECT_EQ(dib.empty(), cut < pixelStart) << "cut at " << cut;
  }
}

TEST(BmpReader, Rle8RunsLiteralsDeltasAndClipping) {
  BmpFile f;
  f.width = 4;
  f.height = 3;
  f.bitCount = 8;
  f.compression = 1;
  f.colors = kFourColors;
  f.pixels = {
      2, 1,              // bottom row: two reds
      0, 3, 2, 3, 1, 0,  // literal run of three (odd: one pad byte)
      0, 0,              // end of line
      6, 2,              // a run of six greens: two spill past the right edge
      0, 0,              //
      0, 2, 1, 0,        // delta one to the right
      1, 3,              // one blue at x = 1 of the top row
      0, 2, 0, 9,        // delta far above the picture
      1, 1,              // lands outside: dropped
      0, 1,              // end of bitmap
      5, 1,              // never read
  };
  CDib dib = DibFrom(f.Bytes());
  CPixelImage image = dib.DibToBitmap(dib.hDib);
  ASSERT_FALSE(image.IsNull());
  const COLORREF K = RGB(0, 0, 0), R = RGB(255, 0, 0), G = RGB(0, 255, 0), B = RGB(0, 0, 255);
  const COLORREF want[3][4] = {{K, B, K, K}, {G, G, G, G}, {R, R, G, B}};
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 4; ++x) {
      EXPECT_EQ(image.GetPixel(x, y), want[y][x]) << x << "," << y;
      EXPECT_EQ(PixelAt(dib, x, y), want[y][x]) << x << "," << y;
    }
  }
}

TEST(BmpReader, Rle4StreamCutShortStopsCleanly) {
  BmpFile f;
  f.width = 5;
  f.height = 1;
  f.bitCount = 4;
  f.compression = 2;
  f.colors = kFourColors;
  f.pixels = {0, 5, 0x12, 0x31};  // literal of five nibbles needs three bytes; only two follow
  CDib dib = DibFrom(f.Bytes());
  CPixelImage image = dib.DibToBitmap(dib.hDib);
  ASSERT_FALSE(image.IsNull());
  EXPECT_EQ(image.GetPixel(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(image.GetPixel(3, 0), RGB(255, 0, 0));
  EXPECT_EQ(image.GetPixel(4, 0), RGB(0, 0, 0));
}

TEST(BmpReader, ReferenceRle4FileMatchesItsPicture) {
  std::string folder = std::string(TVN_TEST_DATA_DIR) + "/reference-courses/f_bmp4rle/";
  CFile file;
  ASSERT_TRUE(file.OpenHostPath(folder + "F_BMP4RLE.BMP", CFile::modeRead));
  CDib dib;
  dib.hDib = CDib::ReadFromFile(file);
  CPixelImage image = dib.DibToBitmap(dib.hDib);
  QImage expected(QString::fromStdString(folder + "F_BMP4RLE.expected.png"));
  ASSERT_FALSE(expected.isNull());
  ASSERT_EQ(image.Width(), expected.width());
  ASSERT_EQ(image.Height(), expected.height());
  int wrong = 0;
  for (int y = 0; y < expected.height(); ++y) {
    for (int x = 0; x < expected.width(); ++x) {
      QRgb want = expected.pixel(x, y);
      if (image.GetPixel(x, y) != RGB(qRed(want), qGreen(want), qBlue(want)) && wrong++ < 5) {
        ADD_FAILURE() << "pixel " << x << "," << y;
      }
    }
  }
  EXPECT_EQ(wrong, 0);
}
