// MCI command strings: the parser, devices by alias and id, the sound devices, notices and errors.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/mm/mci_command.h"
#include "platform/mm/mci_errors.h"
#include "platform/mm/mci_play_end.h"
#include "platform/mm/media_system.h"
#include "tests/platform/mm/mci_string_test.h"
#include "tests/support/ffmpeg_media.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wav_writer.h"

using tvn::testing::TempDir;
using tvn::testing::ToneWav;

TEST(MciCommandParser, QuotesNotifyWaitAndErrors) {
  CMciCommand c;
  ASSERT_EQ(ParseMciCommand("open \"C:\\My Sounds\\a b.wav\" type waveaudio alias snd notify", c), 0u);
  EXPECT_EQ(c.verb, "open");
  EXPECT_EQ(c.device, "C:\\My Sounds\\a b.wav");
  EXPECT_TRUE(c.notify);
  EXPECT_FALSE(c.wait);
  ASSERT_NE(c.ValueAfter("ALIAS"), nullptr);
  EXPECT_EQ(*c.ValueAfter("alias"), "snd");
  EXPECT_EQ(ParseMciCommand("play \"open", c), MciError::kNoClosingQuote);
  EXPECT_EQ(ParseMciCommand("   ", c), MciError::kMissingCommandString);
  EXPECT_EQ(ParseMciCommand("play", c), MciError::kMissingDeviceName);
  ASSERT_EQ(ParseMciCommand("Seek to 1 wait ", c, false), 0u);
  EXPECT_EQ(c.verb, "seek");
  EXPECT_TRUE(c.wait);
  EXPECT_EQ(c.words, (std::vector<std::string>{"to", "1"}));
  DWORD n = 0;
  EXPECT_FALSE(ParseMciNumber("12x", n));
  EXPECT_FALSE(ParseMciNumber("1234567890", n));
  EXPECT_TRUE(ParseMciNumber("1500", n));
  EXPECT_EQ(n, 1500u);
}

class MciTest : public MciStringTest {
 protected:
  MciTest() {
    wav = (dir.path() / "tone.wav").string();
    std::ofstream(wav, std::ios::binary).write(reinterpret_cast<const char*>(ToneWav(1000).data()),
                                               static_cast<std::streamsize>(ToneWav(1000).size()));
  }

  TempDir dir;
  std::string wav;
};

TEST_F(MciTest, OneSecondWaveReportsItsLengthModeAndEnd) {
  const std::string id = Reply("open \"" + wav + "\" type waveaudio alias tone");
  EXPECT_NE(id, "0");
  EXPECT_EQ(Reply("status tone length"), "1000");
  EXPECT_EQ(Reply("status tone mode"), "stopped");
  EXPECT_EQ(Reply("play tone notify"), "");
  EXPECT_EQ(Reply("status tone mode"), "playing");
  Advance(500);
  EXPECT_EQ(Reply("status tone position"), "500");
  Advance(499);
  EXPECT_TRUE(Notices().empty());
  Advance(1);
  ASSERT_EQ(Notices().size(), 1u);
  EXPECT_EQ(Notices()[0].wParam, 1u);
  EXPECT_EQ(Notices()[0].lParam, static_cast<LPARAM>(std::stoul(id)));
  EXPECT_EQ(Reply("status tone mode"), "stopped");
  EXPECT_EQ(Reply("status tone position"), "1000");
  EXPECT_EQ(Send("close tone"), 0u);
  EXPECT_EQ(Send("status tone mode"), MciError::kInvalidDeviceName);
}

TEST_F(MciTest, SupersededAndAbortedNotices) {
  const DWORD id = std::stoul(Reply("open \"" + wav + "\" alias tone"));
  Reply("play tone notify");
  Reply("play tone from 0 notify");
  Advance(1);
  ASSERT_EQ(Notices().size(), 1u);
  EXPECT_EQ(Notices()[0].wParam, 2u);
  Reply("stop tone");
  Advance(1);
  ASSERT_EQ(Notices().size(), 2u);
  EXPECT_EQ(Notices()[1].wParam, 4u);
  EXPECT_EQ(Notices()[1].lParam, static_cast<LPARAM>(id));
  // Stopped: no end ever comes; seeking and playing a range does end.
  Advance(2000);
  EXPECT_EQ(Notices().size(), 2u);
  Reply("set tone time format ms");
  Reply("seek tone to 900");
  Reply("play tone to 950 notify");
  Advance(49);
  EXPECT_EQ(Notices().size(), 2u);
  Advance(1);
  ASSERT_EQ(Notices().size(), 3u);
  EXPECT_EQ(Notices()[2].wParam, 1u);
}

