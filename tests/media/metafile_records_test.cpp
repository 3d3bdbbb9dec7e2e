// Metafile records of palettes, pattern brushes, regions, clipping, scaled windows and device copies, by their pixels.
#include <gtest/gtest.h>

#include <memory>

#include "media/metafile.h"
#include "tests/media/image_test_util.h"
#include "tests/support/le_bytes.h"
#include "tests/support/wmf_writer.h"

using namespace tvn::testing;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

std::uint16_t Lo(std::uint32_t v) { return static_cast<std::uint16_t>(v); }
std::uint16_t Hi(std::uint32_t v) { return static_cast<std::uint16_t>(v >> 16); }

// Bytes as the 16-bit parameters of a record (an odd byte is padded).
std::vector<std::uint16_t> Words(const std::vector<std::uint8_t>& bytes) {
  std::vector<std::uint16_t> words;
  for (std::size_t i = 0; i < bytes.size(); i += 2)
    words.push_back(static_cast<std::uint16_t>(bytes[i] | (i + 1 < bytes.size() ? bytes[i + 1] << 8 : 0)));
  return words;
}

// Palette entries as red, green, blue, flags.
std::vector<std::uint16_t> Entries(const std::vector<COLORREF>& colours) {
  std::vector<std::uint8_t> bytes;
  for (COLORREF c : colours) bytes.insert(bytes.end(), {GetRValue(c), GetGValue(c), GetBValue(c), 0});
  return Words(bytes);
}

WmfWriter& CreatePalette(WmfWriter& w, const std::vector<COLORREF>& colours, std::uint16_t claimed = 0) {
  std::vector<std::uint16_t> params = {0x0300, claimed ? claimed : static_cast<std::uint16_t>(colours.size())};
  for (std::uint16_t v : Entries(colours)) params.push_back(v);
  return w.Record(0x00F7, params);
}

WmfWriter& CreateBrush(WmfWriter& w, std::uint32_t colorRef) {
  return w.Record(0x02FC, {0, Lo(colorRef), Hi(colorRef), 0});
}

// A region of scans {top, bottom, {left, right}...}; scanCount may claim more than given.
struct Scan {
  std::int16_t top, bottom;
  std::vector<std::int16_t> xs;
};
WmfWriter& CreateRegion(WmfWriter& w, const std::vector<Scan>& scans, std::uint16_t claimed = 0) {
  std::vector<std::uint16_t> params = {0, 6, 0, 0, 0, claimed ? claimed : static_cast<std::uint16_t>(scans.size()),
                                       0, 0, 0, 0, 0};
  for (const Scan& s : scans) {
    params.push_back(static_cast<std::uint16_t>(s.xs.size()));
    params.push_back(static_cast<std::uint16_t>(s.top));
    params.push_back(static_cast<std::uint16_t>(s.bottom));
    for (std::int16_t x : s.xs) params.push_back(static_cast<std::uint16_t>(x));
    params.push_back(static_cast<std::uint16_t>(s.xs.size()));
  }
  return w.Record(0x06FF, params);
}

// A bottom-up DIB with an info header and its colour table as stored, of colours entries.
std::vector<std::uint8_t> Dib(int width, int height, int bits, const std::vector<std::uint8_t>& table,
                              std::uint32_t colours, const std::vector<std::uint8_t>& pixels) {
  std::vector<std::uint8_t> out;
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(width));
  Put32(out, static_cast<std::uint32_t>(height));
  Put16(out, 1);
  Put16(out, static_cast<std::uint32_t>(bits));
  for (int i = 0; i < 6; ++i) Put32(out, 0);
  Set32(out, 32, colours);
  out.insert(out.end(), table.begin(), table.end());
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

struct Played {
  Page page;
  bool sound = false;
  Played(int w, int h) : page(w, h) {}
};

// Plays the records straight onto a white page.
std::unique_ptr<Played> Play(const WmfWriter& w, int width = 20, int height = 10) {
  RecordingEnvironment r;
  const std::vector<std::uint8_t> bytes = w.Plain();
  CMemFile file(bytes.data(), bytes.size());
  CRect box;
  const MetaFileHandle wmf = CMetaFilePicture(r.env).Read(file, box);
  auto out = std::make_unique<Played>(width, height);
  EXPECT_TRUE(wmf);
  if (wmf) out->sound = PlayMetaFileRecords(out->page.dc, *wmf);
  return out;
}

