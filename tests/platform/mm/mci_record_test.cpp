// Recording on the waveaudio device through SDL's capture (its disk driver reads a known file), saving WAV files, and MCI time formats.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/msg/clock.h"
#include "platform/mm/mci_errors.h"
#include "platform/mm/mci_time_format.h"
#include "platform/mm/media_system.h"
#include "platform/mm/wave_recording.h"
#include "tests/platform/mm/mci_string_test.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

using tvn::testing::DiskCapture;
using tvn::testing::TempDir;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::uint32_t Little(const Bytes& b, std::size_t at, int size) {
  std::uint32_t v = 0;
  for (int i = size - 1; i >= 0; --i) v = (v << 8) | b.at(at + static_cast<std::size_t>(i));
  return v;
}

class RecordTest : public MciStringTest {
 protected:
  // Capture runs on SDL's thread: the notices are dispatched until count have come, for 20 s at most.
  bool WaitForNotices(std::size_t count) {
    const DWORD start = SteadyClock().Now();
    while (Notices().size() < count && SteadyClock().Now() - start < 20000) {
      PumpReady();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return Notices().size() >= count;
  }

  TempDir dir;
};

}  // namespace

TEST_F(RecordTest, RecordsWhatTheCaptureDeviceDeliversAndSavesItAsWav) {
  // Two seconds of 16-bit mono at 11025 Hz, every byte known.
  Bytes input(2 * 11025 * 2);
  for (std::size_t i = 0; i < input.size(); ++i) input[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
  const auto inputPath = dir.path() / "capture.raw";
  std::ofstream(inputPath, std::ios::binary).write(reinterpret_cast<const char*>(input.data()),
                                                   static_cast<std::streamsize>(input.size()));
  DiskCapture capture(inputPath.string());

  const std::string id = Reply("open new type waveaudio alias rec");
  Reply("set rec time format ms");
  Reply("set rec bitspersample 16");
  Reply("set rec channels 1");
  Reply("set rec samplespersec 11025");
  EXPECT_EQ(Reply("status rec bytespersec"), "22050");
  Reply("record rec to 500 notify");
  ASSERT_TRUE(WaitForNotices(1));
  EXPECT_EQ(Notices()[0].wParam, 1u);
  EXPECT_EQ(Notices()[0].lParam, static_cast<LPARAM>(std::stoul(id)));
  EXPECT_EQ(Reply("status rec mode"), "stopped");
  EXPECT_EQ(Reply("status rec length"), "500");
  // Recorded sound keeps its format.
  EXPECT_EQ(Send("set rec bitspersample 8"), MciError::kUnsupportedFunction);
  Reply("set rec bitspersample 16");

  const auto target = dir.path() / "Take One.wav";
  std::ofstream(target) << "an earlier take";
  Reply("save rec \"" + target.string() + "\"");
  const Bytes wav = ReadFile(target);
  const std::size_t dataBytes = 5513 * 2;  // 500 ms at 11025 Hz, rounded up to whole samples
  ASSERT_EQ(wav.size(), 44 + dataBytes);
  EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
  EXPECT_EQ(Little(wav, 4, 4), 36 + dataBytes);
  EXPECT_EQ(std::string(wav.begin() + 8, wav.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(Little(wav, 20, 2), 1u);      // PCM
  EXPECT_EQ(Little(wav, 22, 2), 1u);      // mono
  EXPECT_EQ(Little(wav, 24, 4), 11025u);  // samples a second
  EXPECT_EQ(Little(wav, 28, 4), 22050u);  // bytes a second
  EXPECT_EQ(Little(wav, 32, 2), 2u);      // block
  EXPECT_EQ(Little(wav, 34, 2), 16u);     // bits
  EXPECT_EQ(Little(wav, 40, 4), dataBytes);
  EXPECT_TRUE(std::equal(wav.begin() + 44, wav.end(), input.begin()));
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    EXPECT_TRUE(entry.path() == target || entry.path() == inputPath) << "left behind: " << entry.path();

  // What was recorded plays, paced by the mixer like any wave.
  Reply("play rec notify");
  clock.Advance(501);
  media.Output().Pump();
  PumpReady();
  ASSERT_EQ(Notices().size(), 2u);
  EXPECT_EQ(Notices()[1].wParam, 1u);

  // Another recording goes on at the end; stop ends one that has no end of its own.
  Reply("record rec notify");
  EXPECT_EQ(Reply("status rec mode"), "recording");
  Reply("stop rec");
  PumpReady();
  ASSERT_EQ(Notices().size(), 3u);
  EXPECT_EQ(Notices()[2].wParam, 4u);  // aborted
  EXPECT_GE(std::stoul(Reply("status rec length")), 500u);
  Reply("record rec from 250 to 750");  // replaces what followed 250 ms
  Reply("stop rec");
  EXPECT_LE(std::stoul(Reply("status rec length")), 750u);
}

TEST_F(RecordTest, FormatSettingsStatusAndSaveErrors) {
  Reply("open new type waveaudio alias rec");
  // A new device records 8-bit mono at 11025 Hz until told otherwise.
  EXPECT_EQ(Reply("status rec bitspersample"), "8");
  EXPECT_EQ(Reply("status rec samplespersec"), "11025");
  EXPECT_EQ(Reply("status rec channels"), "1");
  EXPECT_EQ(Reply("status rec alignment"), "1");
  EXPECT_EQ(Reply("status rec format tag"), "pcm");
  EXPECT_EQ(Reply("status rec length"), "0");
  EXPECT_EQ(Reply("status rec mode"), "stopped");
  EXPECT_EQ(Reply("capability rec can save"), "true");
  Reply("set rec channels 2");
  Reply("set rec samplespersec 44100");
  EXPECT_EQ(Reply("status rec bytespersec"), "88200");
  struct Row {
    const char* command;
    DWORD error;
  };
  const Row rows[] = {
      {"set rec bitspersample 12", MciError::kOutOfRange},
      {"set rec channels 3", MciError::kOutOfRange},
      {"set rec samplespersec 44k", MciError::kBadInteger},
      {"set rec samplespersec 500", MciError::kOutOfRange},
      {"set rec format tag mpeg", MciError::kBadConstant},
      {"set rec time format samples", MciError::kBadTimeFormat},
      {"set rec time format frames", MciError::kBadTimeFormat},
      {"record rec from 10", MciError::kOutOfRange},  // nothing recorded to start from
      {"record rec to x", MciError::kBadInteger},
      {"save rec", MciError::kFilenameRequired},
      {"save rec nowhere/missing/x.wav", MciError::kFileWrite},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    std::string reply;
    EXPECT_EQ(Send(rows[i].command, &reply), rows[i].error) << "row " << i << ": " << rows[i].command;
  }
  EXPECT_EQ(MciErrorText(MciError::kWaveInputsUnsuitable) != nullptr, true);
  // An empty recording saves as a WAV with no sound.
  const auto target = dir.path() / "empty.wav";
  Reply("save rec \"" + target.string() + "\"");
  const Bytes wav = ReadFile(target);
  ASSERT_EQ(wav.size(), 44u);
  EXPECT_EQ(Little(wav, 22, 2), 2u);
  EXPECT_EQ(Little(wav, 24, 4), 44100u);
  EXPECT_EQ(Little(wav, 40, 4), 0u);
  // A wave file opened for playing knows samples as well as milliseconds, never frames.
  EXPECT_EQ(Send("open new type waveaudio alias other"), 0u);
  EXPECT_EQ(Send("set other time format frames"), MciError::kBadTimeFormat);
}

TEST(WaveRecording, ConvertsToTheMixersFormat) {
  const WaveFormat mono8{11025, 8, 1};
  const Bytes half(11025 / 2, 0xC0);  // 500 ms at +64 of 128
  CPcmBuffer pcm;
  WaveToPcm(mono8, half.data(), half.size(), pcm);
  EXPECT_EQ(pcm.Frames(), 22048u);
  EXPECT_EQ(pcm.samples[0], 64 * 256);
  EXPECT_EQ(pcm.samples[1], 64 * 256);
  const WaveFormat stereo16{22050, 16, 2};
  const Bytes frame = {0x10, 0x00, 0xF0, 0xFF, 0x10, 0x00, 0xF0, 0xFF, 0x01};  // two frames and a stray byte
  WaveToPcm(stereo16, frame.data(), frame.size(), pcm);
  ASSERT_EQ(pcm.Frames(), 4u);
  EXPECT_EQ(pcm.samples[2], 16);
  EXPECT_EQ(pcm.samples[3], -16);
  EXPECT_EQ(WaveFramesForMs(mono8, 500), 5513u);
  EXPECT_EQ(WaveMsForFrames(mono8, 5513), 500u);
  // An odd number of data bytes is padded in the file, not in the data chunk's length.
  const std::string file = WaveFileBytes(mono8, frame.data(), 3);
  EXPECT_EQ(file.size(), 48u);
  EXPECT_EQ(static_cast<unsigned char>(file[40]), 3u);
}

TEST(MciTimeFormat, ColonFormsReadAndWrite) {
  struct Row {
    const char* text;
    bool ok;
    DWORD packed;
    const char* printed;
  };
  const Row tmsf[] = {
      {"2", true, 0x00000002, "02:00:00:00"},      {"2:30", true, 0x00001E02, "02:30:00:00"},
      {"1:2:3:4", true, 0x04030201, "01:02:03:04"}, {"99:255:59:74", true, 0x4A3BFF63, "99:255:59:74"},
      {"1:2:60", false, 0, ""},                    {"1:2:3:75", false, 0, ""},
      {"1:2:3:4:5", false, 0, ""},                 {"1::3", false, 0, ""},
      {"", false, 0, ""},                          {"256", false, 0, ""},
      {"1:x", false, 0, ""},                       {"0001", false, 0, ""},
  };
  for (std::size_t i = 0; i < std::size(tmsf); ++i) {
    DWORD packed = 0;
    ASSERT_EQ(ParseTmsf(tmsf[i].text, packed), tmsf[i].ok) << "row " << i;
    if (!tmsf[i].ok) continue;
    EXPECT_EQ(packed, tmsf[i].packed) << "row " << i;
    EXPECT_EQ(FormatTmsf(packed), tmsf[i].printed) << "row " << i;
  }
  DWORD packed = 0;
  ASSERT_TRUE(ParseMsf("3:15:74", packed));
  EXPECT_EQ(FormatMsf(packed), "03:15:74");
  EXPECT_FALSE(ParseHms("1:60", packed));
  ASSERT_TRUE(ParseHms("1:02:03", packed));
  EXPECT_EQ(FormatHms(packed), "01:02:03");
}

TEST(MciTimeFormat, FramesMillisecondsAndTheFormatsADeviceAllows) {
  // A video's time line in milliseconds at 10 frames a second, frames its default.
  CMciTimeFormat video(1000, MciTimeUnit::frames, {MciTimeUnit::milliseconds, MciTimeUnit::hms});
  video.SetRate(MciTimeUnit::frames, 10);
  EXPECT_STREQ(video.Name(), "frames");
  std::uint64_t ms = 0;
  ASSERT_EQ(video.Parse("5", ms), 0u);
  EXPECT_EQ(ms, 500u);
  EXPECT_EQ(video.Format(250), "2");
  EXPECT_EQ(video.Parse("5x", ms), MciError::kBadInteger);
  CMciCommand set;
  ASSERT_EQ(ParseMciCommand("set v time format ms", set), 0u);
  EXPECT_EQ(video.Set(set), 0u);
  EXPECT_STREQ(video.Name(), "milliseconds");
  EXPECT_EQ(video.Format(1234), "1234");
  ASSERT_EQ(ParseMciCommand("set v time format hms", set), 0u);
  EXPECT_EQ(video.Set(set), 0u);
  EXPECT_EQ(video.Format(3723999), "01:02:03");
  ASSERT_EQ(video.Parse("0:1:30", ms), 0u);
  EXPECT_EQ(ms, 90000u);
  ASSERT_EQ(ParseMciCommand("set v time format tmsf", set), 0u);
  EXPECT_EQ(video.Set(set), MciError::kBadTimeFormat);  // not one of this device's
  ASSERT_EQ(ParseMciCommand("set v time format weeks", set), 0u);
  EXPECT_EQ(video.Set(set), MciError::kBadTimeFormat);
  ASSERT_EQ(ParseMciCommand("set v time", set), 0u);
  EXPECT_EQ(video.Set(set), MciError::kMissingParameter);

  // NTSC video: every frame number survives the trip to the device's units and back.
  CMciTimeFormat ntsc(1000, MciTimeUnit::frames, {});
  ntsc.SetRate(MciTimeUnit::frames, 30000, 1001);
  for (std::uint64_t frame = 0; frame < 500; ++frame) {
    ASSERT_EQ(ntsc.Parse(std::to_string(frame), ms), 0u);
    ASSERT_EQ(ntsc.Format(ms), std::to_string(frame)) << "frame " << frame;
  }
  // CD positions need a track table, which a device without tracks has not.
  CMciTimeFormat cd(1000, MciTimeUnit::tmsf, {MciTimeUnit::msf});
  EXPECT_EQ(cd.Parse("1:0:2:0", ms), MciError::kBadTimeFormat);
  ASSERT_EQ(ParseMciCommand("set cd time format msf", set), 0u);
  ASSERT_EQ(cd.Set(set), 0u);
  ASSERT_EQ(cd.Parse("1:02:15", ms), 0u);
  EXPECT_EQ(ms, 62200u);
  EXPECT_EQ(cd.Format(ms), "01:02:15");
}
