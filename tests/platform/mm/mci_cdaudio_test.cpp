// The cdaudio device on images the tests write: the track table and its checks, time formats, ranges, pause, stop, door.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>
#include <utility>

#include "platform/mm/cd_disc.h"
#include "platform/mm/cd_track_table.h"
#include "platform/mm/mci_errors.h"
#include "tests/platform/mm/mci_string_test.h"
#include "tests/support/cd_image_writer.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

using namespace tvn::testing;

namespace {

constexpr std::int16_t kFirst = 1200;
constexpr std::int16_t kSecond = -2400;

// The values that sounded, each with its count of frames, in order; silence left out.
std::vector<std::pair<std::int16_t, std::size_t>> SoundRuns(const std::vector<std::int16_t>& samples) {
  std::vector<std::pair<std::int16_t, std::size_t>> runs;
  for (std::size_t i = 0; i + 1 < samples.size(); i += 2) {
    if (samples[i] == 0 && samples[i + 1] == 0) continue;
    EXPECT_EQ(samples[i], samples[i + 1]) << "frame " << i / 2;
    if (runs.empty() || runs.back().first != samples[i]) runs.push_back({samples[i], 0});
    ++runs.back().second;
  }
  return runs;
}

class CdAudioTest : public MciStringTest {
 protected:
  CdAudioTest() : config("XDG_CONFIG_HOME", (dir / "config").string()) {
    image = WriteCdImage(dir.path(), "disc", {{225, kFirst}, {150, kSecond}});
  }

  // The runtime's profile names the source of the next open.
  void UseSource(const std::string& source) {
    std::filesystem::create_directories(dir / "config" / "tavelon");
    std::ofstream(dir / "config" / "tavelon" / "tvnrun.ini") << "[MCI]\r\nCDAudio=" << source << "\r\n";
  }