TEST_F(MciTest, AnEndOvertakenByTheNextPlayNeverNotifiesThatPlay) {
  // The mixer runs a voice's end outside its lock, so a stop cannot hold it
  // back: the next play begins between the end's check and its notice.
  const HWND hwnd = window->GetSafeHwnd();
  CMciCommand play;
  ASSERT_EQ(ParseMciCommand("play tone notify", play), 0u);
  auto end = std::make_shared<CMciPlayEnd>(7);
  std::function<void()> next;
  end->SetEndCheckedHook([&] {
    if (!next) next = end->BeginPlay(play, hwnd);
  });
  const auto first = end->BeginPlay(play, hwnd);
  first();
  PumpReady();
  ASSERT_EQ(Notices().size(), 1u);
  EXPECT_EQ(Notices()[0].wParam, MciNotify::kSuperseded);  // the first play's notice, by the next play
  // "play notify" again on the next play going on after a pause: its own end notifies, once.
  end->ArmForRunningPlay(hwnd);
  first();
  next();
  next();
  PumpReady();
  ASSERT_EQ(Notices().size(), 3u);
  EXPECT_EQ(Notices()[1].wParam, MciNotify::kSuperseded);
  EXPECT_EQ(Notices()[2].wParam, MciNotify::kSuccessful);
  EXPECT_EQ(Notices()[2].lParam, 7);
}

TEST_F(MciTest, PauseResumeSpeedAndVolume) {
  Reply("open \"" + wav + "\" alias tone");
  Reply("play tone");
  Advance(100);
  Reply("pause tone");
  EXPECT_EQ(Reply("status tone mode"), "paused");
  Advance(500);
  EXPECT_EQ(Reply("status tone position"), "100");
  Reply("resume tone");
  Reply("set tone speed 2000");
  Advance(100);
  EXPECT_EQ(Reply("status tone position"), "300");
  Reply("set tone speed 0");  // ignored: it would never end
  EXPECT_EQ(Reply("status tone speed"), "2000");
  Reply("setaudio tone volume to 5000");
  EXPECT_EQ(Reply("status tone volume"), "1000");
}

