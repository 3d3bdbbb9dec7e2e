// The setup script reader on a 10,000-line INSTALL.INF: loading, a key of the last section, and a walk over every line's fields.
#include <benchmark/benchmark.h>

#include <string>

#include "setuptools/common/inf_reader.h"

namespace {

// 100 sections of 100 lines each: file lists, key lines and comments.
std::string MakeScript() {
  std::string text = "; A large installation script\r\n[dialog]\r\ncaption = \"Benchmark Course\"\r\n";
  int lines = 3;
  for (int s = 0; lines < 10000; ++s) {
    text += "[section" + std::to_string(s) + ".files]\r\n";
    ++lines;
    for (int i = 0; i < 99 && lines < 9998; ++i, ++lines) {
      if (i % 10 == 0) {
        text += "; files of group " + std::to_string(i) + "\r\n";
      } else {
        text += std::to_string(1 + i % 3) + ":FILE" + std::to_string(i) + ".DAT, <defdir>data\\sub" +
                std::to_string(s) + "\\, CHECK SHARE, file" + std::to_string(i) + ".dat, , 1.0." +
                std::to_string(i) + "\r\n";
      }
    }
  }
  text += "[last.section]\r\nminspace = 123456\r\n";
  return text;
}

const std::string& Script() {
  static const std::string script = MakeScript();
  return script;
}

void BM_LoadInstallScript(benchmark::State& state) {
  for (auto _ : state) {
    CInfReader reader;
    reader.LoadBytes(Script(), CInfReader::Encoding::kAnsi, true);
    benchmark::DoNotOptimize(reader.Compacted().data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Script().size()));
}
BENCHMARK(BM_LoadInstallScript)->Unit(benchmark::kMillisecond);

void BM_GetStringInLastSection(benchmark::State& state) {
  CInfReader reader;
  reader.LoadBytes(Script(), CInfReader::Encoding::kAnsi, true);
  for (auto _ : state) {
    CString value = reader.GetString("last.section.minspace");
    benchmark::DoNotOptimize(value.GetString());
  }
}
BENCHMARK(BM_GetStringInLastSection)->Unit(benchmark::kMicrosecond);

void BM_SixFieldsOfEveryLine(benchmark::State& state) {
  CInfReader reader;
  reader.LoadBytes(Script(), CInfReader::Encoding::kAnsi, true);
  std::string_view text = reader.Compacted();
  for (auto _ : state) {
    std::size_t fields = 0;
    for (std::size_t pos = 0; pos < text.size() && text[pos] != '\xFF';) {
      const char* line = text.data() + pos;
      for (int n = 1; n <= 6; ++n) fields += static_cast<std::size_t>(CInfReader::GetField(line, n).GetLength());
      pos = text.find('\0', pos) + 1;
    }
    benchmark::DoNotOptimize(fields);
  }
}
BENCHMARK(BM_SixFieldsOfEveryLine)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
