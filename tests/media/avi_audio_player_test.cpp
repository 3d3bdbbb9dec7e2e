// The AVI sound clock: what is heard, one device buffer behind what the mixer has consumed.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "media/avi_audio_player.h"
#include "platform/mm/audio_output.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

using namespace tvn::testing;

namespace {

constexpr std::size_t kBuffer = 1024;  // the frames of one sound-card callback

AviAudioStream SilentStream() {
  AviAudioStream stream;
  stream.sampleSize = 2;
  stream.samplesPerSec = 22050;
  stream.lengthSamples = 4 * 22050;
  auto pcm = std::make_shared<CPcmBuffer>();
  pcm->samples.assign(4 * 44100 * 2, 0);
  stream.sound = pcm;
  return stream;
}

LONG MsOf(std::size_t frames) { return static_cast<LONG>(MulDivRound(static_cast<DWORD>(frames), 1000, 44100)); }

}  // namespace

TEST(AviAudioClock, HeardPositionTrailsTheDeviceBufferOnAHandDrivenClock) {
  CManualClock clock(0);
  CAudioMixer mixer;
  mixer.SetDeviceClock(&clock);
  CAviAudioPlayer player(&mixer);
  ASSERT_TRUE(player.PlayAviAudio(nullptr, SilentStream(), 11025));  // from 500 ms
  std::vector<std::int16_t> buffer(kBuffer * 2);
  const auto callback = [&] { mixer.Mix(buffer.data(), kBuffer); };

  callback();
  EXPECT_EQ(mixer.UnplayedFrames(), kBuffer);
  EXPECT_EQ(player.GetAviAudioTime(), 500);  // the whole buffer still to be heard: never before the start
  clock.Advance(10);
  EXPECT_EQ(player.GetAviAudioTime(), 500 + MsOf(441));  // advances with the clock
  clock.Advance(30);
  EXPECT_EQ(player.GetAviAudioTime(), 500 + MsOf(kBuffer));  // never past the frames handed over
  EXPECT_EQ(mixer.UnplayedFrames(), 0u);

  // Callbacks at irregular times: exactly one buffer behind right after each,
  // and the clock never goes back in between.
  LONG last = player.GetAviAudioTime();
  std::size_t consumed = kBuffer;
  for (int i = 0; i < 40; ++i) {
    clock.Advance(static_cast<DWORD>(i % 3 == 0 ? 30 : 7 + i % 11));
    const LONG before = player.GetAviAudioTime();
    EXPECT_GE(before, last);
    callback();
    consumed += kBuffer;
    const DWORD unplayed = mixer.UnplayedFrames();
    EXPECT_GE(unplayed, kBuffer);
    const LONG after = player.GetAviAudioTime();
    EXPECT_EQ(after, before) << i;  // a handover moves nothing that is heard
    EXPECT_EQ(after, 500 + MsOf(consumed - unplayed)) << i;
    if (unplayed == kBuffer) {
      EXPECT_EQ(after, 500 + MsOf(consumed - kBuffer)) << i;
    }
    last = after;
  }

  // The silent and recording sinks play what they mix at once.
  CAudioOutput recording(clock, CAudioOutput::Mode::recording);
  CAviAudioPlayer recorded(&recording.Mixer());
  ASSERT_TRUE(recorded.PlayAviAudio(nullptr, SilentStream()));
  clock.Advance(100);
  recording.Pump();
  EXPECT_EQ(recording.UnplayedFrames(), 0u);
  EXPECT_EQ(recorded.GetAviAudioTime(), 100);
}

TEST(AviAudioClock, TheDiskDriversFirstBufferIsNotHeardWhenItIsHandedOver) {
  TempDir dir;
  ScopedEnv driver("SDL_AUDIODRIVER", "disk");
  ScopedEnv file("SDL_DISKAUDIOFILE", (dir.path() / "out.raw").string());
  ScopedEnv delay("SDL_DISKAUDIODELAY", "23");  // a callback each buffer's length
  CManualClock clock(0);  // the device's frames are played only as this clock says
  CAudioOutput output(clock, CAudioOutput::Mode::device);
  if (output.GetMode() != CAudioOutput::Mode::device) GTEST_SKIP() << "SDL's disk driver did not open";
  CAviAudioPlayer player(&output.Mixer());
  const DWORD before = output.UnplayedFrames();
  ASSERT_TRUE(player.PlayAviAudio(nullptr, SilentStream()));
  // Two callbacks on, the voice has surely been mixed once (generous bounds:
  // the machine may be busy). The clock stands still, so it is not heard yet.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (output.UnplayedFrames() < before + 2 * kBuffer && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ASSERT_GE(output.UnplayedFrames(), before + 2 * kBuffer);
  const LONG heard = player.GetAviAudioTime();
  EXPECT_GE(heard, 0);
  EXPECT_LT(heard, 23);
}
