// The MCI video devices: time formats, ranges, notices, the time line, source and destination, picture and windows.
#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/mm/mci_errors.h"
#include "platform/mm/mci_video_device.h"
#include "platform/mm/media_system.h"
#include "tests/platform/mm/mci_string_test.h"
#include "tests/support/avi_writer.h"
#include "tests/support/fake_video_frames.h"
#include "tests/support/ffmpeg_media.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wav_writer.h"

using namespace tvn::testing;

class MciVideoTest : public MciStringTest {
 protected:
  MciVideoTest() {
    media.Mci().RegisterType("testvideo", {"vid"}, CMciVideoDevice::Factory(&OpenFakeFrames, true));
    media.Mci().RegisterType("testmpeg", {"mvid"}, CMciVideoDevice::Factory(&OpenFakeFrames, false));
    // "*.vid" files are no medium FFmpeg reads; "*sound*" ones are a 2 s tone beside the pictures.
    media.SetSourceOpener([](const CString& name) -> std::unique_ptr<IMediaByteSource> {
      if (name.Find("sound") >= 0) return std::make_unique<CMemoryByteSource>(ToneWav(2000), name);
      return std::make_unique<CMemoryByteSource>(std::vector<BYTE>(64, 0x5A), name);
    });
  }
};

TEST_F(MciVideoTest, FramesByDefaultMillisecondsOnRequestAndRectangles) {
  Reply("open clip.vid alias v");
  EXPECT_EQ(Reply("status v time format"), "frames");
  EXPECT_EQ(Reply("status v length"), "10");
  EXPECT_EQ(Reply("status v mode"), "stopped");
  EXPECT_EQ(Reply("status v frame rate"), "10000");
  Reply("set v time format ms");
  EXPECT_EQ(Reply("status v length"), "1000");
  Reply("open clip.mvid alias m");
  EXPECT_EQ(Reply("status m time format"), "milliseconds");
  EXPECT_EQ(Reply("status m length"), "1000");

  // The source is the whole frame until a part of it is put; a part outside the frame is refused.
  EXPECT_EQ(Reply("where v source"), "0 0 8 6");
  EXPECT_EQ(Reply("where v destination"), "0 0 8 6");
  Reply("put v source at 2 1 4 4");
  EXPECT_EQ(Reply("where v source"), "2 1 4 4");
  EXPECT_EQ(Send("put v source at 20 20 4 4"), MciError::kOutOfRange);
  EXPECT_EQ(Send("put v source at 6 4 10 10"), 0u);  // cut to the frame
  EXPECT_EQ(Reply("where v source"), "6 4 2 2");
  EXPECT_EQ(Send("put v destination at 0 0 0 5"), MciError::kOutOfRange);
  EXPECT_EQ(Send("put v destination at 0 0"), MciError::kMissingParameter);
  Reply("put v destination at 1 2 16 12");
  EXPECT_EQ(Reply("where v destination"), "1 2 16 12");
  Reply("put v source");
  EXPECT_EQ(Reply("where v source"), "0 0 8 6");
  // A medium with neither picture nor sound does not open.
  EXPECT_EQ(Send("open clip.mpg type testvideo alias n"), MciError::kInvalidFile);
}

TEST_F(MciVideoTest, PlayRangeFollowsTheClockAndNotifiesOnce) {
  const DWORD id = std::stoul(Reply("open clip.vid alias v"));
  Reply("play v from 2 to 5 notify");
  EXPECT_EQ(Reply("status v mode"), "playing");
  Advance(250);
  EXPECT_EQ(Reply("status v position"), "4");
  EXPECT_TRUE(Notices().empty());
  Reply("pause v");
  Advance(1000);
  EXPECT_EQ(Reply("status v position"), "4");
  Reply("resume v");
  Advance(49);
  EXPECT_TRUE(Notices().empty());
  Advance(1);
  // Without a window to keep time, the device sees its end when it is next asked.
  EXPECT_EQ(Reply("status v mode"), "stopped");
  EXPECT_EQ(Reply("status v position"), "5");
  PumpReady();
  ASSERT_EQ(Notices().size(), 1u);
  EXPECT_EQ(Notices()[0].wParam, 1u);
  EXPECT_EQ(Notices()[0].lParam, static_cast<LPARAM>(id));
  Advance(1000);
  EXPECT_EQ(Notices().size(), 1u);

  // Played to the end, play starts again from the start; a seek or a stop aborts a waiting notice.
  Reply("seek v to end");
  Reply("play v notify");
  Advance(100);
  EXPECT_EQ(Reply("status v position"), "1");
  Reply("seek v to 3");
  Advance(1);
  ASSERT_EQ(Notices().size(), 2u);
  EXPECT_EQ(Notices()[1].wParam, 4u);
  EXPECT_EQ(Reply("status v position"), "3");
  EXPECT_EQ(Send("play v from 11"), MciError::kOutOfRange);
  // Twice the speed: 3 frames in 150 ms.
  Reply("set v speed 2000");
  Reply("play v");
  Advance(150);
  EXPECT_EQ(Reply("status v position"), "6");
  // Nobody asks: the device's watcher reports the end by itself.
  Reply("play v from 0 to 2 notify");
  const std::size_t before = Notices().size();
  clock.Advance(100);
  for (int i = 0; i < 2000 && Notices().size() == before; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    PumpReady();
  }
  ASSERT_EQ(Notices().size(), before + 1);
  EXPECT_EQ(Notices().back().wParam, 1u);
}

