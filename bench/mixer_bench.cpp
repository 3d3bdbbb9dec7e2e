// The mixer: one second of 44.1 kHz stereo mixed from 16 voices at the normal rate and at 1.5
// (targets: under 2 ms and under 10 ms).
#include <benchmark/benchmark.h>

#include <cmath>

#include "platform/mm/audio_mixer.h"

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

}  // namespace

BENCHMARK_MAIN();
