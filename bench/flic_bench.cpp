// FLIC decoding at 640x480: a byte-run frame (target under 1 ms) and a word-delta frame (under 0.5 ms), each as
// the chunk decoder alone and as a player's tick that also reads the frame from its medium.
#include <benchmark/benchmark.h>

#include "media/flic_decoder.h"
#include "media/flic_player.h"
#include "platform/msg/clock.h"
#include "platform/mm/media_source.h"
#include "tests/support/flic_writer.h"

using namespace tvn::testing;

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

// A picture with runs and literal stretches mixed, as rendered titles have them;
// shift moves it sideways, so every pixel pair of one differs from the other's.
FlicImage Picture(int shift) {
  FlicImage image(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const int u = x + shift;
      image.at(x, y) = (u / 24 + y / 24) % 3 == 0 ? static_cast<std::uint8_t>((u * 7 + y * 3) & 0xFF)
                                                  : static_cast<std::uint8_t>(((u / 24) * 40 + y / 8) & 0xFF);
    }
  return image;
}

std::vector<BYTE> FrameBody(const std::vector<FlicChunk>& chunks) {
  FlicFile file;
  file.frames.push_back({chunks});
  const std::vector<std::uint8_t> bytes = FlicBytes(file);
  return std::vector<BYTE>(bytes.begin() + 144, bytes.end());
}

CFlicDecoder PaletteDecoder() {
  CFlicDecoder decoder;
  decoder.Allocate(kWidth, kHeight);
  decoder.AcceptColours(true);
  const std::vector<BYTE> palette = FrameBody({PaletteChunk(RampPalette())});
  decoder.DecodeFrame(palette.data(), palette.size(), 1);
  return decoder;
}

void BM_ByteRunFrame(benchmark::State& state) {
  CFlicDecoder decoder = PaletteDecoder();
  const std::vector<BYTE> frame = FrameBody({ByteRunChunk(Picture(0))});
  for (auto _ : state) {
    decoder.DecodeFrame(frame.data(), frame.size(), 1);
    benchmark::DoNotOptimize(decoder.Pixels());
  }
  state.counters["chunk_bytes"] = static_cast<double>(frame.size());
}
BENCHMARK(BM_ByteRunFrame)->Unit(benchmark::kMicrosecond);

void BM_DeltaFrame(benchmark::State& state) {
  CFlicDecoder decoder = PaletteDecoder();
  const std::vector<BYTE> frame = FrameBody({DeltaChunk(Picture(0), Picture(1))});
  for (auto _ : state) {
    decoder.DecodeFrame(frame.data(), frame.size(), 1);
    benchmark::DoNotOptimize(decoder.Pixels());
  }
  state.counters["chunk_bytes"] = static_cast<double>(frame.size());
}
BENCHMARK(BM_DeltaFrame)->Unit(benchmark::kMicrosecond);

// A player looping over two pictures: every tick reads and decodes one delta frame.
void BM_PlayerTickDelta(benchmark::State& state) {
  FlicFile file;
  file.width = kWidth;
  file.height = kHeight;
  file.frames.push_back({{PaletteChunk(RampPalette()), ByteRunChunk(Picture(0))}});
  for (int i = 1; i < 9; ++i) file.frames.push_back({{DeltaChunk(Picture((i + 1) % 2), Picture(i % 2))}});
  CManualClock clock;
  CFlicPlayer player;
  auto source = std::make_unique<CMemoryByteSource>(FlicBytes(file), "bench.flc");
  if (!player.Start(std::move(source), clock, 1, nullptr, -1)) {
    state.SkipWithError("the animation did not open");
    return;
  }
  player.Play();
  for (auto _ : state) benchmark::DoNotOptimize(player.OnTick());
}
BENCHMARK(BM_PlayerTickDelta)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