int Count(const Page& page, int width, int height, COLORREF colour) {
  int n = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) n += page.At(x, y) == colour;
  return n;
}

}  // namespace

TEST(MetaFileRecords, PaletteColoursComeFromTheSelectedPalette) {
  WmfWriter w;
  w.Objects(8).CreatePen(5, 0, 0).Select(0);  // slot 0: no outline
  CreatePalette(w, {kBlack, RGB(0, 255, 0), kRed}).Record(0x0234, {1});  // slot 1, selected
  CreateBrush(w, 0x01000002).Select(2).Rectangle(0, 0, 4, 4);            // PALETTEINDEX(2): red
  CreateBrush(w, 0x01000009).Select(3).Rectangle(4, 0, 8, 4);            // past the end: entry 0
  CreateBrush(w, 0x020000FF).Select(4).Rectangle(8, 0, 12, 4);           // PALETTERGB: the value itself
  // Entry 1 becomes blue; the record claims two entries but holds one.
  w.Record(0x0037, {1, 2, Entries({kBlue})[0], Entries({kBlue})[1]}).Record(0x0035, {});
  CreateBrush(w, 0x01000001).Select(5).Rectangle(12, 0, 16, 4);
  const auto p = Play(w);
  EXPECT_TRUE(p->sound);
  EXPECT_EQ(p->page.At(1, 1), kRed);
  EXPECT_EQ(p->page.At(5, 1), kBlack);
  EXPECT_EQ(p->page.At(9, 1), kRed);
  EXPECT_EQ(p->page.At(13, 1), kBlue);

  // Without a palette of its own the metafile indexes the system's default.
  WmfWriter d;
  d.CreatePen(5, 0, 0).Select(0);
  CreateBrush(d, 0x0100000D).Select(1).Rectangle(0, 0, 4, 4);
  d.Record(0x0201, {Lo(0x0100000D), Hi(0x0100000D)});  // a background colour by index, too
  EXPECT_EQ(Play(d)->page.At(1, 1), kRed);
}

TEST(MetaFileRecords, PatternBrushesDrawTheirBits) {
  // An 8 x 2 monochrome device bitmap, every row 0x7F: column 0 is a 0 bit.
  std::vector<std::uint8_t> pattern = {0, 0, 8, 0, 2, 0, 2, 0, 1, 1, 0, 0, 0, 0};
  pattern.resize(32, 0);
  for (int row = 0; row < 2; ++row) pattern.insert(pattern.end(), {0x7F, 0});
  WmfWriter w;
  w.CreatePen(5, 0, 0).Select(0).Record(0x0209, {Lo(kBlue), Hi(kBlue)}).Record(0x0201, {Lo(kRed), Hi(kRed)});
  w.Record(0x01F9, Words(pattern)).Select(1).Rectangle(0, 0, 8, 4);
  const auto p = Play(w);
  EXPECT_EQ(p->page.At(0, 0), kBlue) << "0 bits take the text colour";
  EXPECT_EQ(p->page.At(0, 2), kBlue);
  EXPECT_EQ(p->page.At(1, 0), kRed) << "1 bits take the background colour";
  EXPECT_EQ(p->page.At(6, 2), kRed);

  // A 2 x 1 DIB pattern whose colour table indexes the palette (entries 2 and 1).
  WmfWriter d;
  d.CreatePen(5, 0, 0).Select(0);
  CreatePalette(d, {kBlack, kBlue, kRed}).Record(0x0234, {1});
  std::vector<std::uint16_t> params = {5, 1};
  for (std::uint16_t v : Words(Dib(2, 1, 8, {2, 0, 1, 0}, 2, {0, 1, 0, 0}))) params.push_back(v);
  d.Record(0x0142, params).Select(2).Rectangle(0, 0, 5, 3);
  const auto q = Play(d);
  EXPECT_EQ(q->page.At(0, 0), kRed);
  EXPECT_EQ(q->page.At(1, 0), kBlue);
  EXPECT_EQ(q->page.At(2, 1), kRed);

  // A one-bit DIB of the device-pattern style is monochrome: its table does not count.
  WmfWriter m;
  m.CreatePen(5, 0, 0).Select(0).Record(0x0209, {Lo(kBlue), Hi(kBlue)}).Record(0x0201, {Lo(kRed), Hi(kRed)});
  params = {3, 0};
  for (std::uint16_t v : Words(Dib(2, 1, 1, {0, 255, 0, 0, 0, 255, 0, 0}, 2, {0x40, 0, 0, 0}))) params.push_back(v);
  m.Record(0x0142, params).Select(1).Rectangle(0, 0, 5, 3);
  const auto mono = Play(m);
  EXPECT_EQ(mono->page.At(0, 1), kBlue);
  EXPECT_EQ(mono->page.At(1, 1), kRed);
  EXPECT_EQ(mono->page.At(2, 0), kBlue);
}

