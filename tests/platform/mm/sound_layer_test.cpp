// The media layer under MCI: decoding through a byte source, the mixer's voices, the paced output and the sound library.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/mm/audio_mixer.h"
#include "platform/mm/audio_output.h"
#include "platform/msg/clock.h"
#include "platform/mm/media_decoder.h"
#include "platform/mm/media_ids.h"
#include "platform/mm/media_source.h"
#include "platform/mm/sound_library.h"
#include "tests/support/ffmpeg_media.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wav_writer.h"

using tvn::testing::TempDir;
using tvn::testing::ToneWav;
using tvn::testing::WavFile;

namespace {

std::shared_ptr<CPcmBuffer> Constant(DWORD frames, std::int16_t left, std::int16_t right) {
  auto pcm = std::make_shared<CPcmBuffer>();
  for (DWORD i = 0; i < frames; ++i) {
    pcm->samples.push_back(left);
    pcm->samples.push_back(right);
  }
  return pcm;
}

DecodeResult Decode(std::vector<std::uint8_t> bytes, CPcmBuffer& out, MediaInfo* info = nullptr,
                    DecodeLimits limits = {}) {
  CMemoryByteSource source(std::move(bytes), "x.wav");
  return DecodeSound(source, limits, out, info);
}

// Debian's ffmpeg makes compressed media at test time; without it those cases are skipped.
bool MakeWithFfmpeg(const std::filesystem::path& out, const std::string& args) {
  const std::string command = "ffmpeg -nostdin -loglevel error -y -f lavfi -i sine=frequency=440:duration=1 " + args +
                              " '" + out.string() + "' >/dev/null 2>&1";
  return std::system(command.c_str()) == 0 && std::filesystem::exists(out);
}

}  // namespace

TEST(MediaIds, NeverZeroAndNeverRepeated) {
  CMediaIds ids;
  const DWORD a = ids.Next();
  const DWORD b = ids.Next();
  EXPECT_NE(a, 0u);
  EXPECT_NE(a, b);
}

TEST(SoundDecoder, WavFilesOfEveryShapeBecomeStereoAt44100) {
  struct Row {
    std::uint32_t rate;
    std::uint16_t channels;
    std::uint16_t bits;
  };
  const Row rows[] = {{44100, 2, 16}, {11025, 1, 8}, {22050, 1, 16}, {48000, 2, 16}};
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const Row& r = rows[i];
    std::vector<std::int16_t> samples(static_cast<std::size_t>(r.rate) * r.channels, 4000);
    CPcmBuffer pcm;
    MediaInfo info;
    ASSERT_EQ(Decode(WavFile(r.rate, r.channels, r.bits, samples), pcm, &info), DecodeResult::ok) << "row " << i;
    EXPECT_NEAR(static_cast<double>(pcm.Frames()), 44100.0, 64.0) << "row " << i;
    EXPECT_TRUE(info.hasAudio);
    EXPECT_EQ(info.formatName, "wav");
    // The middle of a constant sound keeps its level on both sides.
    EXPECT_NEAR(pcm.samples[pcm.samples.size() / 2], 4000, r.bits == 8 ? 200 : 2) << "row " << i;
  }
}

TEST(SoundDecoder, DamagedAndForeignBytesFailWithoutCrashing) {
  std::vector<std::uint8_t> wav = ToneWav(200);
  CPcmBuffer pcm;
  // Every cut of the header, and noise, either fails cleanly or keeps what came before the cut.
  for (std::size_t cut : {0u, 4u, 12u, 20u, 36u, 44u}) {
    std::vector<std::uint8_t> part(wav.begin(), wav.begin() + static_cast<std::ptrdiff_t>(cut));
    const DecodeResult result = Decode(part, pcm);
    EXPECT_TRUE(result == DecodeResult::unreadable || result == DecodeResult::ok || result == DecodeResult::noSound)
        << "cut " << cut;
  }
  std::vector<std::uint8_t> noise(5000);
  for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<std::uint8_t>(i * 2654435761u >> 13);
  EXPECT_NE(Decode(noise, pcm), DecodeResult::ok);
  EXPECT_TRUE(pcm.samples.empty());
  // Past the caps: too large, nothing kept.
  DecodeLimits limits;
  limits.maxSeconds = 0;
  EXPECT_EQ(Decode(ToneWav(200), pcm, nullptr, limits), DecodeResult::tooLarge);
  limits = {};
  limits.maxChannels = 1;
  EXPECT_EQ(Decode(ToneWav(200), pcm, nullptr, limits), DecodeResult::tooLarge);
}

