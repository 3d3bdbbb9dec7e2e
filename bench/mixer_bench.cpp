// The mixer: one second of 44.1 kHz stereo mixed from 16 voices at the normal rate and at 1.5
// (targets: under 2 ms and under 10 ms); CD sound from a disc image through libcdio into the mixer, the
// reader thread's work counted with the mixing (target: under 1 ms of CPU a second of sound).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <thread>

#include "platform/mm/audio_mixer.h"
#include "platform/mm/cd_audio_stream.h"
#include "platform/mm/cd_disc.h"
#include "tests/support/cd_image_writer.h"
#include "tests/support/temp_dir.h"

namespace {

std::shared_ptr<CPcmBuffer> Tone(DWORD frames, int voice) {
  auto pcm = std::make_shared<CPcmBuffer>();
  pcm->samples.resize(static_cast<std::size_t>(frames) * 2);
  for (DWORD i = 0; i < frames; ++i) {
    const auto v = static_cast<std::int16_t>(2000 * std::sin(0.01 * (voice + 1) * i));
    pcm->samples[2 * i] = v;
    pcm->samples[2 * i + 1] = static_cast<std::int16_t>(-v);
  }
  return pcm;
}

void BM_MixSecondOf16Voices(benchmark::State& state) {
  const double rate = static_cast<double>(state.range(0)) / 100.0;
  // Long enough for a second at the fastest rate.
  std::vector<std::shared_ptr<CPcmBuffer>> tones;
  for (int v = 0; v < 16; ++v) tones.push_back(Tone(2 * CPcmBuffer::kRate, v));
  std::vector<std::int16_t> out(2 * CPcmBuffer::kRate);
  for (auto _ : state) {
    state.PauseTiming();
    CAudioMixer mixer;
    for (int v = 0; v < 16; ++v) {
      CAudioMixer::VoiceSettings settings;
      settings.rate = rate;
      settings.gain = 0.8f;
      settings.balance = (v % 3 - 1) * 0.3f;
      mixer.Start(tones[static_cast<std::size_t>(v)], settings, nullptr);
    }
    state.ResumeTiming();
    mixer.Mix(out.data(), CPcmBuffer::kRate);
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_MixSecondOf16Voices)->Arg(100)->Arg(150)->Unit(benchmark::kMillisecond);

// A 20-second image of two tracks, played whole in the mixer's blocks of 1024 frames.
void BM_CdSoundFromAnImage(benchmark::State& state) {
  constexpr int kSeconds = 20;
  tvn::testing::TempDir dir;
  const auto cue = tvn::testing::WriteCdImage(dir.path(), "bench", {{12 * 75, 1500}, {8 * 75, -700}});
  std::unique_ptr<CCdDisc> opened;
  if (CCdDisc::Open(cue.string(), opened) != 0) {
    state.SkipWithError("the image does not open");
    return;
  }
  const std::shared_ptr<CCdDisc> disc = std::move(opened);
  const auto tracks = disc->Tracks();
  std::vector<std::int16_t> out(2 * 1024);
  for (auto _ : state) {
    CAudioMixer mixer;
    auto stream = std::make_shared<CCdAudioStream>(disc, tracks, tracks->DiscStart(), tracks->DiscEnd());
    mixer.StartStream(stream, 1.0f, nullptr);
    while (!stream->Ended()) {
      const std::uint64_t before = stream->Played();
      mixer.Mix(out.data(), 1024);
      benchmark::DoNotOptimize(out.data());
      // Faster than a sound device: when the reader is behind, it is given the time.
      if (stream->Played() == before) std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
  }
  state.counters["cpu_per_second_of_sound"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kSeconds, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_CdSoundFromAnImage)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
