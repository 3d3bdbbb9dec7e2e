// The video decoder: the frame time line, frame-accurate seeking, the caps, damaged files and the sound track.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "platform/mm/media_source.h"
#include "platform/mm/video_decoder.h"
#include "tests/support/avi_writer.h"
#include "tests/support/ffmpeg_media.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wav_writer.h"

using namespace tvn::testing;

namespace {

std::unique_ptr<CVideoDecoder> OpenBytes(const std::vector<std::uint8_t>& bytes, const VideoLimits& limits = {},
                                         VideoOpenResult* why = nullptr) {
  return CVideoDecoder::Open(std::make_unique<CMemoryByteSource>(bytes, "x.avi"), limits, why);
}

int RedOf(CVideoDecoder& decoder) {
  std::uint32_t pixel = 0;
  if (!decoder.ConvertTo(&pixel, 1, 1, 1)) return -1;
  return static_cast<int>((pixel >> 16) & 0xFF);
}

// Decodes the frames in the order asked and compares each with the frame
// expected (BGRA, one frame after another): "frame: pixels that differ" of
// each frame that is not the same, empty when all are.
std::string WrongFrames(CVideoDecoder& decoder, const std::vector<LONG>& order,
                        const std::vector<std::uint8_t>& expected, int width, int height) {
  const std::size_t pixelCount = static_cast<std::size_t>(width) * height;
  std::vector<std::uint32_t> pixels(pixelCount);
  std::string wrongFrames;
  for (LONG frame : order) {
    if (!decoder.DecodeFrame(frame) || !decoder.ConvertTo(pixels.data(), width, height, width) ||
        expected.size() < (static_cast<std::size_t>(frame) + 1) * pixelCount * 4) {
      wrongFrames += std::to_string(frame) + ": not decoded ";
      continue;
    }
    const auto* want = expected.data() + static_cast<std::size_t>(frame) * pixelCount * 4;
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < pixelCount; ++i) wrong += std::memcmp(&pixels[i], want + 4 * i, 4) != 0;
    if (wrong) wrongFrames += std::to_string(frame) + ": " + std::to_string(wrong) + " ";
  }
  return wrongFrames;
}

// Frames from..to, in order.
std::vector<LONG> InOrder(LONG from, LONG to) {
  std::vector<LONG> frames;
  for (LONG f = from; f <= to; ++f) frames.push_back(f);
  return frames;
}

std::vector<LONG> Then(std::vector<LONG> first, const std::vector<LONG>& next) {
  first.insert(first.end(), next.begin(), next.end());
  return first;
}

// An RLE8 film of 64 x 48 at 12 frames a second: tiles that stay and a box
// that moves two pixels a frame and changes colour. The first frame codes
// only the box, drawn over the blank picture a decoder starts from; a key
// frame every 12; the others code only what changed since the frame before.
AviFilm MovingBoxFilm(int frames) {
  AviFilm film;
  film.width = 64;
  film.height = 48;
  film.rate = 12;
  film.rle8 = true;
  for (int i = 0; i < 16; ++i)
    film.palette.push_back({static_cast<std::uint8_t>(16 * i), static_cast<std::uint8_t>(255 - 9 * i),
                            static_cast<std::uint8_t>(40 + 11 * i)});
  std::vector<std::uint8_t> previous(64 * 48, 0);
  for (int f = 0; f < frames; ++f) {
    std::vector<std::uint8_t> picture(64 * 48, 0);
    const auto at = [&](int x, int y) -> std::uint8_t& { return picture[static_cast<std::size_t>(y) * 64 + x]; };
    for (int y = 0; f > 0 && y < 48; ++y)
      for (int x = 0; x < 64; ++x) at(x, y) = static_cast<std::uint8_t>(1 + (x / 8 + y / 8) % 4);
    const int left = (2 * f) % 54, top = 10 + (f / 4) % 24;
    for (int y = top; y < top + 8; ++y)
      for (int x = left; x < left + 10; ++x) at(x, y) = static_cast<std::uint8_t>(9 + f % 3);
    const bool key = f % 12 == 0;
    film.frames.push_back({EncodeRle8(picture, 64, 48, key && f > 0 ? nullptr : &previous), key, {}});
    previous = std::move(picture);
  }
  return film;
}