TEST(SoundDecoder, CompressedSoundMadeByFfmpeg) {
  TempDir dir;
  for (const char* name : {"tone.mp3", "tone.ogg"}) {
    const auto path = dir.path() / name;
    if (!MakeWithFfmpeg(path, std::string(name).ends_with(".ogg") ? "-c:a libvorbis" : "")) GTEST_SKIP() << "no ffmpeg";
    auto source = CFileByteSource::Open(CString(path.string()));
    ASSERT_TRUE(source);
    CPcmBuffer pcm;
    ASSERT_EQ(DecodeSound(*source, {}, pcm), DecodeResult::ok) << name;
    EXPECT_NEAR(pcm.LengthMs(), 1000.0, 60.0) << name;
  }
}

TEST(SoundDecoder, SoundWhoseChannelsChangePartWayPlaysThrough) {
  // Two MP3s, stereo then mono, laid end to end as tools that join clips write them: a plain file, the
  // same frames in a WAV file, and a join found by fuzzing. Each decodes to its end, and the mono part
  // stands at its own level on both sides.
  if (!tvn::testing::HaveFfmpeg()) GTEST_SKIP() << "no ffmpeg";
  TempDir dir;
  const auto stereo = dir.path() / "stereo.mp3";
  const auto mono = dir.path() / "mono.mp3";
  ASSERT_TRUE(tvn::testing::RunFfmpeg("-f lavfi -i sine=frequency=440:duration=1 -ac 2", stereo));
  ASSERT_TRUE(tvn::testing::RunFfmpeg("-f lavfi -i sine=frequency=660:duration=1 -ac 1", mono));
  const auto joined = dir.path() / "joined.mp3";
  std::vector<std::uint8_t> bytes = tvn::testing::ReadFileBytes(stereo);
  const std::vector<std::uint8_t> second = tvn::testing::ReadFileBytes(mono);
  bytes.insert(bytes.end(), second.begin(), second.end());
  std::ofstream(joined, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  const auto wav = dir.path() / "joined.wav";
  ASSERT_TRUE(tvn::testing::RunFfmpeg("-i '" + joined.string() + "' -c:a copy", wav));
  const std::filesystem::path files[] = {joined, wav,
                                         std::filesystem::path(TVN_TEST_DATA_DIR) / "media" / "concat_stereo_then_mono.mp3"};
  for (std::size_t i = 0; i < std::size(files); ++i) {
    // As long as ffmpeg's own decode of the file.
    const auto raw = dir.path() / "decoded.raw";
    ASSERT_TRUE(tvn::testing::RunFfmpeg("-i '" + files[i].string() + "' -f s16le -ac 2 -ar 44100", raw)) << "row " << i;
    const double ms = static_cast<double>(std::filesystem::file_size(raw)) / 4 / 44.1;
    auto source = CFileByteSource::Open(CString(files[i].string()));
    ASSERT_TRUE(source) << "row " << i;
    CPcmBuffer pcm;
    ASSERT_EQ(DecodeSound(*source, {}, pcm), DecodeResult::ok) << "row " << i;
    EXPECT_NEAR(pcm.LengthMs(), ms, 30.0) << "row " << i;
    EXPECT_GT(ms, i < 2 ? 1900.0 : 600.0) << "row " << i;
    ASSERT_GT(pcm.Frames(), 4410u) << "row " << i;
    // The last tenth of a second is mono: the same on both sides, and not silent.
    int loudest = 0;
    for (std::size_t s = pcm.samples.size() - 2 * 4410; s + 1 < pcm.samples.size(); s += 2) {
      EXPECT_EQ(pcm.samples[s], pcm.samples[s + 1]) << "row " << i << " sample " << s / 2;
      loudest = std::max(loudest, std::abs(pcm.samples[s]));
      if (pcm.samples[s] != pcm.samples[s + 1]) break;
    }
    EXPECT_GT(loudest, 1000) << "row " << i;
  }
}

TEST(AudioMixer, VoicesSumWithGainBalanceAndClipping) {
  CAudioMixer mixer;
  CAudioMixer::VoiceSettings half;
  half.gain = 0.5f;
  mixer.Start(Constant(100, 10000, 10000), half, nullptr);
  CAudioMixer::VoiceSettings right;
  right.balance = 1.0f;  // the left side silent
  mixer.Start(Constant(100, 3000, 3000), right, nullptr);
  std::vector<std::int16_t> out(20);
  mixer.Mix(out.data(), 10);
  EXPECT_EQ(out[0], 5000);
  EXPECT_EQ(out[1], 8000);
  // Loud voices clip at the limits instead of wrapping.
  CAudioMixer loud;
  loud.Start(Constant(10, 30000, -30000), {}, nullptr);
  loud.Start(Constant(10, 30000, -30000), {}, nullptr);
  loud.Mix(out.data(), 10);
  EXPECT_EQ(out[0], 32767);
  EXPECT_EQ(out[1], -32768);
}

TEST(AudioMixer, PositionCountsFramesConsumedAndTheEndRunsOnce) {
  CAudioMixer mixer;
  int ends = 0;
  CAudioMixer::VoiceSettings range;
  range.from = 10;
  range.to = 60;
  const DWORD voice = mixer.Start(Constant(100, 1, 1), range, [&] { ++ends; });
  std::vector<std::int16_t> out(2 * 30);
  mixer.Mix(out.data(), 30);
  EXPECT_EQ(mixer.Position(voice), 40u);
  mixer.SetPaused(voice, true);
  mixer.Mix(out.data(), 30);
  EXPECT_EQ(mixer.Position(voice), 40u);
  EXPECT_EQ(out[0], 0);
  mixer.SetPaused(voice, false);
  mixer.Mix(out.data(), 30);  // 20 frames left: the rest is silence
  EXPECT_EQ(out[2 * 19], 1);
  EXPECT_EQ(out[2 * 20], 0);
  EXPECT_EQ(ends, 1);
  EXPECT_FALSE(mixer.Position(voice).has_value());
  mixer.Mix(out.data(), 30);
  EXPECT_EQ(ends, 1);
  // A stopped voice never runs its end.
  const DWORD stopped = mixer.Start(Constant(10, 1, 1), {}, [&] { ++ends; });
  EXPECT_TRUE(mixer.Stop(stopped));
  mixer.Mix(out.data(), 30);
  EXPECT_EQ(ends, 1);
}

TEST(AudioMixer, RateConsumesFasterAndIgnoresNonPositiveRates) {
  CAudioMixer mixer;
  CAudioMixer::VoiceSettings fast;
  fast.rate = 1.5;
  const DWORD voice = mixer.Start(Constant(1000, 100, 100), fast, nullptr);
  std::vector<std::int16_t> out(2 * 100);
  mixer.Mix(out.data(), 100);
  EXPECT_EQ(mixer.Position(voice), 150u);
  mixer.SetRate(voice, 0.0);
  mixer.SetRate(voice, -2.0);
  mixer.Mix(out.data(), 100);
  EXPECT_EQ(mixer.Position(voice), 300u);
}

TEST(AudioMixer, LevelsFromHundredthsOfADecibel) {
  EXPECT_FLOAT_EQ(LevelsFromAttenuation(0, 0).gain, 1.0f);
  EXPECT_NEAR(LevelsFromAttenuation(-2000, 0).gain, 0.1f, 1e-6);
  EXPECT_FLOAT_EQ(LevelsFromAttenuation(-10000, 0).gain, 0.0f);
  EXPECT_FLOAT_EQ(LevelsFromAttenuation(500, 0).gain, 1.0f);  // louder than unity is held there
  EXPECT_NEAR(LevelsFromAttenuation(0, 2000).balance, 0.9f, 1e-6);  // the left side at a tenth
  EXPECT_NEAR(LevelsFromAttenuation(0, -10000).balance, -1.0f, 1e-4);
}

TEST(AudioOutput, RecordingMixesExactlyWhatTheClockSaysIsDue) {
  CManualClock clock(500);
  CAudioOutput output(clock, CAudioOutput::Mode::recording);
  output.Mixer().Start(Constant(44100, 7, 7), {}, nullptr);
  EXPECT_EQ(output.Pump(), 0u);
  clock.Advance(10);
  EXPECT_EQ(output.Pump(), 441u);
  clock.Advance(990);
  EXPECT_EQ(output.Pump(), 43659u);
  const auto recorded = output.Recorded();
  ASSERT_EQ(recorded.size(), 2u * 44100);
  EXPECT_EQ(recorded.back(), 7);
  EXPECT_EQ(output.Mixer().VoiceCount(), 0u);
}

TEST(SoundLibrary, EntryPointsBoundByNameAndSwitchedOff) {
  CMediaIds ids;
  CManualClock clock;
  CAudioOutput output(clock, CAudioOutput::Mode::recording);
  CSoundLibrary library(ids, output.Mixer(), {});
  library.SetSourceOpener([](const CString&) -> std::unique_ptr<IMediaByteSource> {
    return std::make_unique<CMemoryByteSource>(ToneWav(1000), "tone.wav");
  });
  CSoundLibrary::OpenProc open = nullptr;
  CSoundLibrary::GetDataProc getData = nullptr;
  ASSERT_TRUE(library.Bind("OpenDirectSound", open));
  ASSERT_TRUE(library.Bind("GetDataDirectSound", getData));
  CSoundLibrary::FreeProc missing = nullptr;
  EXPECT_FALSE(library.Bind("NoSuchEntry", missing));
  const DWORD handle = open(library, nullptr, "tone.wav", 0);
  ASSERT_NE(handle, 0u);
  double length = 0, second = 0;
  getData(library, handle, &length, &second);
  EXPECT_DOUBLE_EQ(length, 1.0);
  // The last user releases every sound.
  library.AddUser();
  library.RemoveUser();
  EXPECT_EQ(library.SoundCount(), 0u);
  library.SetPresent(false);
  EXPECT_FALSE(library.Bind("OpenDirectSound", open));
}
