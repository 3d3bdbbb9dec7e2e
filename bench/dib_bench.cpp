// Picture work on page-sized images: decoding DIBs to 32-bit pixels, key-colour masks and the keyed copy.
#include <benchmark/benchmark.h>

#include "media/dib.h"
#include "media/dib_decode.h"
#include "media/dib_encode.h"
#include "media/transparent_blit.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

CPixelImage Stripes() {
  CPixelImage image(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) image.SetPixel(x, y, (x / 16) % 3 == 0 ? RGB(255, 0, 255) : RGB(x % 256, y % 256, 90));
  return image;
}

void BM_Decode8Bit(benchmark::State& state) {
  std::vector<BYTE> dib = tvn::dib::EncodeDib(Stripes(), 8, static_cast<DWORD>(state.range(0)), nullptr);
  for (auto _ : state) benchmark::DoNotOptimize(tvn::dib::DecodeToImage(dib));
}
BENCHMARK(BM_Decode8Bit)->Arg(tvn::dib::kRgb)->Arg(tvn::dib::kRle8)->Unit(benchmark::kMillisecond);

void BM_Decode24Bit(benchmark::State& state) {
  std::vector<BYTE> dib = CDib::BitmapToDib(Stripes());
  for (auto _ : state) benchmark::DoNotOptimize(tvn::dib::DecodeToImage(dib));
}
BENCHMARK(BM_Decode24Bit)->Unit(benchmark::kMillisecond);

void BM_CreateMask(benchmark::State& state) {
  CDib dib;
  dib.hBitmap = Stripes();
  for (auto _ : state) dib.CreateMask(RGB(255, 0, 255));
}
BENCHMARK(BM_CreateMask)->Unit(benchmark::kMillisecond);

void BM_TransparentBlit(benchmark::State& state) {
  CPixelImage source = Stripes();
  CPixelImage page(kWidth, kHeight);
  for (auto _ : state) {
    tvn::dib::TransparentBlt(page, 0, 0, kWidth, kHeight, source, 0, 0, kWidth, kHeight, RGB(255, 0, 255));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_TransparentBlit)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