TEST(MetaFileRecords, RegionsFillFrameInvertAndPaintExactlyTheirScans) {
  WmfWriter w;
  w.CreatePen(5, 0, 0).Select(0);
  CreateBrush(w, kRed);  // slot 1
  // Slot 2: rows 1-2 over x 1-2 and x 5, row 3 over x 2-3.
  CreateRegion(w, {{1, 3, {1, 3, 5, 6}}, {3, 4, {2, 4}}});
  w.Record(0x0228, {2, 1});  // FillRegion(region 2, brush 1)
  const auto fill = Play(w);
  EXPECT_EQ(Count(fill->page, 20, 10, kRed), 4 + 2 + 2);
  for (auto [x, y] : {std::pair{1, 1}, {2, 2}, {5, 1}, {5, 2}, {2, 3}, {3, 3}}) EXPECT_EQ(fill->page.At(x, y), kRed);

  // A 6 x 6 square framed 1 across and 2 down; then inverted and painted parts.
  WmfWriter f;
  f.Objects(8).CreatePen(5, 0, 0).Select(0);
  CreateBrush(f, kRed);
  CreateRegion(f, {{0, 6, {0, 6}}});
  f.Record(0x0429, {2, 1, 2, 1});  // FrameRegion(region, brush, height 2, width 1)
  CreateRegion(f, {{0, 2, {10, 12}}});  // slot 3
  f.Record(0x012A, {3});               // InvertRegion: white becomes black
  CreateBrush(f, kBlue).Select(4);
  CreateRegion(f, {{4, 6, {10, 12}}}, 3);  // claims three scans, holds one: that one is the region
  f.Record(0x012B, {5});                   // PaintRegion with the selected brush
  const auto p = Play(f);
  EXPECT_EQ(p->page.At(0, 3), kRed);
  EXPECT_EQ(p->page.At(5, 3), kRed);
  EXPECT_EQ(p->page.At(3, 1), kRed);
  EXPECT_EQ(p->page.At(3, 4), kRed);
  EXPECT_EQ(p->page.At(1, 2), kWhite) << "inside the frame";
  EXPECT_EQ(Count(p->page, 6, 6, kRed), 36 - 4 * 2);
  EXPECT_EQ(p->page.At(11, 1), kBlack);
  EXPECT_EQ(p->page.At(11, 5), kBlue);
  EXPECT_EQ(p->page.At(11, 3), kWhite);
  EXPECT_TRUE(p->sound);
}

TEST(MetaFileRecords, ClipRegionsSelectAndMoveInLogicalUnits) {
  WmfWriter w;
  w.CreatePen(5, 0, 0).Select(0);
  CreateBrush(w, kRed).Select(1);
  CreateRegion(w, {{0, 10, {0, 4}}});        // slot 2
  w.Record(0x012C, {2})                      // SelectClipRegion
      .WindowOrg(-2, 0)                       // logical 0 lands on device 2
      .Record(0x0220, {0, 5})                 // OffsetClipRgn(5, 0): the clip moves to x 5-8
      .Rectangle(-2, 0, 18, 10);
  const auto p = Play(w);
  EXPECT_EQ(p->page.At(4, 5), kWhite);
  EXPECT_EQ(p->page.At(5, 5), kRed);
  EXPECT_EQ(p->page.At(8, 5), kRed);
  EXPECT_EQ(p->page.At(9, 5), kWhite);

  // A clip the page set before playback still holds: the metafile's clip lies inside it.
  RecordingEnvironment r;
  WmfWriter c;
  c.CreatePen(5, 0, 0).Select(0);
  CreateBrush(c, kRed).Select(1);
  CreateRegion(c, {{0, 10, {0, 20}}});
  c.Record(0x012C, {2}).Rectangle(0, 0, 20, 10);
  const std::vector<std::uint8_t> bytes = c.Plain();
  CMemFile file(bytes.data(), bytes.size());
  CRect box;
  const MetaFileHandle wmf = CMetaFilePicture(r.env).Read(file, box);
  ASSERT_TRUE(wmf);
  Page page(20, 10);
  page.dc.IntersectClipRect(0, 0, 10, 10);
  PlayMetaFileRecords(page.dc, *wmf);
  EXPECT_EQ(page.At(9, 5), kRed);
  EXPECT_EQ(page.At(10, 5), kWhite);
}

