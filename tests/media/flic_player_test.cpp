// The FLIC decoder and player: chunk decoding against the writer, damaged input, header errors, ticks, passes and drawing.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

#include "media/flic_decoder.h"
#include "media/flic_player.h"
#include "media/memory_stream.h"
#include "model/data_file.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/mm/media_source.h"
#include "platform/mm/media_system.h"
#include "tests/platform/user/window_test_support.h"
#include "tests/support/flic_writer.h"
#include "tests/support/packed_file_builder.h"
#include "tests/support/temp_dir.h"

using namespace tvn::testing;

namespace {

// The frame's words against a picture of ramp-palette indexes.
::testing::AssertionResult Shows(const CFlicDecoder& frame, const FlicImage& image) {
  if (frame.Width() != image.width || frame.Height() != image.height)
    return ::testing::AssertionFailure() << "size " << frame.Width() << "x" << frame.Height();
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      if (frame.Pixel(x, y) != RampColour(image.at(x, y)))
        return ::testing::AssertionFailure() << "pixel " << x << "," << y << " is " << std::hex << frame.Pixel(x, y)
                                             << ", expected " << RampColour(image.at(x, y));
  return ::testing::AssertionSuccess();
}

// Decodes one frame's chunks as the file would hold them.
bool Decode(CFlicDecoder& decoder, const std::vector<FlicChunk>& chunks) {
  FlicFile file;
  file.frames.push_back({chunks});
  const std::vector<std::uint8_t> bytes = FlicBytes(file);
  return decoder.DecodeFrame(bytes.data() + 128 + 16, bytes.size() - 128 - 16, static_cast<unsigned>(chunks.size()));
}

CFlicDecoder RampDecoder(int width, int height) {
  CFlicDecoder decoder;
  EXPECT_TRUE(decoder.Allocate(width, height));
  decoder.AcceptColours(true);
  EXPECT_TRUE(Decode(decoder, {PaletteChunk(RampPalette())}));
  decoder.AcceptColours(false);
  return decoder;
}

}  // namespace

TEST(FlicDecoder, EveryChunkKindDecodesWhatTheWriterEncoded) {
  // Even and odd widths, a width past 510 pixels (skips over 254 pixels take
  // empty packets), random pictures with runs, copies and unchanged stretches.
  std::mt19937 random(7);
  for (const auto& [width, height] : std::vector<std::pair<int, int>>{{64, 40}, {37, 21}, {1, 5}, {700, 6}}) {
    SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
    CFlicDecoder decoder = RampDecoder(width, height);
    FlicImage previous(width, height);
    for (int i = 0; i < previous.width * previous.height; ++i) previous.pixels[i] = static_cast<std::uint8_t>(random() % 4);
    ASSERT_TRUE(Decode(decoder, {ByteRunChunk(previous)}));
    ASSERT_TRUE(Shows(decoder, previous));
    for (int step = 0; step < 6; ++step) {
      FlicImage next = previous;
      for (int y = 0; y < height; ++y) {
        if (random() % 3 == 0) continue;  // unchanged lines are skipped by count words
        const int from = static_cast<int>(random() % width);
        const int to = from + static_cast<int>(random() % (width - from + 1));
        const std::uint8_t colour = static_cast<std::uint8_t>(random() % 256);
        for (int x = from; x < to; ++x) next.at(x, y) = random() % 2 ? colour : static_cast<std::uint8_t>(random());
        if (random() % 2) next.at(width - 1, y) = static_cast<std::uint8_t>(random());
      }
      ASSERT_TRUE(Decode(decoder, {DeltaChunk(previous, next)})) << "step " << step;
      ASSERT_TRUE(Shows(decoder, next)) << "step " << step;
      previous = std::move(next);
    }
    FlicImage literal(width, height);
    for (int i = 0; i < literal.width * literal.height; ++i) literal.pixels[i] = static_cast<std::uint8_t>(i * 13);
    ASSERT_TRUE(Decode(decoder, {RawChunk(18, std::vector<std::uint8_t>(40, 0xEE)), LiteralChunk(literal)}));
    EXPECT_TRUE(Shows(decoder, literal));
    ASSERT_TRUE(Decode(decoder, {BlackChunk()}));
    EXPECT_TRUE(Shows(decoder, FlicImage(width, height, 0)));
  }
}

