// Metafiles: reading both forms and their failures, mapping onto a rectangle, and the record player.
#include "media/metafile.h"

#include <gtest/gtest.h>

#include "model/data_file.h"
#include "model/string_table.h"
#include "tests/media/image_test_util.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wmf_writer.h"

using namespace tvn::testing;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// A red brush and a red pen in slots 0 and 1, selected.
WmfWriter RedPainter() {
  WmfWriter w;
  w.CreateBrush(kRed).CreatePen(0, 0, kRed).Select(0).Select(1);
  return w;
}

MetaFileHandle ReadBytes(RecordingEnvironment& r, const std::vector<std::uint8_t>& bytes, CRect& box) {
  CMemFile file(bytes.data(), bytes.size());
  CMetaFilePicture picture(r.env);
  return picture.Read(file, box);
}

}  // namespace

TEST(MetaFile, PlaceableRectangleFillsTheTargetExactly) {
  RecordingEnvironment r;
  CRect box;
  const auto wmf = ReadBytes(r, RedPainter().Rectangle(0, 0, 1000, 500).Placeable(0, 0, 1000, 500), box);
  ASSERT_TRUE(wmf);
  EXPECT_EQ(box, CRect(0, 0, 1000, 500));

  Page page(300, 200);
  CMetaFilePicture(r.env).Draw(&page.dc, wmf, CRect(50, 50, 250, 150), box);
  for (auto [x, y] : {std::pair{50, 50}, {249, 50}, {50, 149}, {249, 149}, {150, 100}})
    EXPECT_EQ(page.At(x, y), kRed) << x << "," << y;
  for (auto [x, y] : {std::pair{49, 50}, {250, 50}, {50, 49}, {50, 150}, {249, 150}})
    EXPECT_EQ(page.At(x, y), kWhite) << x << "," << y;
  EXPECT_TRUE(r.sink.boxes.empty());
}

TEST(MetaFile, BoxNotAtTheOriginUsesItsRightAndBottomAsExtent) {
  RecordingEnvironment r;
  CRect box;
  const auto wmf = ReadBytes(r, RedPainter().Rectangle(100, 100, 250, 250).Placeable(100, 100, 300, 300), box);
  ASSERT_TRUE(wmf);
  Page page(320, 320);
  CMetaFilePicture(r.env).Draw(&page.dc, wmf, CRect(0, 0, 300, 300), box);
  // Window origin 100,100 with extent 300 x 300: logical 250 lands on device 150.
  EXPECT_EQ(page.At(0, 0), kRed);
  EXPECT_EQ(page.At(149, 149), kRed);
  EXPECT_EQ(page.At(150, 150), kWhite);
}

TEST(MetaFile, PlainFileWithItsOwnWindowFromThePackedDataFile) {
  TempDir dir;
  WmfWriter w = RedPainter();
  w.WindowOrg(0, 0).WindowExt(100, 100).Rectangle(0, 0, 50, 100);
  PackedFileBuilder().Add("LOGO.WMF", w.Plain()).WriteTo(dir.path() / "pack.dat");
  RecordingEnvironment r;
  CDataFile data(&r.reporter);
  ASSERT_TRUE(data.Open(Text(dir.path() / "pack.dat")));
  r.env.dataFile = &data;

  CMetaFilePicture picture(r.env);
  CRect box(1, 2, 3, 4);
  const auto wmf = picture.Load("logo.wmf", box);
  ASSERT_TRUE(wmf);
  EXPECT_EQ(box, CRect(1, 2, 3, 4)) << "a plain file has no box to give";
  Page page(200, 100);
  picture.Draw(&page.dc, wmf, CRect(0, 0, 200, 100), CRect());
  EXPECT_EQ(page.At(99, 50), kRed);
  EXPECT_EQ(page.At(100, 50), kWhite);
  // Nothing was left behind in the folder.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(MetaFile, DamagedFilesGiveNoPictureAndTheirMessages) {
  const std::vector<std::uint8_t> good = RedPainter().Rectangle(0, 0, 10, 10).Placeable(0, 0, 10, 10);
  std::vector<std::uint8_t> type3 = good;
  type3[22] = 3;
  std::vector<std::uint8_t> truncated = good;
  truncated.resize(good.size() - 4);
  std::vector<std::uint8_t> plainTruncated = RedPainter().Rectangle(0, 0, 10, 10).Plain();
  plainTruncated.resize(30);
  const std::vector<std::uint8_t> shortPlaceable(good.begin(), good.begin() + 10);
  std::vector<std::uint8_t> plainType0 = RedPainter().Plain();
  plainType0[0] = 0;

  struct Row {
    std::vector<std::uint8_t> bytes;
    std::vector<std::string> messages;
  };
  const std::string notMeta = "This file is not a valid metafile", unreadable = "Unable to read metafile";
  const Row rows[] = {
      {{0xD7, 0xCD, 0xC6}, {}},
      {{}, {}},
      {type3, {notMeta}},
      {plainType0, {notMeta}},
      {truncated, {unreadable}},
      {plainTruncated, {unreadable}},
      {shortPlaceable, {unreadable, notMeta}},
  };
  int n = 0;
  for (const Row& row : rows) {
    RecordingEnvironment r;
    CRect box;
    EXPECT_FALSE(ReadBytes(r, row.bytes, box)) << "row " << n;
    EXPECT_EQ(r.Texts(), row.messages) << "row " << n;
    for (UINT beep : r.sink.beeps) EXPECT_NE(beep, 0u) << "row " << n;
    ++n;
  }
}