// An 8-bit film of plain rows, its palette 64 colours in ramps; no frames yet.
AviFilm RampFilm(int width, int height) {
  AviFilm film;
  film.width = width;
  film.height = height;
  for (int i = 0; i < 64; ++i)
    film.palette.push_back({static_cast<std::uint8_t>(4 * i), static_cast<std::uint8_t>(255 - 4 * i),
                            static_cast<std::uint8_t>(7 * i)});
  return film;
}

class VideoDecoderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveFfmpeg()) GTEST_SKIP() << "Debian's ffmpeg is not installed: no AVI to test with";
  }
  TempDir dir;
};

}  // namespace

TEST_F(VideoDecoderTest, SolidFramesAtTenPerSecondMakeTheTimeLine) {
  const auto bytes = MakeAvi({.solid = true}, dir / "solid.avi");
  ASSERT_FALSE(bytes.empty());
  auto decoder = OpenBytes(bytes);
  ASSERT_TRUE(decoder);
  const VideoStreamInfo& info = decoder->Info();
  EXPECT_EQ(info.formatName, "avi");
  EXPECT_TRUE(info.hasVideo);
  EXPECT_FALSE(info.hasAudio);
  EXPECT_EQ(info.width, 32);
  EXPECT_EQ(info.frameCount, 20);
  EXPECT_EQ(info.videoStartMs, 0);
  EXPECT_EQ(info.videoEndMs, 2000);
  EXPECT_EQ(decoder->TimeOfFrame(5), 500);
  EXPECT_EQ(decoder->FrameAtTime(250), 2);
  EXPECT_EQ(decoder->FrameAtTime(-40), 0);
  // Past the end: the last frame, never one past the stream.
  EXPECT_EQ(decoder->FrameAtTime(2000), 19);
  EXPECT_EQ(decoder->FrameAtTime(99999), 19);
  EXPECT_EQ(decoder->TimeOfFrame(500), 1900);

  ASSERT_TRUE(decoder->DecodeAtTime(250));
  EXPECT_EQ(decoder->HeldFrame(), 2);
  std::uint32_t pixels[4 * 3] = {};
  ASSERT_TRUE(decoder->ConvertTo(pixels, 4, 3, 4));
  for (std::uint32_t p : pixels) EXPECT_EQ(p, 0xFF3366CCu);
}

TEST_F(VideoDecoderTest, EveryFrameIsFoundInAnyOrderRawAndWithKeyFrames) {
  // MPEG-1 in its own container too: the MCI video devices read it through the same layer.
  for (const char* codec : {"rawvideo", "cinepak", "mpeg1video"}) {
    SCOPED_TRACE(codec);
    const bool mpeg = std::string(codec) == "mpeg1video";
    const std::string file = std::string(codec) + (mpeg ? ".mpg" : ".avi");
    const auto bytes = MakeAvi({.rate = mpeg ? 25 : 10, .codec = codec, .keyEvery = 5}, dir / file);
    ASSERT_FALSE(bytes.empty());
    auto decoder = OpenBytes(bytes);
    ASSERT_TRUE(decoder);
    const int tolerance = std::string(codec) == "rawvideo" ? 0 : 8;
    for (LONG frame : {7, 3, 19, 0, 12, 13, 14, 18, 19, 1, 6, 5, 11, 19}) {
      ASSERT_TRUE(decoder->DecodeFrame(frame)) << frame;
      EXPECT_EQ(decoder->HeldFrame(), frame);
      EXPECT_NEAR(RedOf(*decoder), 12 * frame, tolerance) << "frame " << frame;
    }
    // Clamped to the stream.
    ASSERT_TRUE(decoder->DecodeFrame(400));
    EXPECT_EQ(decoder->HeldFrame(), 19);
    EXPECT_NEAR(RedOf(*decoder), 12 * 19, tolerance);
  }
}