TEST(FlicDecoder, AnOddWidthTakesTheLastPixelFromTheMarkerWord) {
  CFlicDecoder decoder = RampDecoder(3, 2);
  // Line 1 only: skip one line, marker 0x8000 | 9, one packet copying one pair.
  FlicChunk delta = RawChunk(7, {1, 0, 0xFF, 0xFF, 9, 0x80, 1, 0, 0, 1, 5, 6});
  ASSERT_TRUE(Decode(decoder, {BlackChunk(), delta}));
  FlicImage expected(3, 2);
  expected.at(0, 1) = 5;
  expected.at(1, 1) = 6;
  expected.at(2, 1) = 9;
  EXPECT_TRUE(Shows(decoder, expected));
}

TEST(FlicDecoder, PalettesAreKeptWithin256AndOnlyAcceptedOnes) {
  CFlicDecoder decoder;
  ASSERT_TRUE(decoder.Allocate(2, 1));
  decoder.AcceptColours(true);
  // Start 250 with 10 colours: 250..255 stored, the rest read over.
  std::vector<FlicRgb> colours(10, FlicRgb{1, 2, 3});
  ASSERT_TRUE(Decode(decoder, {PaletteChunk(colours, 250)}));
  EXPECT_EQ(decoder.Colour(255), 0x010203u);
  EXPECT_EQ(decoder.Colour(249), 0u);
  // Two packets, the second's skip counted from where the first ended.
  ASSERT_TRUE(Decode(decoder, {RawChunk(4, {2, 0, 1, 1, 9, 9, 9, 2, 1, 7, 7, 7})}));
  EXPECT_EQ(decoder.Colour(1), 0x090909u);
  EXPECT_EQ(decoder.Colour(4), 0x070707u);
  EXPECT_EQ(decoder.Colour(255), 0x010203u);  // only the first palette clears the table
  decoder.AcceptColours(false);
  ASSERT_TRUE(Decode(decoder, {PaletteChunk({{50, 50, 50}}, 1)}));
  EXPECT_EQ(decoder.Colour(1), 0x090909u);
}

TEST(FlicDecoder, DamagedChunksEndTheFrameAndNeverReachPastIt) {
  const FlicImage image = Band(16, 8, 1, 3);
  const FlicChunk run = ByteRunChunk(image);
  struct Case {
    const char* what;
    std::vector<FlicChunk> chunks;
    unsigned countField;  // chunks the frame claims
  };
  FlicChunk tooSmall = BlackChunk();
  tooSmall.sizeField = 5;
  FlicChunk pastFrame = BlackChunk();
  pastFrame.sizeField = 600;
  FlicChunk shortRun = run;
  shortRun.data.resize(run.data.size() - 3);
  FlicChunk shortDelta = DeltaChunk(FlicImage(16, 8), image);
  shortDelta.data.resize(shortDelta.data.size() - 1);
  std::vector<Case> cases{
      {"chunk under 6 bytes", {tooSmall}, 1},
      {"chunk past the frame", {pastFrame}, 1},
      {"more chunks claimed than held", {BlackChunk()}, 2},
      {"byte run short", {shortRun}, 1},
      {"delta short", {shortDelta}, 1},
      {"delta word with only bit 14", {RawChunk(7, {1, 0, 0x00, 0x40})}, 1},
      {"delta line count without lines", {RawChunk(7, {3, 0})}, 1},
      {"literal short", {LiteralChunk(FlicImage(16, 7))}, 1},
      {"palette short", {RawChunk(4, {1, 0, 0, 2, 1, 2, 3})}, 1},
  };
  for (std::size_t row = 0; row < cases.size(); ++row) {
    CFlicDecoder decoder = RampDecoder(16, 8);
    decoder.AcceptColours(true);
    FlicFile file;
    file.frames.push_back({cases[row].chunks});
    const std::vector<std::uint8_t> bytes = FlicBytes(file);
    // The frame's bytes alone, in a block of their own size, so a read past them shows under the sanitizer.
    std::vector<BYTE> frame(bytes.begin() + 144, bytes.end());
    EXPECT_FALSE(decoder.DecodeFrame(frame.data(), frame.size(), cases[row].countField))
        << "row " << row << ": " << cases[row].what;
  }
  // What came before the damage stays.
  CFlicDecoder decoder = RampDecoder(16, 8);
  EXPECT_FALSE(Decode(decoder, {run, tooSmall}));
  EXPECT_TRUE(Shows(decoder, image));
  // Deltas reaching past the frame's right and bottom edges write nothing there.
  EXPECT_TRUE(Decode(decoder, {RawChunk(7, {2, 0, 1, 0, 14, 2, 1, 2, 3, 4, 0xF8, 0xFF, 1, 0, 0, 0x80, 5, 5})}));
  FlicImage expected = image;
  expected.at(14, 0) = 1;
  expected.at(15, 0) = 2;
  EXPECT_TRUE(Shows(decoder, expected));
  // Sizes of nothing and past the cap are refused before allocating.
  EXPECT_FALSE(decoder.Allocate(0, 10));
  EXPECT_FALSE(decoder.Allocate(65535, 65535));
  EXPECT_FALSE(decoder.IsAllocated());
}