TEST(MetaFileRecords, ScaledWindowExtentAndDeviceCopies) {
  // Played into 100 x 100 with the window the same size, then halved: twice as large.
  RecordingEnvironment r;
  WmfWriter w;
  w.CreatePen(0, 0, kRed).Select(0);
  CreateBrush(w, kRed).Select(1);
  w.Record(0x0410, {2, 1, 2, 1})  // ScaleWindowExt(1, 2, 1, 2)
      .Record(0x0412, {3, 1, 3, 1})  // ScaleViewportExt: the viewport stays the picture's
      .Rectangle(0, 0, 10, 10);
  // SetDIBitsToDevice of a 2 x 1 DIB (blue, red) at logical 30, 0.
  std::vector<std::uint16_t> params = {0, 1, 0, 0, 0, 1, 2, 0, 30};
  for (std::uint16_t v : Words(Dib(2, 1, 24, {}, 0, {255, 0, 0, 0, 0, 255, 0, 0}))) params.push_back(v);
  w.Record(0x0D33, params);
  const std::vector<std::uint8_t> bytes = w.Plain();
  CMemFile file(bytes.data(), bytes.size());
  CRect box;
  const MetaFileHandle wmf = CMetaFilePicture(r.env).Read(file, box);
  ASSERT_TRUE(wmf);
  Page page(100, 100);
  EXPECT_TRUE(PlayMetaFileInto(page.dc, *wmf, CRect(0, 0, 100, 100), CRect()));
  EXPECT_EQ(page.At(19, 19), kRed);
  EXPECT_EQ(page.At(20, 5), kWhite);
  EXPECT_EQ(page.At(5, 20), kWhite);
  // Logical 30 is device 60; the pixels themselves are copied one to one.
  EXPECT_EQ(page.At(60, 0), kBlue);
  EXPECT_EQ(page.At(61, 0), kRed);
  EXPECT_EQ(page.At(62, 0), kWhite);
  EXPECT_EQ(page.At(60, 1), kWhite);

  // Palette colours from a table longer than 256 entries: the pixels follow the whole table.
  RecordingEnvironment rl;
  WmfWriter l;
  std::vector<std::uint8_t> table(2 * 300, 0);
  table[0] = 0x0D;  // entry 0: the default palette's red; entry 1: its black
  std::vector<std::uint16_t> longParams = {1, 1, 0, 0, 0, 1, 2, 0, 0};
  for (std::uint16_t v : Words(Dib(2, 1, 8, table, 300, {0, 1, 0, 0}))) longParams.push_back(v);
  l.Record(0x0D33, longParams);
  const std::vector<std::uint8_t> longBytes = l.Plain();
  CMemFile longFile(longBytes.data(), longBytes.size());
  const MetaFileHandle longWmf = CMetaFilePicture(rl.env).Read(longFile, box);
  ASSERT_TRUE(longWmf);
  Page longPage(4, 4);
  EXPECT_TRUE(PlayMetaFileRecords(longPage.dc, *longWmf));
  EXPECT_EQ(longPage.At(0, 0), kRed);
  EXPECT_EQ(longPage.At(1, 0), kBlack);
}