// An 8-bit picture's palette comes once, with the stream's first packet:
// the decoder keeps it for every frame it seeks to.
TEST_F(VideoDecoderTest, PalettisedFramesShowTheirColoursAfterAnySeek) {
  const auto avi = dir / "pal8.avi";
  const auto bytes = MakeAvi({.pixelFormat = "pal8", .blueRamp = true}, avi);
  ASSERT_FALSE(bytes.empty());
  const auto expected = DecodeToBgra(avi, dir / "pal8.bgra");
  const std::size_t frameBytes = 32 * 24 * 4;
  ASSERT_EQ(expected.size(), 20 * frameBytes);
  auto decoder = OpenBytes(bytes);
  ASSERT_TRUE(decoder);
  // The first frame, a later one, one back past a seek.
  for (LONG frame : {0, 13, 4}) {
    SCOPED_TRACE(frame);
    ASSERT_TRUE(decoder->DecodeFrame(frame));
    std::vector<std::uint32_t> pixels(32 * 24);
    ASSERT_TRUE(decoder->ConvertTo(pixels.data(), 32, 24, 32));
    const auto* want = expected.data() + static_cast<std::size_t>(frame) * frameBytes;
    EXPECT_EQ(std::memcmp(pixels.data(), want, frameBytes), 0);
    EXPECT_NE(pixels[31], 0xFF000000u);
  }
}

// A film whose palette changes shows each frame in the palette in force at
// it: its own packet's, else the last change before it. The changes are
// chunks of their own that the AVI index leaves out, so a seek lands past
// the change of the frame it lands on, forward past ones never read, and
// backward after later ones were; past the changes it keeps, it reads on
// from the last one kept. A change of some entries applies to the palette in
// force at its frame, however the frames were read before.
TEST_F(VideoDecoderTest, EveryPalettisedFrameShowsThePaletteInForceAtItInAnyOrder) {
  struct Film {
    const char* name;
    std::string ffmpegArgs;  // empty: the file kept in the test data
    int width, height;
    LONG frames;
    std::size_t paletteChanges = VideoLimits{}.maxPaletteChanges;
  };
  const std::string everyFrame =
      "-f lavfi -i testsrc2=size=160x120:rate=10:duration=1 -vf \"split[a][b];[a]palettegen=stats_mode=single[p];"
      "[b][p]paletteuse=new=1\" -c:v rawvideo -pix_fmt pal8";
  const Film films[] = {
      {"palette_every_frame.avi", everyFrame, 160, 120, 10},
      {"palette_every_frame.avi", everyFrame, 160, 120, 10, 3},
      {"avi_pal8_palette_changes.avi", "", 96, 60, 3},
      // Changes of entries 0-15 at frame 5 and 16-31 at frame 10.
      {"avi_pal8_partial_changes.avi", "", 40, 30, 20},
      {"palette_at_ten.avi",
       "-f lavfi -i testsrc2=size=64x48:rate=10:duration=2 -filter_complex \"[0]split[s][t];"
       "[s]trim=end_frame=10,split[a][b];[a]palettegen[p];[b][p]paletteuse[x];"
       "[t]trim=start_frame=10,setpts=PTS-STARTPTS,split[c][d];[c]palettegen[q];[d][q]paletteuse[y];"
       "[x][y]concat=n=2:v=1:a=0\" -c:v rawvideo -pix_fmt pal8",
       64, 48, 20},
  };
  // Frames past a film's end stand for its last.
  const std::vector<LONG> orders[] = {InOrder(0, 19), {5, 12, 3}, Then(InOrder(0, 15), {5}), {19, 1},
                                      Then(InOrder(0, 19), InOrder(4, 19))};

  for (const Film& film : films) {
    SCOPED_TRACE(std::string(film.name) + ", palette changes kept " + std::to_string(film.paletteChanges));
    const auto path = film.ffmpegArgs.empty() ? std::filesystem::path(TVN_TEST_DATA_DIR) / "media" / film.name
                                              : dir / film.name;
    if (!film.ffmpegArgs.empty()) {
      ASSERT_TRUE(RunFfmpeg(film.ffmpegArgs, path));
    }
    const auto bytes = ReadFileBytes(path);
    const auto expected = DecodeToBgra(path, dir / "expected.bgra");
    ASSERT_EQ(expected.size(), static_cast<std::size_t>(film.frames) * film.width * film.height * 4);
    for (std::size_t row = 0; row < std::size(orders); ++row) {
      VideoLimits limits;
      limits.maxPaletteChanges = film.paletteChanges;
      auto decoder = OpenBytes(bytes, limits);
      ASSERT_TRUE(decoder);
      std::vector<LONG> order = orders[row];
      for (LONG& frame : order) frame = std::min(frame, film.frames - 1);
      EXPECT_EQ(WrongFrames(*decoder, order, expected, film.width, film.height), "") << "order " << row;
    }
  }
}