class FlicPlayerTest : public WindowTest {
 protected:
  FlicPlayerTest() : media(clock, CAudioOutput::Mode::recording) {
    window = MakeWindow();
    media.SetSourceOpener([this](const CString& name) -> std::unique_ptr<IMediaByteSource> {
      auto it = files.find(name.GetString());
      if (it == files.end()) return nullptr;
      return std::make_unique<CMemoryByteSource>(it->second, name);
    });
    env.system = &media;
    env.owner = window->GetSafeHwnd();
  }

  BOOL Start(CFlicPlayer& player, const std::vector<std::uint8_t>& bytes, int loop = 1) {
    files["A.FLC"] = bytes;
    return player.Start(env, "A.FLC", window->GetSafeHwnd(), loop);
  }
  std::size_t Notices(const CFlicPlayer& player) {
    PumpReady();
    std::size_t n = 0;
    for (const RecordedMessage& m : window->Messages(MM_MCINOTIFY)) {
      EXPECT_EQ(m.wParam, 1u);
      EXPECT_EQ(static_cast<DWORD>(m.lParam), player.GetId());
      ++n;
    }
    return n;
  }

  CMediaSystem media;
  std::unique_ptr<CRecordingWnd> window;
  MediaEnvironment env;
  std::map<std::string, std::vector<std::uint8_t>> files;
};

TEST_F(FlicPlayerTest, HeaderChecksGiveTheirErrorsAndTexts) {
  const std::vector<std::uint8_t> good = FlicBytes(BandAnimation(8, 6, 2, 0));
  FlicFile fli = BandAnimation(8, 6, 2, 0);
  fli.type = 0xAF11;
  FlicFile wide = BandAnimation(8, 6, 2, 0);
  wide.width = 0;
  FlicFile badFrame = BandAnimation(8, 6, 2, 0);
  badFrame.frames[0].type = 0x1234;
  FlicFile damagedFirst = BandAnimation(8, 6, 2, 0);
  damagedFirst.frames[0].chunks[1].data.resize(5);
  struct Case {
    const char* what;
    std::optional<std::vector<std::uint8_t>> bytes;
    int depth;
    int error;
  };
  const std::vector<Case> cases{
      {"missing file", std::nullopt, 32, FlicError::kOpen},
      {"100-byte file", std::vector<std::uint8_t>(good.begin(), good.begin() + 100), 32, FlicError::kHeader},
      {"FLI file", FlicBytes(fli), 32, FlicError::kNotFlc},
      {"4-bit display", good, 4, FlicError::kNoMemory},
      {"16-bit display (not drawn here)", good, 16, FlicError::kNoMemory},
      {"width 0", FlicBytes(wide), 32, FlicError::kNoMemory},
      {"frame 1 not a frame", FlicBytes(badFrame), 32, FlicError::kFrameHeader},
      {"header only", std::vector<std::uint8_t>(good.begin(), good.begin() + 128), 32, FlicError::kFrameHeader},
      {"frame 1 damaged", FlicBytes(damagedFirst), 32, FlicError::kData},
      {"good", good, 32, FlicError::kNone},
  };
  for (std::size_t row = 0; row < cases.size(); ++row) {
    files.clear();
    if (cases[row].bytes) files["A.FLC"] = *cases[row].bytes;
    CFlicPlayer player(cases[row].depth);
    EXPECT_EQ(player.Start(env, "A.FLC", nullptr, 1) != FALSE, cases[row].error == 0) << "row " << row << ": " << cases[row].what;
    EXPECT_EQ(player.GetError(), cases[row].error) << "row " << row << ": " << cases[row].what;
    EXPECT_EQ(player.IsOpen() != FALSE, cases[row].error == 0) << "row " << row;
  }
  EXPECT_EQ(CFlicPlayer::GetErrorText(3), "Could not open the flic file or the file does not exist.");
  EXPECT_EQ(CFlicPlayer::GetErrorText(4), "This file is not a standard FLC file format.");
  EXPECT_EQ(CFlicPlayer::GetErrorText(6), "Could not read flic data.");
  EXPECT_EQ(CFlicPlayer::GetErrorText(7), "There is no error or the error is undefined.");
  EXPECT_EQ(CFlicPlayer::GetErrorText(-1), CFlicPlayer::GetErrorText(0));
  // Without the media layer nothing is read.
  CFlicPlayer player;
  EXPECT_FALSE(player.Start(MediaEnvironment{}, "A.FLC", nullptr, 1));
  EXPECT_EQ(player.GetError(), FlicError::kOpen);
}

