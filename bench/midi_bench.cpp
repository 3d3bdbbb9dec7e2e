// MIDI: reading a song of 100000 events, and one second of a busy song (16 channels, a note every 10 ms
// on each) rendered through FluidSynth with the General MIDI soundfont (skipped when none is installed).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/mm/midi_file.h"
#include "platform/mm/midi_stream.h"
#include "platform/mm/midi_synth.h"

namespace {

// One format-0 track at 480 ticks a quarter, tempo 500000 (a tick about 1.04 ms):
// on each of 16 channels a program, then notes on and off every 10 ticks.
std::vector<std::uint8_t> BusySong(int notesPerChannel) {
  std::vector<std::uint8_t> events;
  for (std::uint8_t ch = 0; ch < 16; ++ch) events.insert(events.end(), {0x00, static_cast<std::uint8_t>(0xC0 | ch), ch});
  for (int n = 0; n < notesPerChannel; ++n) {
    for (std::uint8_t ch = 0; ch < 16; ++ch) {
      const auto key = static_cast<std::uint8_t>(48 + (n + ch) % 24);
      events.insert(events.end(), {static_cast<std::uint8_t>(ch == 0 ? 10 : 0), static_cast<std::uint8_t>(0x90 | ch),
                                   key, 0x50, 0x00, static_cast<std::uint8_t>(0x80 | ch), key, 0x00});
    }
  }
  events.insert(events.end(), {0x00, 0xFF, 0x2F, 0x00});
  std::vector<std::uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k'};
  const auto size = static_cast<std::uint32_t>(events.size());
  for (int shift = 24; shift >= 0; shift -= 8) file.push_back(static_cast<std::uint8_t>(size >> shift));
  file.insert(file.end(), events.begin(), events.end());
  return file;
}

void BM_ReadSongOf100000Events(benchmark::State& state) {
  const std::vector<std::uint8_t> file = BusySong(100000 / 32);
  for (auto _ : state) {
    CMidiSong song;
    benchmark::DoNotOptimize(ReadMidiFile(file.data(), file.size(), MidiLimits{}, song));
  }
}
BENCHMARK(BM_ReadSongOf100000Events)->Unit(benchmark::kMillisecond);

void BM_RenderSecondThroughFluidSynth(benchmark::State& state) {
  const std::string soundFont = FindGeneralMidiSoundFont();
  if (soundFont.empty()) {
    state.SkipWithError("no General MIDI soundfont installed");
    return;
  }
  const std::vector<std::uint8_t> file = BusySong(100);
  auto song = std::make_shared<CMidiSong>();
  ReadMidiFile(file.data(), file.size(), MidiLimits{}, *song);
  CMidiStream stream(song, CMidiSynth::Create(soundFont));
  std::vector<std::int16_t> out(2 * 1024);
  for (auto _ : state) {
    stream.Start(0, 44100);
    while (!stream.Ended()) stream.Render(out.data(), 1024);
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_RenderSecondThroughFluidSynth)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
