// Opening a packed data file with a large directory, and reading its entries through data memory files.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "model/data_file.h"
#include "model/data_mem_file.h"
#include "tests/support/packed_file_builder.h"

namespace {

// A packed file of count entries of size bytes each, written once per run.
std::string PackedFile(int count, std::size_t size) {
  std::string path = "/tmp/tvn-data-file-bench-" + std::to_string(::getpid()) + "-" + std::to_string(count) + ".dat";
  tvn::testing::PackedFileBuilder builder;
  for (int i = 0; i < count; ++i)
    builder.Add("MEDIA\\CLIP" + std::to_string(i) + ".BMP", std::vector<std::uint8_t>(size, static_cast<std::uint8_t>(i)));
  builder.WriteTo(path);
  return path;
}

void BM_OpenDirectory(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  std::string path = PackedFile(count, 16);
  for (auto _ : state) {
    CDataFile data;
    if (!data.Open(CString(path))) state.SkipWithError("open failed");
    benchmark::DoNotOptimize(data.GetCount());
  }
  state.SetItemsProcessed(state.iterations() * count);
  std::remove(path.c_str());
}
BENCHMARK(BM_OpenDirectory)->Arg(1000)->Arg(10000);

void BM_ReadEntries(benchmark::State& state) {
  constexpr int kCount = 64;
  const auto size = static_cast<std::size_t>(state.range(0));
  std::string path = PackedFile(kCount, size);
  CDataFile data;
  if (!data.Open(CString(path))) state.SkipWithError("open failed");
  std::vector<BYTE> buffer(64 * 1024);
  for (auto _ : state) {
    for (int i = 0; i < kCount; ++i) {
      CDataMemFile file(&data);
      file.Open(CString("media\\clip" + std::to_string(i) + ".bmp"), CFile::modeRead);
      while (file.Read(buffer.data(), static_cast<UINT>(buffer.size())) > 0) {
      }
    }
  }
  state.SetBytesProcessed(state.iterations() * kCount * static_cast<std::int64_t>(size));
  std::remove(path.c_str());
}
BENCHMARK(BM_ReadEntries)->Arg(4096)->Arg(1 << 20);

}  // namespace

BENCHMARK_MAIN();