TEST_F(FlicPlayerTest, ThreePassesOfFourFramesPostOneNoticeAtTheNinthTick) {
  CFlicPlayer player;
  ASSERT_TRUE(Start(player, FlicBytes(BandAnimation(20, 16, 4, 0)), 3));
  EXPECT_EQ(player.GetFrameCount(), 4);
  EXPECT_TRUE(Shows(player.Frame(), Band(20, 16, 0, 4)));
  EXPECT_FALSE(player.OnTick());  // not playing yet
  player.Play();
  for (int tick = 1; tick <= 8; ++tick) {
    EXPECT_TRUE(player.OnTick()) << "tick " << tick;
    EXPECT_TRUE(Shows(player.Frame(), Band(20, 16, tick % 3, 4))) << "tick " << tick;
    EXPECT_EQ(Notices(player), 0u) << "tick " << tick;
  }
  EXPECT_TRUE(player.OnTick());
  EXPECT_EQ(Notices(player), 1u);
  EXPECT_FALSE(player.IsPlaying());
  EXPECT_EQ(player.GetPassesDone(), 0);
  EXPECT_FALSE(player.OnTick());
  EXPECT_EQ(Notices(player), 1u);  // still the one
}

TEST_F(FlicPlayerTest, FramesComeAtTheFilesPeriodOrTheOneSet) {
  CFlicPlayer player;
  ASSERT_TRUE(Start(player, FlicBytes(BandAnimation(8, 8, 5, 100)), -1));
  player.Play();
  clock.Advance(99);
  EXPECT_FALSE(player.OnTick());
  clock.Advance(1);
  EXPECT_TRUE(player.OnTick());
  EXPECT_EQ(player.GetFrameCounter(), 1);
  clock.Advance(50);
  EXPECT_FALSE(player.OnTick());
  // A speed taking more than the file's period plays a frame on every tick.
  player.SetFramePeriod(100 - 150);
  EXPECT_EQ(player.GetFramePeriod(), 0u);
  EXPECT_TRUE(player.OnTick());
  EXPECT_TRUE(player.OnTick());
  EXPECT_EQ(player.GetFrameCounter(), 3);
  // Looping for ever: past the last frame it starts again at frame 1.
  EXPECT_TRUE(player.OnTick());
  EXPECT_EQ(player.GetFrameCounter(), 0);
  EXPECT_TRUE(player.IsPlaying());
  player.Stop();
  EXPECT_FALSE(player.OnTick());
}

TEST_F(FlicPlayerTest, AZeroSecondOffsetAndLaterPalettesAreHandled) {
  FlicFile file = BandAnimation(10, 9, 3, 0);
  file.zeroSecondOffset = true;
  std::vector<FlicRgb> grey(256, FlicRgb{7, 7, 7});
  file.frames[1].chunks.insert(file.frames[1].chunks.begin(), PaletteChunk(grey));
  CFlicPlayer player;
  ASSERT_TRUE(Start(player, FlicBytes(file)));
  player.Play();
  EXPECT_TRUE(player.OnTick());
  EXPECT_TRUE(Shows(player.Frame(), Band(10, 9, 1, 3)));  // frame 2 found, its palette ignored
  EXPECT_TRUE(player.OnTick());
  EXPECT_TRUE(Shows(player.Frame(), Band(10, 9, 2, 3)));
  EXPECT_EQ(Notices(player), 1u);
}

TEST_F(FlicPlayerTest, ADamagedFrameWhilePlayingEndsPlayWithTheNotice) {
  FlicFile file = BandAnimation(12, 12, 4, 0);
  file.frames[2].chunks[0].data.resize(4);
  CFlicPlayer player;
  ASSERT_TRUE(Start(player, FlicBytes(file), -1));
  player.Play();
  EXPECT_TRUE(player.OnTick());
  EXPECT_FALSE(player.OnTick());
  EXPECT_EQ(player.GetError(), FlicError::kData);
  EXPECT_FALSE(player.IsPlaying());
  EXPECT_EQ(Notices(player), 1u);
  // A file that ends inside a frame ends the same way.
  const std::vector<std::uint8_t> whole = FlicBytes(BandAnimation(12, 12, 3, 0));
  CFlicPlayer cut;
  ASSERT_TRUE(Start(cut, std::vector<std::uint8_t>(whole.begin(), whole.end() - 1)));
  cut.Play();
  EXPECT_TRUE(cut.OnTick());
  EXPECT_FALSE(cut.OnTick());
  EXPECT_EQ(cut.GetError(), FlicError::kData);
  // Every shorter cut of a good file opens or fails cleanly.
  for (std::size_t n = 0; n < whole.size(); n += 7) {
    CFlicPlayer player2;
    if (Start(player2, std::vector<std::uint8_t>(whole.begin(), whole.begin() + n), -1)) {
      player2.Play();
      for (int i = 0; i < 4; ++i) player2.OnTick();
    }
  }
}