TEST_F(MciTest, SamplesAndBytesCountTheFilesOwnFormat) {
  // 22050 samples of 16-bit mono at 22050 Hz: one second, held by the mixer at 44100 Hz.
  const auto half = (dir.path() / "half.wav").string();
  const auto bytes = tvn::testing::WavFile(22050, 1, 16, std::vector<std::int16_t>(22050, 1000));
  std::ofstream(half, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
  Reply("open \"" + half + "\" alias h");
  Reply("set h time format samples");
  EXPECT_EQ(Reply("status h length"), "22050");
  Reply("seek h to 11025");
  EXPECT_EQ(Reply("status h position"), "11025");
  Reply("seek h to end");
  EXPECT_EQ(Reply("status h position"), "22050");
  EXPECT_EQ(Send("seek h to 22051"), MciError::kOutOfRange);
  Reply("play h from 0");
  Advance(250);
  EXPECT_EQ(Reply("status h position"), "5512");
  Reply("stop h");
  Reply("set h time format bytes");
  EXPECT_EQ(Reply("status h time format"), "bytes");
  EXPECT_EQ(Reply("status h length"), "44100");
  EXPECT_EQ(Reply("status h position"), "11024");  // two bytes a sample
  Reply("seek h to 22050");
  Reply("set h time format ms");
  EXPECT_EQ(Reply("status h length"), "1000");
  EXPECT_EQ(Reply("status h position"), "500");
  // 16-bit stereo at 44100 Hz: four bytes a sample.
  Reply("open \"" + wav + "\" alias t");
  Reply("set t time format bytes");
  EXPECT_EQ(Reply("status t length"), "176400");
  Reply("set t time format samples");
  EXPECT_EQ(Reply("status t length"), "44100");
}

// Clips of different sample rates joined end to end (as tools that join
// MP3s write them) play one after the other, each at its own rate: the
// length follows ffmpeg's decode of the clips within a millisecond a clip,
// the sound plays as long as it says, a range inside the second clip plays
// as long as it says, and samples count each clip at its own rate. Two
// joins made here and one made by lame.
TEST_F(MciTest, ASoundWhoseRateChangesPartWayCountsEachPartAtItsOwnRate) {
  if (!tvn::testing::HaveFfmpeg()) GTEST_SKIP() << "no ffmpeg";
  const auto tone = [&](const std::string& name, int rate, int channels, double seconds) {
    const auto path = dir.path() / name;
    EXPECT_TRUE(tvn::testing::RunFfmpeg("-f lavfi -i sine=frequency=440:sample_rate=" + std::to_string(rate) +
                                            ":duration=" + std::to_string(seconds) + " -ac " + std::to_string(channels),
                                        path))
        << name;
    return tvn::testing::ReadFileBytes(path);
  };
  const auto join = [&](const std::string& name, std::vector<std::uint8_t> first, const std::vector<std::uint8_t>& second) {
    first.insert(first.end(), second.begin(), second.end());
    std::ofstream(dir.path() / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(first.data()), static_cast<std::streamsize>(first.size()));
    return dir.path() / name;
  };
  const std::filesystem::path files[] = {
      join("fall.mp3", tone("a.mp3", 44100, 2, 2.5), tone("b.mp3", 11025, 1, 1.6)),
      join("rise.mp3", tone("c.mp3", 22050, 1, 2.0), tone("d.mp3", 44100, 2, 2.0)),
      std::filesystem::path(TVN_TEST_DATA_DIR) / "media" / "j_44k_st_then_11k_m.mp3"};
  for (std::size_t i = 0; i < std::size(files); ++i) {
    const std::filesystem::path& file = files[i];
    SCOPED_TRACE(file.filename().string());
    const auto runs = tvn::testing::SoundRuns(file, dir.path() / "frames.txt");
    ASSERT_EQ(runs.size(), 2u);
    const double firstMs = runs[0].samples * 1000.0 / runs[0].rate;
    const double plays = firstMs + runs[1].samples * 1000.0 / runs[1].rate;
    const std::string m = " m" + std::to_string(i);
    Reply("open \"" + file.string() + "\" alias" + m);
    const DWORD length = std::stoul(Reply("status" + m + " length"));
    EXPECT_NEAR(length, plays, 2.0);

    std::size_t notices = Notices().size();
    Reply("play" + m + " notify");
    Advance(length - 2);
    EXPECT_EQ(Notices().size(), notices);
    Advance(4);
    EXPECT_EQ(Notices().size(), ++notices);
    const DWORD from = length - 600, to = length - 100;
    Reply("play" + m + " from " + std::to_string(from) + " to " + std::to_string(to) + " notify");
    Advance(499);
    EXPECT_EQ(Notices().size(), notices);
    Advance(1);
    ASSERT_EQ(Notices().size(), ++notices);
    EXPECT_EQ(Notices().back().wParam, 1u);
    EXPECT_EQ(Reply("status" + m + " position"), std::to_string(to));

    Reply("set" + m + " time format samples");
    EXPECT_EQ(Reply("status" + m + " length"), std::to_string(runs[0].samples + runs[1].samples));
    Reply("seek" + m + " to " + std::to_string(runs[0].samples));
    Reply("set" + m + " time format ms");
    EXPECT_NEAR(std::stoul(Reply("status" + m + " position")), firstMs, 1.0);
    Reply("close" + m);
  }
}

TEST_F(MciTest, ErrorsHaveTheirNumbersAndTexts) {
  EXPECT_EQ(Send("open \"" + (dir.path() / "missing.wav").string() + "\" type waveaudio"), MciError::kFileNotFound);
  EXPECT_EQ(Send("play nothing"), MciError::kInvalidDeviceName);
  EXPECT_EQ(Send("open \"" + wav + "\" alias a"), 0u);
  EXPECT_EQ(Send("open \"" + wav + "\" alias a"), MciError::kDuplicateAlias);
  EXPECT_EQ(Send("dance a"), MciError::kUnrecognizedCommand);
  EXPECT_EQ(Send("open \"" + wav), MciError::kNoClosingQuote);
  EXPECT_EQ(Send("open x.xyz"), MciError::kInvalidDeviceName);
  EXPECT_EQ(Send("play a from 5000"), MciError::kOutOfRange);
  EXPECT_EQ(Send("set a time format tmsf"), MciError::kBadTimeFormat);
  EXPECT_EQ(Send("record a"), MciError::kUnsupportedFunction);
  for (DWORD code : {261u, 263u, 275u, 289u, 294u}) EXPECT_NE(MciErrorText(code), nullptr) << code;
  EXPECT_EQ(MciErrorText(0), nullptr);
  // A new device opens without a file; "close all" closes everything.
  EXPECT_EQ(Send("open new type waveaudio alias rec"), 0u);
  EXPECT_EQ(Reply("status rec length"), "0");
  EXPECT_EQ(Send("close all"), 0u);
  EXPECT_EQ(Send("status rec mode"), MciError::kInvalidDeviceName);
}

TEST_F(MciTest, WaitEndsAtTheEndWhileTheSoundIsMixedElsewhere) {
  Reply("open \"" + wav + "\" alias tone");
  // Another thread moves the clock on and mixes, as the sound device would.
  std::atomic<bool> done{false};
  std::thread mixer([&] {
    while (!done) {
      clock.Advance(50);
      media.Output().Pump();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  EXPECT_EQ(Send("play tone wait"), 0u);
  done = true;
  mixer.join();
  EXPECT_EQ(Reply("status tone mode"), "stopped");
}
