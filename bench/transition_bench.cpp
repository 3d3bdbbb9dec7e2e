// Full-page 1024 x 768 transitions of categories 1 to 6: time per step (no pacing delay).
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/page_copy_baseline.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "page/effect_host.h"
#include "page/transitions.h"

namespace {

constexpr int kWidth = 1024, kHeight = 768;

struct Page {
  CBitmap bitmap;
  CDC dc;
  Page(DWORD seed) {
    std::vector<DWORD> bits(static_cast<std::size_t>(kWidth) * kHeight);
    for (std::size_t i = 0; i < bits.size(); ++i) bits[i] = 0xFF000000u | ((static_cast<DWORD>(i) * seed) & 0xFFFFFFu);
    bitmap.CreateBitmap(kWidth, kHeight, 1, 32, bits.data());
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&bitmap);
  }
};

struct CountingSteps : ITransitionSteps {
  long long steps = 0;
  bool WaitStep(BYTE) override {
    ++steps;
    return false;
  }
  bool WasKilled() const override { return false; }
};

// Stands in for the page redrawing a moved object: its rectangle copied from the back buffer.
struct SlidingObject : IEffectDrawObject {
  CDC* window;
  CDC* back;
  CRect bounds{312, 234, 712, 534};
  const CEffectData* GetOwnerEffect() const override { return nullptr; }
  CRect GetBounds() const override { return bounds; }
  void MoveTo(CPoint p) override {
    bounds = CRect(p, bounds.Size());
    window->BitBlt(bounds.left, bounds.top, bounds.Width(), bounds.Height(), back, 312, 234, SRCCOPY);
  }
};

void RunTransition(benchmark::State& state, int category, int variant, int block) {
  Page window(2654435761u), back(40503u);
  CountingSteps steps;
  TransitionInput in;
  in.target = &window.dc;
  in.source = &back.dc;
  in.area = CRect(0, 0, kWidth, kHeight);
  in.block = block;
  in.delay = 5;
  in.steps = &steps;
  in.backBuffer = CSize(kWidth, kHeight);
  SlidingObject object;
  object.window = &window.dc;
  object.back = &back.dc;
  in.drawObject = &object;
  CBitmap mask;
  {
    // 256 blue values in diagonal bands.
    std::vector<DWORD> bits(256 * 192);
    for (int y = 0; y < 192; ++y)
      for (int x = 0; x < 256; ++x) bits[static_cast<std::size_t>(y * 256 + x)] = 0xFF000000u | ((x + y) & 0xFF);
    mask.CreateBitmap(256, 192, 1, 32, bits.data());
  }
  for (auto _ : state) {
    object.bounds = CRect(312, 234, 712, 534);
    switch (category) {
      case 1: transitions::BlockWipe(in, variant); break;
      case 2: transitions::Blend(in, variant); break;
      case 3: transitions::MaskReveal(in, mask); break;
      case 4: transitions::Push(in, variant); break;
      case 5: transitions::Zoom(in, variant); break;
      default: transitions::Slide(in, variant); break;
    }
  }
  state.counters["steps"] = benchmark::Counter(static_cast<double>(steps.steps) / static_cast<double>(state.iterations()));
  state.counters["per_step"] =
      benchmark::Counter(static_cast<double>(steps.steps), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK_CAPTURE(RunTransition, wipe_columns, 1, 1, 8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunTransition, wipe_blinds, 1, 9, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunTransition, wipe_frame, 1, 14, 8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunTransition, wipe_random, 1, 15, 8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunTransition, blend, 2, 0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunTransition, mask, 3, 0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunTransition, push_left, 4, 0, 8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunTransition, zoom_centre, 5, 0, 8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunTransition, shrink_old, 5, 5, 8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunTransition, slide_left, 6, 0, 8)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