TEST_F(FlicPlayerTest, SeeksDecodeToTheFrameAsked) {
  CFlicPlayer player;
  ASSERT_TRUE(Start(player, FlicBytes(BandAnimation(16, 24, 6, 0))));
  EXPECT_TRUE(player.GotoFrame(nullptr, 3));
  EXPECT_EQ(player.GetFrameCounter(), 3);
  EXPECT_TRUE(Shows(player.Frame(), Band(16, 24, 3, 6)));
  EXPECT_TRUE(player.SeekToEnd(nullptr));
  EXPECT_TRUE(Shows(player.Frame(), Band(16, 24, 5, 6)));
  EXPECT_TRUE(player.Rewind(nullptr));
  EXPECT_EQ(player.GetFrameCounter(), 0);
  EXPECT_TRUE(Shows(player.Frame(), Band(16, 24, 0, 6)));
  // An end frame set shortens the pass.
  player.SetEndFrame(2);
  player.Play();
  EXPECT_TRUE(player.OnTick());
  EXPECT_TRUE(player.OnTick());
  EXPECT_EQ(Notices(player), 1u);
  player.Close();
  EXPECT_FALSE(player.IsOpen());
  EXPECT_FALSE(player.GotoFrame(nullptr, 1));
}

TEST_F(FlicPlayerTest, DrawsUnscaledAtTheCornerOrStretchedIntoTheRectangle) {
  CFlicPlayer player;
  ASSERT_TRUE(Start(player, FlicBytes(BandAnimation(8, 8, 2, 0))));
  CBitmap page;
  ASSERT_TRUE(page.CreateBitmap(40, 40, 1, 32, nullptr));
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  dc.SelectObject(&page);
  dc.FillSolidRect(CRect(0, 0, 40, 40), RGB(1, 2, 3));
  const FlicImage frame = Band(8, 8, 0, 2);
  auto colourRef = [](std::uint32_t rgb) { return RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF); };
  player.SetDisplayRect(CRect(10, 10, 15, 30));
  player.Draw(&dc, TRUE);
  EXPECT_EQ(dc.GetPixel(10, 10), colourRef(RampColour(frame.at(0, 0))));
  EXPECT_EQ(dc.GetPixel(14, 17), colourRef(RampColour(frame.at(4, 7))));
  EXPECT_EQ(dc.GetPixel(15, 10), RGB(1, 2, 3));  // cut to the rectangle's width
  EXPECT_EQ(dc.GetPixel(10, 18), RGB(1, 2, 3));  // and to the frame's height
  player.SetDisplayRect(CRect(0, 0, 16, 16));
  player.Draw(&dc, FALSE);
  EXPECT_EQ(dc.GetPixel(15, 15), colourRef(RampColour(frame.at(7, 7))));
  EXPECT_EQ(dc.GetPixel(2, 0), colourRef(RampColour(frame.at(1, 0))));
}

TEST_F(FlicPlayerTest, PlaysFromAnEntryOfThePackedDataFile) {
  TempDir dir;
  PackedFileBuilder().Add("before.bin", "xxxx").Add("TITLE.FLC", FlicBytes(BandAnimation(8, 6, 3, 0))).WriteTo(
      dir.path() / "pack.dat");
  CDataFile data;
  ASSERT_TRUE(data.Open(CString((dir.path() / "pack.dat").string())));
  MediaEnvironment files;
  files.dataFile = &data;
  media.SetSourceOpener([&](const CString& name) -> std::unique_ptr<IMediaByteSource> {
    auto stream = std::make_unique<CMemoryStream>(files, name, CMemoryStream::kUnlimited, clock);
    if (!stream->IsOpened()) return nullptr;
    return stream;
  });
  CFlicPlayer player;
  ASSERT_TRUE(player.Start(env, "title.flc", nullptr, 1));
  player.Play();
  EXPECT_TRUE(player.OnTick());
  EXPECT_TRUE(player.OnTick());
  EXPECT_TRUE(Shows(player.Frame(), Band(8, 6, 2, 3)));
}