TEST(MetaFileRecords, DeviceCopiesInBandsLandAtTheirRows) {
  // A 2 x 16 picture, 24-bit, every stored row (scan line) its own colour,
  // sent in two records of eight scan lines that both address the whole DIB.
  auto colour = [](int scan) {
    return RGB(static_cast<BYTE>(scan * 16), static_cast<BYTE>(255 - scan * 16), scan & 1 ? 255 : 0);
  };
  auto rows = [&](int first, int count) {
    std::vector<std::uint8_t> bits;
    for (int s = first; s < first + count; ++s) {
      const COLORREF c = colour(s);
      for (int x = 0; x < 2; ++x) bits.insert(bits.end(), {GetBValue(c), GetGValue(c), GetRValue(c)});
      bits.insert(bits.end(), {0, 0});  // rows padded to 4 bytes
    }
    return bits;
  };
  auto band = [&](WmfWriter& w, int dibHeight, int first, int count, int held, int ySrc, int height) {
    auto u = [](int v) { return static_cast<std::uint16_t>(v); };
    // Colour usage, scan count, first scan, source y and x, height, width, target y and x.
    std::vector<std::uint16_t> params = {0, u(count), u(first), u(ySrc), 0, u(height), 2, 1, 3};
    for (std::uint16_t v : Words(Dib(2, dibHeight, 24, {}, 0, rows(first & 15, held)))) params.push_back(v);
    w.Record(0x0D33, params);
  };
  struct Case {
    int dibHeight;  // negative: top-down
    int ySrc, height;
    int firstTargetRow;  // the whole picture's top-down row drawn at the target's top
  };
  const Case cases[] = {
      {16, 0, 16, 0},
      {-16, 0, 16, 0},
      {16, 4, 8, 4},   // rows 4 to 11 from the bottom: across both bands
      {-16, 4, 8, 4},  // rows 4 to 11 from the top
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    const Case& c = cases[i];
    WmfWriter w;
    band(w, c.dibHeight, 0, 8, 8, c.ySrc, c.height);
    band(w, c.dibHeight, 8, 8, 8, c.ySrc, c.height);
    const auto p = Play(w, 8, 20);
    EXPECT_TRUE(p->sound);
    for (int y = 0; y < c.height; ++y) {
      const int row = c.firstTargetRow + y;
      const COLORREF expected = colour(c.dibHeight < 0 ? row : 15 - row);
      EXPECT_EQ(p->page.At(3, 1 + y), expected) << "target row " << y;
      EXPECT_EQ(p->page.At(4, 1 + y), expected) << "target row " << y;
    }
    EXPECT_EQ(Count(p->page, 8, 20, kWhite), 8 * 20 - 2 * c.height);
  }

  // StretchDIBits counts its source rows the same way: scans 2 to 5 of the
  // whole picture, copied one to one and stretched to twice the height.
  for (const int dibHeight : {16, -16}) {
    for (const int stretch : {1, 2}) {
      SCOPED_TRACE(testing::Message() << "StretchDIBits, height " << dibHeight << ", stretch " << stretch);
      auto u = [](int v) { return static_cast<std::uint16_t>(v); };
      // Raster operation, colour usage, source height, width, y and x, target height, width, y and x.
      std::vector<std::uint16_t> params = {0x0020, 0x00CC, 0, 4, 2, 2, 0, u(4 * stretch), 2, 1, 3};
      for (std::uint16_t v : Words(Dib(2, dibHeight, 24, {}, 0, rows(0, 16)))) params.push_back(v);
      WmfWriter w;
      w.Record(0x0F43, params);
      const auto p = Play(w, 8, 20);
      EXPECT_TRUE(p->sound);
      for (int y = 0; y < 4 * stretch; ++y) {
        const int row = (dibHeight < 0 ? 2 : 10) + y / stretch;
        const COLORREF expected = colour(dibHeight < 0 ? row : 15 - row);
        EXPECT_EQ(p->page.At(3, 1 + y), expected) << "target row " << y;
        EXPECT_EQ(p->page.At(4, 1 + y), expected) << "target row " << y;
      }
      EXPECT_EQ(Count(p->page, 8, 20, kWhite), 8 * 20 - 2 * 4 * stretch);
    }
  }

  // Bands the record does not hold draw nothing: fewer rows than counted,
  // a first scan past the picture, no lines. Too many lines stop at the picture's end.
  struct Hostile {
    int first, count, held;
    int drawn;
  };
  const Hostile hostile[] = {{0, 8, 4, 0}, {16, 8, 8, 0}, {0xFFFF, 8, 8, 0}, {0, 0, 8, 0}, {8, 0xFFFF, 8, 8}};
  for (std::size_t i = 0; i < std::size(hostile); ++i) {
    SCOPED_TRACE(i);
    WmfWriter w;
    band(w, 16, hostile[i].first, hostile[i].count, hostile[i].held, 0, 16);
    const auto p = Play(w, 8, 20);
    EXPECT_EQ(Count(p->page, 8, 20, kWhite), 8 * 20 - 2 * hostile[i].drawn);
  }
}
