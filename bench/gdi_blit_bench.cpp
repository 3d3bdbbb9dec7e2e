// Copying pixels between memory contexts: a full page and a small object.
#include <benchmark/benchmark.h>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"

namespace {

struct Surface {
  CBitmap bitmap;
  CDC dc;
  Surface(int w, int h) {
    bitmap.CreateBitmap(w, h, 1, 32, nullptr);
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&bitmap);
  }
};

void BlitCopy(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  Surface src(1024, 768), dst(1024, 768);
  src.dc.FillSolidRect(CRect(0, 0, 1024, 768), RGB(10, 20, 30));
  for (auto _ : state) {
    dst.dc.BitBlt(0, 0, w, h, &src.dc, 0, 0, SRCCOPY);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(w) * h * 4);
}
BENCHMARK(BlitCopy)->Args({1024, 768})->Args({100, 100});

void BlitXor(benchmark::State& state) {
  Surface src(1024, 768), dst(1024, 768);
  for (auto _ : state) {
    dst.dc.BitBlt(0, 0, 1024, 768, &src.dc, 0, 0, SRCINVERT);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BlitXor);

void StretchDouble(benchmark::State& state) {
  Surface src(512, 384), dst(1024, 768);
  for (auto _ : state) {
    dst.dc.StretchBlt(0, 0, 1024, 768, &src.dc, 0, 0, 512, 384, SRCCOPY);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(StretchDouble);

}  // namespace

BENCHMARK_MAIN();