// Palette changes of some entries in an 8-bit film written here, with its
// index and without: after seeks back over them, and playing on, each frame
// shows the palette in force at it: the first one with every change up to
// the frame applied in order (an entry changed twice shows its later colour).
TEST(VideoDecoderPalette, PartialChangesApplyToThePaletteInForceAtTheirFrame) {
  constexpr int kWidth = 16, kHeight = 8, kFrames = 20;
  AviFilm film = RampFilm(kWidth, kHeight);
  const auto entries = [](int count, int seed) {
    std::vector<AviRgb> colours;
    for (int i = 0; i < count; ++i)
      colours.push_back({static_cast<std::uint8_t>(seed + 3 * i), static_cast<std::uint8_t>(seed * 5 + i),
                         static_cast<std::uint8_t>(200 - i)});
    return colours;
  };
  std::map<int, std::vector<AviPaletteChange>> changes = {
      {4, {{0, entries(16, 11)}}},
      {7, {{8, entries(16, 60)}}},                      // over half of the last change
      {11, {{40, entries(24, 90)}, {0, entries(4, 130)}}},  // two at one frame
      {15, {{0, entries(256, 170)}}},                   // the whole palette
      {17, {{20, entries(8, 210)}}},
  };
  std::vector<AviRgb> inForce = film.palette;
  inForce.resize(256);
  std::vector<std::uint8_t> expected;
  for (int f = 0; f < kFrames; ++f) {
    std::vector<std::uint8_t> picture(kWidth * kHeight);
    for (std::size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<std::uint8_t>((i + 3 * f) % 64);
    AviFrame frame{PlainRows(picture, kWidth, kHeight), true, changes[f]};
    for (const AviPaletteChange& change : frame.changes)
      std::copy(change.entries.begin(), change.entries.end(), inForce.begin() + change.first);
    for (std::uint8_t index : picture)
      expected.insert(expected.end(), {inForce[index][2], inForce[index][1], inForce[index][0], 0xFF});
    film.frames.push_back(std::move(frame));
  }
  const auto withIndex = WriteAvi(film);
  const std::vector<LONG> orders[] = {InOrder(0, 19), Then(InOrder(0, 19), InOrder(9, 19)), Then({19}, InOrder(3, 19)),
                                      {12, 5, 16, 2, 8, 9, 10, 11, 12}};
  for (const auto& bytes : {withIndex, WithoutIndex(withIndex)}) {
    SCOPED_TRACE(bytes.size() == withIndex.size() ? "with its index" : "without its index");
    for (std::size_t row = 0; row < std::size(orders); ++row) {
      auto decoder = OpenBytes(bytes);
      ASSERT_TRUE(decoder);
      EXPECT_EQ(WrongFrames(*decoder, orders[row], expected, kWidth, kHeight), "") << "order " << row;
    }
  }
}

// Films whose frames build on earlier ones, without their index (a capture
// tool that never wrote one) or cut short (which loses it with the tail):
// every frame after seeks each way is the frame ffmpeg decodes reading the
// whole film in order, and the film is as long as the frames it holds.
TEST_F(VideoDecoderTest, FilmsWithoutAnIndexShowEveryFrameAfterAnySeek) {
  const std::string source = "-f lavfi -i testsrc2=size=64x48:rate=12:duration=3 ";
  struct Codec {
    const char* name;
    std::string ffmpegArgs;  // empty: the RLE8 film written here
  };
  const Codec codecs[] = {
      {"cinepak", source + "-c:v cinepak -g 6"}, {"msvideo1", source + "-c:v msvideo1"}, {"rle8", ""}};
  constexpr LONG kFrames = 36, kPresent = 27;
  for (const Codec& codec : codecs) {
    SCOPED_TRACE(codec.name);
    const auto intact = dir / (std::string(codec.name) + ".avi");
    if (!codec.ffmpegArgs.empty()) {
      ASSERT_TRUE(RunFfmpeg(codec.ffmpegArgs, intact));
    } else {
      const auto film = WriteAvi(MovingBoxFilm(kFrames));
      std::ofstream(intact, std::ios::binary).write(reinterpret_cast<const char*>(film.data()),
                                                    static_cast<std::streamsize>(film.size()));
    }
    const auto bytes = ReadFileBytes(intact);
    const auto expected = DecodeToBgra(intact, dir / "expected.bgra");
    ASSERT_EQ(expected.size(), static_cast<std::size_t>(kFrames) * 64 * 48 * 4);
    struct Variant {
      const char* name;
      std::vector<std::uint8_t> bytes;
      LONG frames;
    };
    const Variant variants[] = {{"with its index", bytes, kFrames},
                                {"without its index", WithoutIndex(bytes), kFrames},
                                {"cut after 27 frames", CutAfterFrames(bytes, kPresent), kPresent}};
    for (const Variant& variant : variants) {
      SCOPED_TRACE(variant.name);
      const LONG last = variant.frames - 1;
      const std::vector<LONG> orders[] = {InOrder(0, last), Then(InOrder(0, last), InOrder(last / 2, last)),
                                          Then({last}, InOrder(0, last / 2))};
      for (std::size_t row = 0; row < std::size(orders); ++row) {
        auto decoder = OpenBytes(variant.bytes);
        ASSERT_TRUE(decoder);
        EXPECT_EQ(decoder->Info().frameCount, variant.frames);
        EXPECT_EQ(decoder->Info().videoEndMs, variant.frames * 1000 / 12);
        EXPECT_EQ(WrongFrames(*decoder, orders[row], expected, 64, 48), "") << "order " << row;
      }
    }
  }
}

// A frame whose data ends short is no picture: a chunk shorter than its
// rows, or one the file was cut inside (which the demuxer marks corrupt), is
// dropped and the frame before stays, and a film cut inside its last frame
// is as long as its whole frames. A film written here, and one by ffmpeg
// with sound, cut inside its last frame and compared with ffmpeg's decode.
TEST_F(VideoDecoderTest, AFrameWhoseDataEndsShortShowsTheFrameBefore) {
  constexpr int kWidth = 16, kHeight = 8;
  AviFilm film = RampFilm(kWidth, kHeight);
  std::vector<std::uint8_t> written;
  for (int f = 0; f < 8; ++f) {
    std::vector<std::uint8_t> picture(kWidth * kHeight);
    for (std::size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<std::uint8_t>((i + 5 * f) % 64);
    std::vector<std::uint8_t> rows = PlainRows(picture, kWidth, kHeight);
    if (f == 3) rows.resize(rows.size() - 40);  // the chunk holds five rows and a half
    film.frames.push_back({rows, true, {}});
    std::vector<std::uint8_t> bgra;
    for (std::uint8_t index : picture)
      bgra.insert(bgra.end(), {film.palette[index][2], film.palette[index][1], film.palette[index][0], 0xFF});
    if (f == 3) bgra.assign(written.end() - kWidth * kHeight * 4, written.end());  // the frame before stays
    written.insert(written.end(), bgra.begin(), bgra.end());
  }
  std::vector<std::uint8_t> cut = CutAfterFrames(WriteAvi(film), 8);
  cut.resize(cut.size() - 60);  // inside the last frame's rows
  {
    auto decoder = OpenBytes(cut);
    ASSERT_TRUE(decoder);
    EXPECT_EQ(decoder->Info().frameCount, 7);
    for (const auto& order : {InOrder(0, 6), std::vector<LONG>{6, 3, 2, 4}, Then({5}, InOrder(2, 4))})
      EXPECT_EQ(WrongFrames(*decoder, order, written, kWidth, kHeight), "");
  }

  // 8-bit pictures at 15 a second and 8-bit sound, cut inside the ninth
  // picture's chunk; ffmpeg's decode of each picture it reads, the last from
  // the 4,718 bytes of its chunk that are left. The film ends with the
  // picture before, at the last frame and past it.
  const auto finding = std::filesystem::path(TVN_TEST_DATA_DIR) / "media" / "d_i_pal8_u8_11k_cut0.71.avi";
  ASSERT_TRUE(RunFfmpeg("-i '" + finding.string() + "' -fps_mode passthrough -f rawvideo -pix_fmt bgra",
                        dir / "pictures.bgra"));
  const auto pictures = ReadFileBytes(dir / "pictures.bgra");
  constexpr std::size_t kPicture = 160 * 120 * 4;
  ASSERT_EQ(pictures.size(), 9 * kPicture);
  auto decoder = OpenBytes(ReadFileBytes(finding));
  ASSERT_TRUE(decoder);
  EXPECT_EQ(decoder->Info().frameCount, 20);
  EXPECT_EQ(decoder->Info().videoEndMs, 1333);
  const auto shows = [&](std::size_t picture) {
    std::vector<std::uint8_t> pixels(kPicture);
    return decoder->ConvertTo(reinterpret_cast<std::uint32_t*>(pixels.data()), 160, 120, 160) &&
           std::equal(pixels.begin(), pixels.end(), pictures.begin() + static_cast<std::ptrdiff_t>(picture * kPicture));
  };
  ASSERT_TRUE(decoder->DecodeFrame(0));
  EXPECT_TRUE(shows(0));
  for (LONG ms : {1332, 5000}) {
    ASSERT_TRUE(decoder->DecodeAtTime(ms));
    EXPECT_EQ(decoder->HeldFrame(), 19);
    EXPECT_TRUE(shows(7)) << ms;
  }
}

TEST_F(VideoDecoderTest, CapsRefuseBeforeDecodingAndSoundIsDescribed) {
  const auto bytes = MakeAvi({.frames = 10, .soundSeconds = 2.0}, dir / "sound.avi");
  ASSERT_FALSE(bytes.empty());
  VideoOpenResult why = VideoOpenResult::ok;
  EXPECT_FALSE(OpenBytes(bytes, {.maxWidth = 31}, &why));
  EXPECT_EQ(why, VideoOpenResult::tooLarge);
  EXPECT_FALSE(OpenBytes(bytes, {.maxHeight = 23}, &why));
  EXPECT_EQ(why, VideoOpenResult::tooLarge);
  EXPECT_FALSE(OpenBytes(bytes, {.maxFrames = 9}, &why));
  EXPECT_EQ(why, VideoOpenResult::tooLarge);
  EXPECT_FALSE(OpenBytes(bytes, {.maxSeconds = 1}, &why));  // the sound runs 2 s
  EXPECT_EQ(why, VideoOpenResult::tooLarge);

  auto decoder = OpenBytes(bytes, {}, &why);
  ASSERT_TRUE(decoder);
  EXPECT_EQ(why, VideoOpenResult::ok);
  const VideoStreamInfo& info = decoder->Info();
  EXPECT_EQ(info.videoEndMs, 1000);
  EXPECT_TRUE(info.hasAudio);
  EXPECT_EQ(info.sampleRate, 22050u);
  EXPECT_EQ(info.sampleSize, 2u);
  EXPECT_EQ(info.channels, 1);
  EXPECT_EQ(info.audioSamples, 44100);
  EXPECT_EQ(info.audioEndMs, 2000);

  // The sound is read beside the pictures without disturbing them.
  ASSERT_TRUE(decoder->DecodeFrame(3));
  CPcmBuffer sound;
  EXPECT_EQ(decoder->DecodeSound({}, sound), DecodeResult::ok);
  EXPECT_NEAR(static_cast<double>(sound.Frames()), 88200.0, 100.0);
  ASSERT_TRUE(decoder->DecodeFrame(4));
  EXPECT_EQ(RedOf(*decoder), 48);
}

TEST_F(VideoDecoderTest, DamagedAndForeignBytesNeverCrash) {
  VideoOpenResult why = VideoOpenResult::ok;
  EXPECT_FALSE(OpenBytes({}, {}, &why));
  EXPECT_EQ(why, VideoOpenResult::unreadable);
  EXPECT_FALSE(OpenBytes(std::vector<std::uint8_t>(5000, 0x41), {}, &why));
  EXPECT_FALSE(CVideoDecoder::OpenFile((dir / "missing.avi").string().c_str(), {}, &why));
  EXPECT_EQ(why, VideoOpenResult::unreadable);

  const auto bytes = MakeAvi({.frames = 6, .codec = "cinepak", .keyEvery = 3}, dir / "cut.avi");
  ASSERT_FALSE(bytes.empty());
  // Cut at every offset and with bytes overwritten: whatever opens decodes what it can.
  for (std::size_t cut = 0; cut < bytes.size(); cut += 97) {
    std::vector<std::uint8_t> damaged(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut));
    if (auto decoder = OpenBytes(damaged)) {
      for (LONG f : {5, 0, 3}) decoder->DecodeFrame(f);
    }
    std::vector<std::uint8_t> scribbled = bytes;
    for (std::size_t i = cut; i < std::min(cut + 16, scribbled.size()); ++i) scribbled[i] ^= 0xA5;
    if (auto decoder = OpenBytes(scribbled)) {
      for (LONG f : {5, 0, 3}) decoder->DecodeFrame(f);
      std::uint32_t pixel = 0;
      decoder->ConvertTo(&pixel, 1, 1, 1);
    }
  }
}

// The sound stream is held to the caps the sound decoder has (192,000 samples
// a second, 8 channels): past either it is left out, so a video plays silent
// and a medium with nothing else does not open. Samples count in 64 bits, up
// to the largest LONG.
TEST(VideoDecoderSoundCaps, SoundPastTheRateOrChannelCapsIsLeftOut) {
  // 46 bytes claiming 2,147,438,865 samples a second of 51,345 channels.
  const std::vector<std::uint8_t> claimsTooMuch = {
      'R', 'I', 'F', 'F', 0xAC, 0x58, 0x01, 0x00, 'W',  'A',  'V',  'E',  'f',  'm', 't', ' ',
      0x10, 0x00, 0x00, 0x00, 0x01, 0x00, 0x91, 0xC8, 0x11, 0x51, 0xFF, 0x7F, 0x01, 0x00, 0x00, 0x00,
      0x00, 0x00, 0x00, 0x00, 'd',  'a',  't',  'a',  'S',  'R',  'R',  ' ',  '*',  '*'};
  const std::vector<std::int16_t> tone(8 * 960, 100);
  struct Row {
    const char* what;
    std::vector<std::uint8_t> bytes;
    VideoOpenResult result;
    LONG samples;
  };
  const Row rows[] = {
      {"claims 2,147,438,865 Hz", claimsTooMuch, VideoOpenResult::tooLarge, 0},
      {"192,001 Hz", WavFile(192001, 1, 16, tone), VideoOpenResult::tooLarge, 0},
      {"9 channels", WavFile(22050, 9, 16, tone), VideoOpenResult::tooLarge, 0},
      {"192,000 Hz in 8 channels", WavFile(192000, 8, 16, tone), VideoOpenResult::ok, 960},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    VideoOpenResult why = VideoOpenResult::unreadable;
    auto decoder = OpenBytes(row.bytes, {}, &why);
    EXPECT_EQ(why, row.result);
    EXPECT_EQ(decoder != nullptr, row.result == VideoOpenResult::ok);
    if (!decoder || row.result != VideoOpenResult::ok) continue;
    const VideoStreamInfo& info = decoder->Info();
    EXPECT_TRUE(info.hasAudio);
    EXPECT_EQ(info.audioStartSample, 0);
    EXPECT_EQ(info.audioSamples, row.samples);
  }
}

TEST_F(VideoDecoderTest, AVideoPlaysSilentPastTheSoundCapsAndALongSoundCountsUpToTheLargestLong) {
  const auto fast = MakeAvi({.frames = 10, .soundSeconds = 1.0, .soundRate = 200000}, dir / "fast.avi");
  ASSERT_FALSE(fast.empty());
  auto decoder = OpenBytes(fast);
  ASSERT_TRUE(decoder);
  EXPECT_TRUE(decoder->Info().hasVideo);
  EXPECT_FALSE(decoder->Info().hasAudio);
  CPcmBuffer sound;
  EXPECT_EQ(decoder->DecodeSound({}, sound), DecodeResult::noSound);
  ASSERT_TRUE(decoder->DecodeFrame(4));
  EXPECT_EQ(RedOf(*decoder), 48);

  // At the top rate the sound header claims 2,700,000,000 samples: 14,062 s, inside the caps.
  auto top = MakeAvi({.frames = 10, .soundSeconds = 1.0, .soundRate = 192000}, dir / "long.avi");
  const std::string auds = "auds";
  const auto at = std::search(top.begin(), top.end(), auds.begin(), auds.end());
  ASSERT_GT(top.end() - at, 36);
  const std::size_t length = static_cast<std::size_t>(at - top.begin()) + 32;
  for (int i = 0; i < 4; ++i) top[length + i] = static_cast<std::uint8_t>(2700000000u >> (8 * i));
  decoder = OpenBytes(top);
  ASSERT_TRUE(decoder);
  EXPECT_TRUE(decoder->Info().hasAudio);
  EXPECT_EQ(decoder->Info().audioSamples, 0x7FFFFFFF);
}