  // Time passes until a notice arrives; the reader thread is given turns on the way.
  void PlayToNotice() {
    for (int i = 0; i < 20000 && Notices().empty(); ++i) {
      Advance(10);
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
  }

  // Until the position moves past the one given (in the time format set).
  std::string AdvancePast(const std::string& position) {
    std::string now = position;
    for (int i = 0; i < 20000 && now == position; ++i) {
      Advance(10);
      std::this_thread::sleep_for(std::chrono::microseconds(200));
      now = Reply("status cd position");
    }
    return now;
  }

  TempDir dir;
  ScopedEnv config;
  std::filesystem::path image;
};

}  // namespace

TEST_F(CdAudioTest, TrackTableInMsfTmsfAndMilliseconds) {
  UseSource(image.string());
  Reply("open cdaudio alias cd");
  EXPECT_EQ(Reply("status cd number of tracks"), "2");
  EXPECT_EQ(Reply("status cd time format"), "msf");
  // Disc addresses count the two seconds before the first track.
  EXPECT_EQ(Reply("status cd length track 1"), "00:03:00");
  EXPECT_EQ(Reply("status cd position track 1"), "00:02:00");
  EXPECT_EQ(Reply("status cd position track 2"), "00:05:00");
  EXPECT_EQ(Reply("status cd length"), "00:05:00");
  EXPECT_EQ(Reply("status cd position"), "00:02:00");
  EXPECT_EQ(Reply("status cd media present"), "true");

  Reply("set cd time format tmsf");
  Reply("seek cd to 2:0:1");
  EXPECT_EQ(Reply("status cd position"), "02:00:01:00");
  EXPECT_EQ(Reply("status cd length track 2"), "00:02:00");  // a length has no track
  EXPECT_EQ(Reply("status cd position track 2"), "02:00:00:00");
  Reply("seek cd to 2:0:2");  // the disc's very end
  EXPECT_EQ(Reply("status cd position"), "02:00:02:00");
  // Past the disc, a track it lacks, a number that is none.
  EXPECT_EQ(Send("seek cd to 2:0:2:1"), MciError::kOutOfRange);
  EXPECT_EQ(Send("seek cd to 1:2:0"), MciError::kOutOfRange);
  EXPECT_EQ(Send("seek cd to 3:0:0"), MciError::kOutOfRange);
  EXPECT_EQ(Send("play cd from 0:0:0"), MciError::kOutOfRange);
  EXPECT_EQ(Send("status cd length track 3"), MciError::kOutOfRange);
  EXPECT_EQ(Send("status cd length track one"), MciError::kBadInteger);
  EXPECT_EQ(Send("set cd time format samples"), MciError::kBadTimeFormat);
  EXPECT_EQ(Reply("status cd position"), "02:00:02:00");

  Reply("set cd time format msf");
  EXPECT_EQ(Send("seek cd to 0:7:1"), MciError::kOutOfRange);
  Reply("seek cd to 0:6:1");
  Reply("set cd time format milliseconds");
  EXPECT_EQ(Reply("status cd position"), "6013");
  EXPECT_EQ(Reply("status cd length track 1"), "3000");
  // An image has no door: it stays where it is.
  Reply("set cd door open");
  EXPECT_EQ(Reply("status cd media present"), "true");
  EXPECT_EQ(Reply("status cd mode"), "stopped");
  EXPECT_EQ(Send("record cd"), MciError::kUnsupportedFunction);

  // The BIN file opens as well; a missing image does not.
  UseSource((dir / "disc.bin").string());
  Reply("open cdaudio alias bin");
  EXPECT_EQ(Reply("status bin number of tracks"), "2");
  UseSource((dir / "gone.cue").string());
  EXPECT_EQ(Send("open cdaudio alias gone"), MciError::kFileNotFound);
  // Sheets that give no usable table: noise, and tracks that go backwards.
  std::ofstream(dir / "noise.cue") << "\x01\xFFTRACK 99 AUDIO\nINDEX 01 99:99:99\n";
  UseSource((dir / "noise.cue").string());
  EXPECT_EQ(Send("open cdaudio alias noise"), MciError::kInvalidFile);
  std::ofstream(dir / "back.cue") << "FILE \"disc.bin\" BINARY\n TRACK 01 AUDIO\n  INDEX 01 00:03:00\n"
                                  << " TRACK 02 AUDIO\n  INDEX 01 00:01:00\n";
  UseSource((dir / "back.cue").string());
  EXPECT_EQ(Send("open cdaudio alias back"), MciError::kInvalidFile);
}

TEST_F(CdAudioTest, WithoutProfileEntryOrDriveThereIsNoDevice) {
  std::unique_ptr<CCdDisc> drive;
  if (CCdDisc::Open("", drive) == 0) GTEST_SKIP() << "this machine has a CD drive";
  EXPECT_EQ(Send("open cdaudio alias cd"), MciError::kCannotLoadDriver);
  EXPECT_EQ(Send("open \"" + (dir / "Track01.cda").string() + "\""), MciError::kFileNotFound);
  std::ofstream(dir / "Track01.cda") << "x";
  EXPECT_EQ(Send("open \"" + (dir / "Track01.cda").string() + "\""), MciError::kCannotLoadDriver);
  UseSource("");
  EXPECT_EQ(Send("open cdaudio alias cd"), MciError::kCannotLoadDriver);
}

TEST_F(CdAudioTest, ARangeAcrossTwoTracksSoundsAndNotifiesOnce) {
  UseSource(image.string());
  Reply("open cdaudio alias cd");
  Reply("set cd time format tmsf");
  Reply("play cd from 1:0:1 to 2:0:1 notify");
  PlayToNotice();
  const auto notices = Notices();
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].wParam, MciNotify::kSuccessful);
  const auto runs = SoundRuns(media.Output().Recorded());
  const decltype(runs) expected{{kFirst, 2 * 44100}, {kSecond, 44100}};
  EXPECT_EQ(runs, expected);
  EXPECT_EQ(Reply("status cd position"), "02:00:01:00");
  EXPECT_EQ(Reply("status cd mode"), "stopped");
}