TEST_F(MciVideoTest, SoundLongerThanThePictureMakesTheTimeLine) {
  Reply("open sound.vid alias v");
  EXPECT_EQ(Reply("status v length"), "20");  // 2 s of sound under 1 s of pictures
  Reply("set v time format ms");
  EXPECT_EQ(Reply("status v length"), "2000");
  Reply("play v notify");
  EXPECT_EQ(media.Mixer().VoiceCount(), 1u);
  Advance(1500);
  EXPECT_EQ(Reply("status v mode"), "playing");
  EXPECT_TRUE(Notices().empty());
  Advance(500);
  EXPECT_EQ(Reply("status v mode"), "stopped");
  PumpReady();
  EXPECT_EQ(Notices().size(), 1u);
  EXPECT_EQ(media.Mixer().VoiceCount(), 0u);
  // A medium without a picture is a sound device, as before.
  Reply("open sound.snd type testmpeg alias s");
  EXPECT_EQ(Reply("status s length"), "2000");
  EXPECT_EQ(Send("where s source"), MciError::kUnsupportedFunction);
}

TEST_F(MciVideoTest, PictureIsDrawnFromTheSourcePartIntoTheDestination) {
  const DWORD id = std::stoul(Reply("open clip.vid alias v"));
  constexpr int kWidth = 40, kHeight = 30;
  std::vector<DWORD> pixels(kWidth * kHeight, CPixelImage::ToPixel(RGB(0, 255, 0)));
  auto at = [&](int x, int y) { return CPixelImage::ToColorRef(pixels[y * kWidth + x]); };
  CDC dc;
  dc.AttachSurface(gdi::PixelSurface{pixels.data(), kWidth, kHeight, kWidth, false});
  const CRect area(10, 10, 40, 30);
  Reply("seek v to 3");
  ASSERT_TRUE(media.Mci().DrawPicture(id, dc, area));
  EXPECT_EQ(at(10, 10), RGB(255, 255, 255));  // the frame's own top-left pixel
  EXPECT_EQ(at(17, 15), CFakeVideoFrames::ColourOf(3));
  EXPECT_EQ(at(18, 15), RGB(0, 255, 0));  // natural size: 8 x 6
  EXPECT_EQ(at(9, 9), RGB(0, 255, 0));
  // Past the picture's end the last frame stands; a cropped source is stretched twice over.
  Reply("seek v to end");
  Reply("put v source at 1 1 4 3");
  Reply("put v destination at 0 0 8 6");
  ASSERT_TRUE(media.Mci().DrawPicture(id, dc, area));
  EXPECT_EQ(at(10, 10), CFakeVideoFrames::ColourOf(9));  // the white corner is cropped away
  EXPECT_EQ(at(17, 15), CFakeVideoFrames::ColourOf(9));
  EXPECT_EQ(at(18, 15), RGB(0, 255, 0));
  // A destination reaching past the area is cut to it.
  Reply("put v destination at 25 15 100 100");
  ASSERT_TRUE(media.Mci().DrawPicture(id, dc, area));
  EXPECT_EQ(at(39, 29), CFakeVideoFrames::ColourOf(9));
  EXPECT_EQ(at(34, 24), RGB(0, 255, 0));
  EXPECT_FALSE(media.Mci().DrawPicture(id + 1000, dc, area));
  dc.DetachSurface();
}