TEST(MetaFile, MissingFileGivesNothingWithoutAMessage) {
  TempDir dir;
  RecordingEnvironment r;
  CRect box;
  EXPECT_FALSE(CMetaFilePicture(r.env).Load(Text(dir.path() / "none.wmf"), box));
  EXPECT_TRUE(r.sink.boxes.empty());
}

TEST(MetaFilePlayer, UnknownRecordsAreSkippedAndDamagedSizesStopPlayback) {
  RecordingEnvironment r;
  auto play = [&](WmfWriter w, bool& sound) {
    CRect box;
    const auto wmf = ReadBytes(r, w.Plain(), box);
    Page page(20, 20);
    sound = wmf ? PlayMetaFileRecords(page.dc, *wmf) : FALSE;
    return page.At(5, 5);
  };
  bool sound = false;
  WmfWriter unknown = RedPainter();
  unknown.Record(0x0999, {1, 2, 3, 4, 5}).Rectangle(0, 0, 10, 10);
  EXPECT_EQ(play(unknown, sound), kRed);
  EXPECT_TRUE(sound);

  WmfWriter zero = RedPainter();
  zero.RawRecord(0, 0x0999, {}).Rectangle(0, 0, 10, 10);
  EXPECT_EQ(play(zero, sound), kWhite);
  EXPECT_FALSE(sound);

  WmfWriter pastEnd = RedPainter();
  pastEnd.RawRecord(0x7FFFFFFF, 0x041B, {10, 10, 0, 0});
  EXPECT_EQ(play(pastEnd, sound), kWhite);
  EXPECT_FALSE(sound);
}

TEST(MetaFilePlayer, SaveAndRestoreBringBackTheBrushAndObjectsKeepTheirSlots) {
  RecordingEnvironment r;
  WmfWriter w;
  w.CreatePen(5, 0, 0)  // slot 0: null pen
      .Select(0)
      .Record(0x001E, {})         // SaveDC
      .CreateBrush(kRed)          // slot 1
      .Select(1)
      .Record(0x0127, {0xFFFF})   // RestoreDC(-1): the white stock brush again
      .Rectangle(0, 0, 10, 10)
      .Record(0x01F0, {1})        // DeleteObject(1) frees slot 1 ...
      .CreateBrush(RGB(0, 0, 255))  // ... which the next object takes
      .Select(1)
      .Rectangle(10, 0, 20, 10);
  CRect box;
  const auto wmf = ReadBytes(r, w.Plain(), box);
  ASSERT_TRUE(wmf);
  Page page(20, 10);
  page.dc.FillSolidRect(CRect(0, 0, 20, 10), RGB(0, 255, 0));
  EXPECT_TRUE(PlayMetaFileRecords(page.dc, *wmf));
  EXPECT_EQ(page.At(5, 5), kWhite);
  EXPECT_EQ(page.At(15, 5), RGB(0, 0, 255));
}

TEST(MetaFilePlayer, DibRecordsDrawTheirPictureStretched) {
  // StretchDIBits of a 2 x 1 24-bit DIB (blue, red) onto 0,0 20 x 10.
  std::vector<std::uint16_t> params = {0x0020, 0x00CC,  // SRCCOPY
                                       0,               // colour usage
                                       1, 2, 0, 0,      // source height, width, y, x
                                       10, 20, 0, 0};   // target height, width, y, x
  const std::uint8_t dib[] = {40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 8, 0, 0, 0,
                              0,  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  0, 255, 0, 0, 0, 0, 255, 0, 0};
  for (std::size_t i = 0; i < sizeof dib; i += 2) params.push_back(static_cast<std::uint16_t>(dib[i] | dib[i + 1] << 8));
  RecordingEnvironment r;
  CRect box;
  const auto wmf = ReadBytes(r, WmfWriter().Record(0x0F43, params).Plain(), box);
  ASSERT_TRUE(wmf);
  Page page(20, 10);
  EXPECT_TRUE(PlayMetaFileRecords(page.dc, *wmf));
  EXPECT_EQ(page.At(0, 0), RGB(0, 0, 255));
  EXPECT_EQ(page.At(19, 9), kRed);
}

TEST(MetaFilePlayer, ShapesAndTextRecordsReadOnlyTheirOwnBytes) {
  // Counts that claim more points or characters than the record holds draw nothing.
  RecordingEnvironment r;
  WmfWriter w = RedPainter();
  w.Record(0x0324, {500, 0, 0, 10, 0, 10, 10})  // polygon of 500 points with 3 given
      .Record(0x0521, {400, 0x4141, 0, 0})       // text of 400 characters
      .Record(0x0538, {2, 3, 900, 0, 0})         // two polygons, far too many points
      .Record(0x0817, {0, 20, 0, 0, 20, 20, 0, 0});  // an arc in a 20 x 20 box
  CRect box;
  const auto wmf = ReadBytes(r, w.Plain(), box);
  ASSERT_TRUE(wmf);
  Page page(20, 20);
  EXPECT_TRUE(PlayMetaFileRecords(page.dc, *wmf));
  EXPECT_EQ(page.At(5, 5), kWhite);
}