TEST_F(CdAudioTest, PauseAndResumeKeepThePositionAndStopAborts) {
  UseSource(image.string());
  Reply("open cdaudio alias cd");
  Reply("set cd time format milliseconds");
  Reply("play cd from 2000 notify");
  const std::string moved = AdvancePast("2000");
  Reply("pause cd");
  EXPECT_EQ(Reply("status cd mode"), "paused");
  const std::string paused = Reply("status cd position");
  EXPECT_GT(std::stoul(paused), std::stoul(moved) - 1);
  Advance(1000);
  EXPECT_EQ(Reply("status cd position"), paused);
  Reply("resume cd");
  EXPECT_EQ(Reply("status cd mode"), "playing");
  const std::string resumed = AdvancePast(paused);
  EXPECT_GT(std::stoul(resumed), std::stoul(paused));
  EXPECT_TRUE(Notices().empty());
  Reply("stop cd");
  PumpReady();
  const auto notices = Notices();
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].wParam, MciNotify::kAborted);
  const std::string stopped = Reply("status cd position");
  Advance(1000);
  EXPECT_EQ(Reply("status cd position"), stopped);
  EXPECT_EQ(Reply("status cd mode"), "stopped");
}

TEST_F(CdAudioTest, ADataTrackIsSilence) {
  UseSource(WriteCdImage(dir.path(), "mixed", {{75, kFirst}, {75, 0x7F, false}, {75, kSecond}}).string());
  Reply("open cdaudio alias cd");
  Reply("play cd notify");
  PlayToNotice();
  ASSERT_EQ(Notices().size(), 1u);
  const auto runs = SoundRuns(media.Output().Recorded());
  const decltype(runs) expected{{kFirst, 44100}, {kSecond, 44100}};
  EXPECT_EQ(runs, expected);
  EXPECT_EQ(Reply("status cd position"), "00:05:00");
}

TEST(CdTrackTable, OnlyTablesThatMakeSenseAreUsed) {
  const auto make = [](std::vector<CdTrack> tracks, std::int64_t leadout) {
    return CCdTrackTable::Make(std::move(tracks), leadout).has_value();
  };
  EXPECT_TRUE(make({{1, 0, true}, {2, 225, false}}, 375));
  EXPECT_TRUE(make({{98, 0, true}, {99, 10, true}}, 20));
  EXPECT_FALSE(make({}, 375));
  EXPECT_FALSE(make({{0, 0, true}}, 375));                     // no track 0
  EXPECT_FALSE(make({{99, 0, true}, {100, 10, true}}, 20));    // nor 100
  EXPECT_FALSE(make({{1, 0, true}, {3, 10, true}}, 20));       // numbers follow on
  EXPECT_FALSE(make({{1, 10, true}, {2, 10, true}}, 20));      // starts ascend
  EXPECT_FALSE(make({{1, 10, true}, {2, 5, true}}, 20));
  EXPECT_FALSE(make({{1, -1, true}}, 20));                     // inside the disc
  EXPECT_FALSE(make({{1, 0, true}, {2, 20, true}}, 20));
  // Positions are 64-bit: a disc far longer than any CD still counts right.
  const auto huge = CCdTrackTable::Make({{1, 0, true}, {2, 0x7FFFFF00, true}}, 0x7FFFFFFF);
  ASSERT_TRUE(huge);
  EXPECT_EQ(huge->DiscEnd(), (0x7FFFFFFFull + 150) * 588);
  EXPECT_EQ(huge->FormatTmsf(huge->DiscEnd()), "02:00:03:30");
  EXPECT_EQ(huge->FormatTmsf(huge->StartFrame(huge->Tracks()[1]) - 1), "01:255:59:74");
}