TEST_F(MciVideoTest, AviAndMpegFilesPlayThroughTheVideoLayer) {
  if (!HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
  TempDir dir;
  AviRecipe recipe;
  recipe.frames = 10;
  recipe.rate = 10;
  recipe.soundSeconds = 2.0;
  const auto avi = dir.path() / "clip.avi";
  ASSERT_FALSE(MakeAvi(recipe, avi).empty());
  const auto mpg = dir.path() / "clip.mpg";
  // Big enough for FFmpeg to find the program stream's length from its timestamps.
  ASSERT_TRUE(RunFfmpeg("-f lavfi -i testsrc=s=160x120:r=25:d=2 -c:v mpeg1video", mpg));
  media.SetSourceOpener(
      [](const CString& name) -> std::unique_ptr<IMediaByteSource> { return CFileByteSource::Open(name); });

  const DWORD id = std::stoul(Reply("open \"" + avi.string() + "\" alias a"));
  EXPECT_EQ(media.Mci().GetDeviceType(id), "avivideo");
  EXPECT_EQ(Reply("status a time format"), "frames");
  EXPECT_EQ(Reply("status a length"), "20");  // the 2 s sound outlasts the 1 s of pictures
  EXPECT_EQ(Reply("where a source"), "0 0 32 24");
  Reply("seek a to 5");
  std::vector<DWORD> pixels(32 * 24, 0);
  CDC dc;
  dc.AttachSurface(gdi::PixelSurface{pixels.data(), 32, 24, 32, false});
  ASSERT_TRUE(media.Mci().DrawPicture(id, dc, CRect(0, 0, 32, 24)));
  EXPECT_EQ(CPixelImage::ToColorRef(pixels[12 * 32 + 16]), RGB(60, 0, 0));  // frame n is red 12 x n
  Reply("play a from 9 notify");
  EXPECT_EQ(media.Mixer().VoiceCount(), 1u);
  Advance(1100);
  ASSERT_TRUE(media.Mci().DrawPicture(id, dc, CRect(0, 0, 32, 24)));
  EXPECT_EQ(CPixelImage::ToColorRef(pixels[12 * 32 + 16]), RGB(108, 0, 0));  // the last frame stands under the sound
  EXPECT_EQ(Reply("status a mode"), "stopped");
  dc.DetachSurface();

  Reply("open \"" + mpg.string() + "\" alias m");
  EXPECT_EQ(Reply("status m time format"), "milliseconds");
  const int length = std::stoi(Reply("status m length"));
  EXPECT_GE(length, 1500);
  EXPECT_LE(length, 2500);
  EXPECT_EQ(Reply("where m source"), "0 0 160 120");
}

// A film cut short (its header promises 36 frames, 27 are there, and the
// index is lost): its length, the end of its play and the notice go by the
// frames it holds, and its frames are drawn right after a seek back, the
// key frames found from the pictures.
TEST_F(MciVideoTest, AFilmCutShortEndsAtTheFramesItHolds) {
  if (!HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
  TempDir dir;
  const auto intact = dir.path() / "intact.avi";
  ASSERT_TRUE(RunFfmpeg("-f lavfi -i testsrc2=size=64x48:rate=12:duration=3 -c:v cinepak -g 6", intact));
  const auto expected = DecodeToBgra(intact, dir.path() / "intact.bgra");
  ASSERT_EQ(expected.size(), 36u * 64 * 48 * 4);
  const auto cut = CutAfterFrames(ReadFileBytes(intact), 27);
  media.SetSourceOpener([&cut](const CString& name) -> std::unique_ptr<IMediaByteSource> {
    return std::make_unique<CMemoryByteSource>(cut, name);
  });
  const DWORD id = std::stoul(Reply("open cut.avi alias c"));
  EXPECT_EQ(Reply("status c length"), "27");
  Reply("set c time format ms");
  EXPECT_EQ(Reply("status c length"), "2250");
  Reply("play c notify");
  Advance(2249);
  EXPECT_EQ(Reply("status c mode"), "playing");
  EXPECT_TRUE(Notices().empty());
  Advance(1);
  EXPECT_EQ(Reply("status c mode"), "stopped");
  EXPECT_EQ(Reply("status c position"), "2250");
  PumpReady();
  ASSERT_EQ(Notices().size(), 1u);
  EXPECT_EQ(Notices()[0].wParam, 1u);

  std::vector<DWORD> pixels(64 * 48, 0);
  CDC dc;
  dc.AttachSurface(gdi::PixelSurface{pixels.data(), 64, 48, 64, false});
  const auto wrongPixels = [&](std::size_t frame) {
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
      const std::uint8_t* bgra = expected.data() + (frame * pixels.size() + i) * 4;
      wrong += CPixelImage::ToColorRef(pixels[i]) != RGB(bgra[2], bgra[1], bgra[0]);
    }
    return wrong;
  };
  ASSERT_TRUE(media.Mci().DrawPicture(id, dc, CRect(0, 0, 64, 48)));
  EXPECT_EQ(wrongPixels(26), 0u);  // the last frame there
  Reply("set c time format frames");
  for (std::size_t frame : {13, 14, 3}) {
    Reply("seek c to " + std::to_string(frame));
    ASSERT_TRUE(media.Mci().DrawPicture(id, dc, CRect(0, 0, 64, 48)));
    EXPECT_EQ(wrongPixels(frame), 0u) << "frame " << frame;
  }
  dc.DetachSurface();
}

namespace {

void PutLittle32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Where the first chunk of the tag whose body starts with `body` is, from the tag; npos when none.
std::size_t FindChunk(const std::vector<std::uint8_t>& bytes, const std::string& tag, const std::string& body = {}) {
  const std::string key = tag + std::string(4, '?') + body;
  for (std::size_t at = 0; at + key.size() <= bytes.size(); ++at) {
    bool same = true;
    for (std::size_t i = 0; i < key.size() && same; ++i) same = (i >= 4 && i < 8) || bytes[at + i] == key[i];
    if (same) return at;
  }
  return std::string::npos;
}

}  // namespace

TEST_F(MciVideoTest, LengthsCountTheSamplesTheFileStatesNotTheLastBlocksPadding) {
  // A block-coded sound fills its last block up; MP3 adds its coder's delay. A WAV file states its
  // samples in its "fact" chunk, an AVI file in its sound stream's header (here counted in samples):
  // the length, the end of play and a film's length are theirs. An AVI header as ffmpeg writes it
  // counts whole blocks: the last block's padding past the picture is no sound either.
  if (!HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
  TempDir dir;
  struct Row {
    const char* codec;
    bool avi;
    int rate;
    double seconds;
    bool restated = true;  // the count written into the file
  };
  const Row rows[] = {{"adpcm_ms", false, 22050, 2.3},        {"adpcm_ima_wav", false, 22050, 2.3},
                      {"libmp3lame", false, 44100, 3.1},      {"adpcm_ms", true, 11025, 3.0},
                      {"adpcm_ima_wav", true, 11025, 3.0},    {"adpcm_ms", true, 11025, 3.0, false},
                      {"adpcm_ima_wav", true, 11025, 3.0, false}};
  media.SetSourceOpener(
      [](const CString& name) -> std::unique_ptr<IMediaByteSource> { return CFileByteSource::Open(name); });
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const Row& r = rows[i];
    const auto file = dir.path() / (std::to_string(i) + (r.avi ? ".avi" : ".wav"));
    const std::string sound = "-f lavfi -i sine=frequency=440:sample_rate=" + std::to_string(r.rate) +
                              ":duration=" + std::to_string(r.seconds) + " -c:a " + r.codec + " -ac 1";
    ASSERT_TRUE(RunFfmpeg(r.avi ? "-f lavfi -i color=c=red:s=32x24:r=10:d=3 " + sound + " -c:v rawvideo -pix_fmt bgr24"
                                : sound,
                          file))
        << "row " << i;
    std::vector<std::uint8_t> bytes = ReadFileBytes(file);
    const auto samples = static_cast<std::uint32_t>(r.seconds * r.rate + 0.5);
    if (r.restated && r.avi) {
      const std::size_t strh = FindChunk(bytes, "strh", "auds");
      ASSERT_NE(strh, std::string::npos) << "row " << i;
      PutLittle32(bytes, strh + 8 + 20, 1);  // scale: one sample a unit
      PutLittle32(bytes, strh + 8 + 24, static_cast<std::uint32_t>(r.rate));
      PutLittle32(bytes, strh + 8 + 32, samples);  // length
    } else if (r.restated) {
      const std::size_t fact = FindChunk(bytes, "fact");
      ASSERT_NE(fact, std::string::npos) << "row " << i;
      PutLittle32(bytes, fact + 8, samples);
    }
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));

    const std::string alias = "s" + std::to_string(i);
    Reply("open \"" + file.string() + "\" alias " + alias);
    if (r.avi) {
      EXPECT_EQ(Reply("status " + alias + " length"), "30") << "row " << i;  // frames
    } else {
      Reply("set " + alias + " time format samples");
      EXPECT_EQ(Reply("status " + alias + " length"), std::to_string(samples)) << "row " << i;
    }
    Reply("set " + alias + " time format ms");
    const double ms = 1000.0 * r.seconds;
    EXPECT_NEAR(std::stod(Reply("status " + alias + " length")), ms, 1.0) << "row " << i;
    // Play ends at the stated end.
    Reply("play " + alias + " notify");
    Advance(static_cast<DWORD>(ms) - 5);
    EXPECT_EQ(Reply("status " + alias + " mode"), "playing") << "row " << i;
    Advance(6);
    EXPECT_EQ(Reply("status " + alias + " mode"), "stopped") << "row " << i;
    Reply("close " + alias);
  }
}

