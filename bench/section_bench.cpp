// The read action's section search: the last of 10,000 sections in a 1 MiB text (should stay under 5 ms).
#include <benchmark/benchmark.h>

#include <string>

#include "model/text_sections.h"

namespace {

// 10,000 sections of about 100 bytes each, line breaks as Windows writes them.
std::string MakeText() {
  std::string text;
  text.reserve(1 << 20);
  const std::string body(88, 'x');
  for (int i = 0; i < 10000; ++i) text += "#S" + std::to_string(i) + "\r\n" + body + "\r\n";
  while (text.size() < (1u << 20)) text += "x";
  return text;
}

void BM_FindLastSection(benchmark::State& state) {
  const std::string text = MakeText();
  for (auto _ : state) {
    auto found = FindSection(text, "#", "S9999");
    benchmark::DoNotOptimize(found);
    if (!found) state.SkipWithError("the section was not found");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_FindLastSection)->Unit(benchmark::kMillisecond);

void BM_MissingSection(benchmark::State& state) {
  const std::string text = MakeText();
  for (auto _ : state) benchmark::DoNotOptimize(FindSection(text, "#", "Nowhere"));
}
BENCHMARK(BM_MissingSection)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
