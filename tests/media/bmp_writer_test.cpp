// Saving DIBs as bitmap files: sizes and offsets, round trips, refusals and reported failures.
#include "media/bmp_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "media/dib.h"
#include "tests/media/media_test_util.h"
#include "tests/support/bmp_writer.h"

using namespace tvn::testing;
using tvn::dib::Le16;
using tvn::dib::Le32;

namespace {

std::vector<BYTE> Written(CDib& dib) {
  CMemFile out;
  EXPECT_TRUE(dib.WriteToFile(out));
  return out.Detach();
}

}  // namespace

TEST(BmpWriter, FileSizesAndBitsOffsets) {
  struct Row {
    int bitCount;
    std::size_t fileSize;
    DWORD bitsOffset;
  };
  const Row rows[] = {{8, 1086, 1078}, {24, 78, 54}, {1, 14 + 40 + 8 + 8, 62}, {32, 14 + 40 + 24, 54}};
  for (std::size_t n = 0; n < std::size(rows); ++n) {
    CDib dib;
    dib.hDib = CDib::CreateBlankDib(rows[n].bitCount, 3, 2);
    std::vector<BYTE> file = Written(dib);
    ASSERT_EQ(file.size(), rows[n].fileSize) << "row " << n;
    EXPECT_EQ(Le16(file.data()), 0x4D42) << "row " << n;
    EXPECT_EQ(Le32(file.data() + 2), rows[n].fileSize) << "row " << n;
    EXPECT_EQ(Le32(file.data() + 6), 0u) << "row " << n;
    EXPECT_EQ(Le32(file.data() + 10), rows[n].bitsOffset) << "row " << n;
    // The computed image size is written, and put back into the DIB.
    EXPECT_EQ(Le32(file.data() + 14 + 20), rows[n].fileSize - rows[n].bitsOffset) << "row " << n;
    EXPECT_EQ(Le32(dib.hDib.data() + 20), rows[n].fileSize - rows[n].bitsOffset) << "row " << n;
  }
}

TEST(BmpWriter, RoundTripKeepsEveryByte) {
  BmpFile f;
  f.width = 5;
  f.height = 3;
  f.bitCount = 4;
  f.colors = {0x102030, 0x405060, 0x708090};
  f.pixels = PackRows({{0, 1, 2, 1, 0}, {2, 2, 2, 2, 2}, {1, 0, 1, 0, 1}}, 4);
  CDib dib = DibFrom(f.Bytes());
  ASSERT_FALSE(dib.hDib.empty());
  std::vector<BYTE> file = Written(dib);
  EXPECT_EQ(file, f.Bytes());
  CDib again = DibFrom(file);
  EXPECT_EQ(again.hDib, dib.hDib);
}

TEST(BmpWriter, RunLengthKeepsItsStoredSize) {
  BmpFile f;
  f.width = 4;
  f.height = 1;
  f.bitCount = 8;
  f.compression = 1;
  f.colors = {0, 0xFFFFFF};
  f.pixels = {4, 1, 0, 1};
  CDib dib = DibFrom(f.Bytes());
  std::vector<BYTE> file = Written(dib);
  EXPECT_EQ(Le32(file.data() + 14 + 20), 4u);
  EXPECT_EQ(file.size(), 14u + 40 + 8 + 4);
}

TEST(BmpWriter, CoreFormAndEmptyDibAreNotWritten) {
  CDib dib;
  CMemFile out;
  EXPECT_FALSE(dib.WriteToFile(out));
  // A core-form DIB handed in from elsewhere.
  dib.hDib = {12, 0, 0, 0, 1, 0, 1, 0, 1, 0, 24, 0, 1, 2, 3, 0};
  EXPECT_FALSE(dib.WriteToFile(out));
  EXPECT_EQ(out.GetLength(), 0u);
}

TEST(BmpWriter, SaveAndLoadThroughFilesReportFailures) {
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / "tvn_bmp_writer_test";
  fs::create_directories(dir);
  CString name = (dir / "pic.bmp").string().c_str();
  std::vector<UINT> reported;
  FileErrorReport report = [&](const CString&, const CException&, BOOL, UINT id) { reported.push_back(id); };

  CDib dib;
  dib.hDib = CDib::CreateBlankDib(8, 3, 2);
  EXPECT_TRUE(dib.SaveFile(name, report));
  EXPECT_EQ(CDib::CheckFile(name), TRUE);
  std::vector<BYTE> loaded = CDib::LoadFile(name, report);
  ASSERT_EQ(loaded.size(), dib.hDib.size());
  EXPECT_EQ(Le32(loaded.data() + 32), 256u);  // colours used is filled in when read
  loaded[33] = 0;
  EXPECT_EQ(loaded, dib.hDib);

  CString missing = (dir / "none" / "pic.bmp").string().c_str();
  EXPECT_FALSE(dib.SaveFile(missing, report));
  EXPECT_TRUE(CDib::LoadFile(missing, report).empty());  // not reported
  EXPECT_THROW(CDib::CheckFile(missing), CFileException);
  EXPECT_EQ(reported, std::vector<UINT>{kMsgCannotCreateFile});
  fs::remove_all(dir);
}