namespace {

// What the window shows on the screen, its children included.
COLORREF Shown(CWnd& wnd, int x, int y) {
  const QRgb c = wnd.GetWidget()->grab().toImage().pixel(x, y);
  return RGB(qRed(c), qGreen(c), qBlue(c));
}

std::string HandleText(const CWnd& wnd) { return std::to_string(reinterpret_cast<std::uintptr_t>(wnd.GetSafeHwnd())); }

}  // namespace

TEST_F(MciVideoTest, PictureShowsInAWindowOfTheProgramOrInItsOwnDefaultWindow) {
  if (!HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
  TempDir dir;
  AviRecipe recipe;
  recipe.width = 64;
  recipe.height = 48;
  recipe.solid = true;
  recipe.colour = "red";
  const auto avi = dir.path() / "red.avi";
  ASSERT_FALSE(MakeAvi(recipe, avi).empty());
  media.SetSourceOpener(
      [](const CString& name) -> std::unique_ptr<IMediaByteSource> { return CFileByteSource::Open(name); });
  // The view's page is green.
  window->hook = [this](UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (message != WM_PAINT) return std::nullopt;
    window->PaintClient([](CDC& dc, const CRect& client) { dc.FillSolidRect(client, RGB(0, 255, 0)); });
    return 0;
  };
  window->Invalidate();
  window->UpdateWindow();
  const COLORREF red = RGB(255, 0, 0), page = RGB(0, 255, 0);

  Reply("open \"" + avi.string() + "\" alias f");
  Reply("window f handle " + HandleText(*window));
  EXPECT_EQ(Reply("status f window handle"), HandleText(*window));
  Reply("put f destination at 10 20 64 48");
  Reply("play f");
  PumpReady();
  EXPECT_EQ(Shown(*window, 42, 44), red);
  EXPECT_EQ(Shown(*window, 5, 5), page);
  EXPECT_EQ(Shown(*window, 75, 44), page);  // the picture's place only
  Reply("window f state hide");
  PumpReady();
  EXPECT_EQ(Shown(*window, 42, 44), page);
  Reply("window f state show");
  PumpReady();
  EXPECT_EQ(Shown(*window, 42, 44), red);

  // A number naming no live window of the program is refused and changes nothing.
  std::string stale;
  {
    auto gone = MakeWindow(CRect(0, 0, 50, 50));
    stale = HandleText(*gone);
  }
  for (const std::string& number : {stale, std::string("999999999"), std::string("0")})
    EXPECT_EQ(Send("window f handle " + number), MciError::kNoDisplayWindow) << number;
  EXPECT_EQ(Send("window f handle x1"), MciError::kBadInteger);
  EXPECT_EQ(Send("window f handle"), MciError::kMissingParameter);
  EXPECT_EQ(Reply("status f window handle"), HandleText(*window));
  EXPECT_EQ(Shown(*window, 42, 44), red);

  // A window destroyed while it shows the picture sends the device back to its default window.
  auto other = MakeWindow(CRect(0, 0, 200, 150));
  Reply("window f handle " + HandleText(*other));
  PumpReady();
  EXPECT_EQ(Shown(*window, 42, 44), page);
  EXPECT_EQ(Shown(*other, 42, 44), red);
  other.reset();
  const HWND fallback = reinterpret_cast<HWND>(std::stoull(Reply("status f window handle")));
  CWnd* own = CWnd::FromHandle(fallback);
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(own->GetParent(), nullptr);
  Send("close f");
  EXPECT_FALSE(::IsWindow(fallback));

  // Without a handle: a top-level window of the picture's size, captioned
  // with the file's name, made at play and gone at close.
  Reply("open \"" + avi.string() + "\" alias g");
  Reply("play g");
  PumpReady();
  const HWND top = reinterpret_cast<HWND>(std::stoull(Reply("status g window handle")));
  CWnd* wnd = CWnd::FromHandle(top);
  ASSERT_NE(wnd, nullptr);
  EXPECT_EQ(wnd->GetParent(), nullptr);
  EXPECT_TRUE(wnd->IsWindowVisible());
  CRect client;
  wnd->GetClientRect(&client);
  EXPECT_EQ(client, CRect(0, 0, 64, 48));
  EXPECT_EQ(wnd->GetWindowText(), CString(avi.string()));
  EXPECT_EQ(SurfacePixel(*wnd, 32, 24), red);
  Reply("window g handle " + HandleText(*window));  // into the view, and back
  EXPECT_FALSE(wnd->IsWindowVisible());
  Reply("window g handle default");
  EXPECT_EQ(Reply("status g window handle"), std::to_string(reinterpret_cast<std::uintptr_t>(top)));
  EXPECT_TRUE(wnd->IsWindowVisible());
  Reply("close g");
  EXPECT_FALSE(::IsWindow(top));
}

TEST_F(MciVideoTest, WaitKeepsThePictureMovingAndEndsAtEscapeQuitOrClose) {
  if (!HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
  TempDir dir;
  AviRecipe recipe;  // frame n is red 12 x n, ten frames a second
  recipe.frames = 12;
  const auto avi = dir.path() / "moving.avi";
  ASSERT_FALSE(MakeAvi(recipe, avi).empty());
  media.SetSourceOpener(
      [](const CString& name) -> std::unique_ptr<IMediaByteSource> { return CFileByteSource::Open(name); });
  Reply("open \"" + avi.string() + "\" alias v");
  Reply("window v handle " + HandleText(*window));
  loop->SetEventSource(std::make_unique<CClockDrivenSource>(clock));  // the program's clock runs on as it waits
  // Every 500 ms of the program's clock the view looks at the picture, then may act on the wait.
  constexpr UINT kLook = 77;
  std::vector<COLORREF> seen;
  std::function<void()> then;
  window->hook = [&](UINT message, WPARAM id, LPARAM) -> std::optional<LRESULT> {
    if (message != WM_TIMER || id != kLook) return std::nullopt;
    seen.push_back(Shown(*window, 16, 12));
    if (then) then();
    return 0;
  };
  window->SetTimer(kLook, 500);

  const DWORD start = clock.Now();
  EXPECT_EQ(Send("play v wait"), 0u);
  EXPECT_GE(clock.Now() - start, 1200u);
  EXPECT_EQ(Reply("status v mode"), "stopped");
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_NE(seen[0], seen[1]);

  // An Escape or the quit message ends the wait, not the play; the quit is left for the run loop.
  then = [&] { window->PostMessage(WM_KEYDOWN, VK_ESCAPE, 0); };
  EXPECT_EQ(Send("play v from 0 wait"), 0u);
  EXPECT_EQ(seen.size(), 3u);
  EXPECT_EQ(Reply("status v mode"), "playing");
  then = [&] { loop->PostQuitMessage(3); };
  EXPECT_EQ(Send("play v from 0 wait"), 0u);
  EXPECT_EQ(seen.size(), 4u);
  EXPECT_EQ(Reply("status v mode"), "playing");
  MSG quit;
  ASSERT_TRUE(loop->PeekMessage(quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(quit.wParam, 3u);
  // A close the loop runs during the wait ends it with the device.
  then = [&] { Send("close v"); };
  EXPECT_EQ(Send("play v from 0 wait"), 0u);
  EXPECT_EQ(seen.size(), 5u);
  EXPECT_EQ(Send("status v mode"), MciError::kInvalidDeviceName);
}
