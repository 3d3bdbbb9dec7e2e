// The plain full-page copy each drawing benchmark reports beside its own figures, so a ratio stands in one run.
#pragma once

#include <benchmark/benchmark.h>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"

namespace page_copy_baseline {

struct CopySurface {
  CBitmap bitmap;
  CDC dc;
  CopySurface(int w, int h) {
    bitmap.CreateBitmap(w, h, 1, 32, nullptr);
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&bitmap);
  }
};

// The same copy as BlitCopy/1024/768 of gdi_blit_bench.
inline void BlitCopy(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  CopySurface src(w, h), dst(w, h);
  src.dc.FillSolidRect(CRect(0, 0, w, h), RGB(10, 20, 30));
  for (auto _ : state) {
    dst.dc.BitBlt(0, 0, w, h, &src.dc, 0, 0, SRCCOPY);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(w) * h * 4);
}
BENCHMARK(BlitCopy)->Args({1024, 768})->Unit(benchmark::kMicrosecond);

}  // namespace page_copy_baseline
