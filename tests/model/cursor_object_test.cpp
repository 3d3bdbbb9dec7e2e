// Cursor files and cursor objects.
#include "model/cursor_object.h"

#include <gtest/gtest.h>

#include "model/data_file.h"
#include "model/data_mem_file.h"
#include "platform/base/host_path.h"
#include "tests/support/archive_writer.h"
#include "tests/support/packed_file_builder.h"
#include "tests/support/temp_dir.h"

using tvn::testing::ArchiveWriter;

namespace {

// One cursor image: colour indexes (or 0x00RRGGBB / 0xAARRGGBB values for 24
// and 32 bits) and mask bits, top row first; stored bottom-up.
struct CursorLayout {
  int width;
  int height;
  int bits;
  int hotX;
  int hotY;
  std::vector<std::uint32_t> palette;  // 0x00RRGGBB
  std::vector<std::uint32_t> pixels;
  std::vector<int> mask;
};

std::vector<std::uint8_t> ImageBytes(const CursorLayout& c) {
  ArchiveWriter w;
  w.Dword(40).Int(c.width).Int(c.height * 2).Word(1).Word(static_cast<std::uint16_t>(c.bits)).Dword(0).Dword(0);
  w.Int(0).Int(0).Dword(static_cast<std::uint32_t>(c.palette.size())).Dword(0);
  for (std::uint32_t p : c.palette) w.Dword(p);
  std::size_t colorStride = ((static_cast<std::size_t>(c.width) * c.bits + 31) / 32) * 4;
  std::size_t maskStride = ((static_cast<std::size_t>(c.width) + 31) / 32) * 4;
  for (int y = c.height - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(colorStride, 0);
    for (int x = 0; x < c.width; ++x) {
      std::uint32_t v = c.pixels[static_cast<std::size_t>(y * c.width + x)];
      auto ux = static_cast<std::size_t>(x);
      if (c.bits == 32) {
        for (int b = 0; b < 4; ++b) row[ux * 4 + static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(v >> (8 * b));
      } else if (c.bits == 24) {
        for (int b = 0; b < 3; ++b) row[ux * 3 + static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(v >> (8 * b));
      } else {
        std::size_t bit = ux * static_cast<std::size_t>(c.bits);
        row[bit / 8] |= static_cast<std::uint8_t>(v << (8 - c.bits - bit % 8));
      }
    }
    w.Raw(row.data(), row.size());
  }
  for (int y = c.height - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(maskStride, 0);
    for (int x = 0; x < c.width; ++x) {
      if (c.mask[static_cast<std::size_t>(y * c.width + x)]) row[static_cast<std::size_t>(x) / 8] |= 0x80 >> (x % 8);
    }
    w.Raw(row.data(), row.size());
  }
  return w.bytes();
}

std::vector<std::uint8_t> CursorFile(const std::vector<CursorLayout>& images) {
  ArchiveWriter w;
  w.Word(0).Word(2).Word(static_cast<std::uint16_t>(images.size()));
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
  std::vector<std::vector<std::uint8_t>> data;
  for (const CursorLayout& c : images) {
    data.push_back(ImageBytes(c));
    w.Byte(static_cast<std::uint8_t>(c.width)).Byte(static_cast<std::uint8_t>(c.height)).Byte(0).Byte(0);
    w.Word(static_cast<std::uint16_t>(c.hotX)).Word(static_cast<std::uint16_t>(c.hotY));
    w.Dword(static_cast<std::uint32_t>(data.back().size())).Dword(offset);
    offset += static_cast<std::uint32_t>(data.back().size());
  }
  for (const auto& d : data) w.Raw(d.data(), d.size());
  return w.bytes();
}

// A 3 by 2 one-bit cursor: black, white, masked; white, masked black, masked white (inverting).
CursorLayout OneBit() {
  return CursorLayout{3, 2, 1, 1, 1, {0x000000, 0xFFFFFF}, {0, 1, 0, 1, 0, 1}, {0, 0, 1, 0, 1, 1}};
}

}  // namespace

TEST(CursorFile, OneBitImageWithMaskAndHotSpot) {
  auto image = ReadCursorFile(CursorFile({OneBit()}));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 3);
  EXPECT_EQ(image->height, 2);
  EXPECT_EQ(image->hotX, 1);
  EXPECT_EQ(image->hotY, 1);
  std::vector<std::uint32_t> expected = {0xFF000000, 0xFFFFFFFF, 0x00000000, 0xFFFFFFFF, 0x00000000, 0xFF000000};
  EXPECT_EQ(image->argb, expected);
}

TEST(CursorFile, ColourDepthsAndTheImageNearestThirtyTwo) {
  CursorLayout four{2, 1, 4, 0, 0, {0x112233, 0x445566, 0x778899}, {2, 1}, {0, 0}};
  CursorLayout true24{2, 1, 24, 0, 0, {}, {0x0A0B0C, 0x0D0E0F}, {0, 1}};
  CursorLayout alpha32{2, 1, 32, 0, 0, {}, {0x80102030, 0x00000000}, {1, 0}};
  auto a = ReadCursorFile(CursorFile({four}));
  ASSERT_TRUE(a);
  EXPECT_EQ(a->argb, (std::vector<std::uint32_t>{0xFF778899, 0xFF445566}));
  auto b = ReadCursorFile(CursorFile({true24}));
  ASSERT_TRUE(b);
  EXPECT_EQ(b->argb, (std::vector<std::uint32_t>{0xFF0A0B0C, 0xFF000000}));
  auto c = ReadCursorFile(CursorFile({alpha32}));
  ASSERT_TRUE(c);
  EXPECT_EQ(c->argb, (std::vector<std::uint32_t>{0x80102030, 0x00000000}));

  std::vector<std::uint32_t> big(32 * 32, 1);
  std::vector<int> bigMask(32 * 32, 0);
  CursorLayout thirtyTwo{32, 32, 1, 5, 6, {0, 0xFFFFFF}, big, bigMask};
  auto chosen = ReadCursorFile(CursorFile({four, thirtyTwo}));
  ASSERT_TRUE(chosen);
  EXPECT_EQ(chosen->width, 32);
  EXPECT_EQ(chosen->hotX, 5);
}

TEST(CursorFile, DamagedFilesGiveNothing) {
  std::vector<std::uint8_t> good = CursorFile({OneBit()});
  for (std::size_t cut = 0; cut < good.size(); ++cut) {
    std::vector<std::uint8_t> part(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
    EXPECT_FALSE(ReadCursorFile(part)) << "cut at " << cut;
  }
  auto patched = [&](std::size_t at, std::uint8_t value) {
    std::vector<std::uint8_t> bytes = good;
    bytes[at] = value;
    return bytes;
  };
  EXPECT_FALSE(ReadCursorFile(patched(2, 1))) << "an icon file, not a cursor";
  EXPECT_FALSE(ReadCursorFile(patched(4, 0xFF))) << "more entries than the file holds";
  EXPECT_FALSE(ReadCursorFile(patched(4, 0))) << "no entries";
  EXPECT_FALSE(ReadCursorFile(patched(6 + 15, 0x80))) << "image offset far beyond the file";
  EXPECT_FALSE(ReadCursorFile(patched(6 + 11, 0x7F))) << "image size beyond the file";
  EXPECT_FALSE(ReadCursorFile(patched(22 + 14, 7))) << "seven bits per pixel";
  EXPECT_FALSE(ReadCursorFile(patched(22 + 16, 1))) << "compressed";
  EXPECT_FALSE(ReadCursorFile(patched(22 + 7, 0x40))) << "absurd width";
  EXPECT_FALSE(ReadCursorFile(patched(22 + 32, 200))) << "more palette colours than bits allow";
}

TEST(CursorObject, LoadKeepsTheNameAndAFailureLeavesNoCursor) {
  tvn::testing::TempDir dir;
  tvn::testing::WriteBytes(dir / "arrow.cur", CursorFile({OneBit()}));
  tvn::testing::WriteBytes(dir / "bad.cur", {0, 0, 2, 0});
  CString good = tvn::path::HostPathToText(dir / "arrow.cur");
  CCursorObject cursor;
  ASSERT_TRUE(cursor.Load(good));
  ASSERT_NE(cursor.GetCursor(), nullptr);
  EXPECT_EQ(cursor.GetFileName(), good);
  EXPECT_FALSE(cursor.Load(tvn::path::HostPathToText(dir / "bad.cur")));
  EXPECT_EQ(cursor.GetCursor(), nullptr);
  EXPECT_TRUE(cursor.GetFileName().IsEmpty());
  EXPECT_FALSE(cursor.Load(tvn::path::HostPathToText(dir / "missing.cur")));
  // A cursor packed with the course reads through its entry.
  tvn::testing::PackedFileBuilder packed;
  packed.Add("other.bin", "xyz").Add("ARROW.CUR", CursorFile({OneBit()})).Add("tail.bin", "tail");
  packed.WriteTo(dir / "pack.dat");
  CDataFile data;
  ASSERT_TRUE(data.Open(tvn::path::HostPathToText(dir / "pack.dat")));
  CDataMemFile entry(&data);
  ASSERT_TRUE(entry.Open("arrow.cur", CFile::modeRead));
  ASSERT_TRUE(cursor.LoadFromFile(entry, "arrow.cur"));
  EXPECT_EQ(cursor.GetCursor()->width, 3);
  ASSERT_TRUE(cursor.Load(good));
  cursor.Release();
  EXPECT_EQ(cursor.GetCursor(), nullptr);
  EXPECT_TRUE(cursor.GetFileName().IsEmpty());
}
