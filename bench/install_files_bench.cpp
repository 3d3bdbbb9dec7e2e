// The copy step of setup: 1,000 small files through CopyAllDisks beside "cp -p" of the same files, one large file
// through setup's chunked copy (its loop taking messages after each chunk) beside "cp -p" of it, LZ expansion and a
// 1,000-entry archive.
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

#include "platform/sys/process.h"
#include "platform/sys/staged_file.h"
#include "platform/user/gui_session.h"
#include "platform/user/message_loop.h"
#include "setuptools/common/lz_expand.h"
#include "setuptools/common/zip_extract.h"
#include "setuptools/setup/setup_app.h"
#include "setuptools/setup/setup_program.h"
#include "tests/setuptools/setup_test_env.h"
#include "tests/support/szdd_writer.h"
#include "tests/support/zip_writer.h"
#include "tests/setuptools/quiet_copy_ui.h"

namespace {

using tvn::testing::QuietCopyUi;

namespace fs = std::filesystem;

struct NullHooks : IZipExtractHooks {
  bool Status(const CString&) override { return false; }
  bool Poll() override { return false; }
};

// 1,000 files of 4 KiB in folder; the script lines that install them.
std::string WriteThousandFiles(const fs::path& folder) {
  std::string script = "[default.files]\n";
  const std::string data(4096, 'd');
  for (int i = 0; i < 1000; ++i) {
    const std::string name = "F" + std::to_string(i) + ".DAT";
    std::ofstream(folder / name, std::ios::binary) << data;
    script += "1:" + name + ", <defdir>\n";
  }
  return script;
}

// Each round: CopyAllDisks of the script's files from source into a fresh product folder of a home of its own.
void TimeCopyAllDisks(benchmark::State& state, const std::string& script, const fs::path& source, ICopyUi& ui) {
  tvn::testing::SetupHome home;
  tvn::testing::TempDir module;
  auto locations = home.Locations();
  const fs::path install = locations.driveRoot / "Product";
  CInfReader reader;
  reader.LoadBytes(script, CInfReader::Encoding::kAnsi, false);
  tvn::testing::ScriptedBoxes boxes;
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(install);
    fs::create_directories(install);
    CSetupServices services(SetupProgram::kSetup, boxes, module.path());
    services.AddRoot(install);
    CUninstallLog log(services);
    log.Open("TRUE", CString(install.string() + "/"), "Bench");
    CSetupApp app(services, reader, log, ui, {source, install, locations, {}});
    state.ResumeTiming();
    if (!app.CopyAllDisks()) state.SkipWithError("copy failed");
  }
}

void BM_CopyAllDisks1000Files(benchmark::State& state) {
  tvn::testing::TempDir source;
  QuietCopyUi ui{3};
  TimeCopyAllDisks(state, WriteThousandFiles(source.path()), source.path(), ui);
}
BENCHMARK(BM_CopyAllDisks1000Files)->Unit(benchmark::kMillisecond);

// The baseline for the one above: "cp -p -r" of the same files into a fresh folder.
void BM_CpBaseline1000Files(benchmark::State& state) {
  tvn::testing::TempDir source, target;
  WriteThousandFiles(source.path());
  const fs::path copy = target / "Product";
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(copy);
    state.ResumeTiming();
    const tvn::sys::ProcessResult result = tvn::sys::RunAndWait("/bin/cp", {"-p", "-r", source.path().string(), copy.string()});
    if (!result.started || result.exitCode != 0) state.SkipWithError("cp failed");
  }
}
BENCHMARK(BM_CpBaseline1000Files)->Unit(benchmark::kMillisecond);

constexpr std::size_t kLargeFileBytes = 256u << 20;

void WriteLargeFile(const fs::path& file) {
  std::ofstream out(file, std::ios::binary);
  const std::string block(1 << 20, 'x');
  for (std::size_t i = 0; i < kLargeFileBytes / block.size(); ++i) out << block;
}

// The platform's staged copy alone, nothing between its chunks.
void BM_CopyOneLargeFile(benchmark::State& state) {
  tvn::testing::TempDir dir;
  WriteLargeFile(dir / "big");
  for (auto _ : state) {
    if (!tvn::sys::CopyFileStaged(dir / "big", dir / "copy")) state.SkipWithError("copy failed");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kLargeFileBytes));
}
BENCHMARK(BM_CopyOneLargeFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// One 256 MiB file through CopyAllDisks as "setup -s" copies it: the program's loop on Qt (off-screen) takes its
// messages after every chunk.
void BM_SetupCopyOneLargeFile(benchmark::State& state) {
  tvn::testing::TempDir source;
  WriteLargeFile(source / "BIG.DAT");
  int argc = 1;
  char name[] = "install_files_bench";
  char* argv[] = {name, nullptr};
  CGuiSession session(argc, argv, true);
  CMessageLoop loop;
  CGuiSession::Attach(loop);
  CSilentCopyUi ui;
  TimeCopyAllDisks(state, "[default.files]\n1:BIG.DAT, <defdir>\n", source.path(), ui);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kLargeFileBytes));
}
BENCHMARK(BM_SetupCopyOneLargeFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// The baseline for the one above: "cp -p" of the same file on the same disk.
void BM_CpBaselineOneLargeFile(benchmark::State& state) {
  tvn::testing::TempDir dir;
  WriteLargeFile(dir / "BIG.DAT");
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove(dir / "copy");
    state.ResumeTiming();
    const tvn::sys::ProcessResult result =
        tvn::sys::RunAndWait("/bin/cp", {"-p", (dir / "BIG.DAT").string(), (dir / "copy").string()});
    if (!result.started || result.exitCode != 0) state.SkipWithError("cp failed");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kLargeFileBytes));
}
BENCHMARK(BM_CpBaselineOneLargeFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SzddExpansion(benchmark::State& state) {
  std::string data;
  for (int i = 0; data.size() < (16u << 20); ++i) data += "line " + std::to_string(i % 977) + " of a text file\r\n";
  const std::string packed = tvn::testing::BuildSzdd(data);
  for (auto _ : state) benchmark::DoNotOptimize(ExpandSzdd(packed));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
}
BENCHMARK(BM_SzddExpansion)->Unit(benchmark::kMillisecond);

void BM_Extract1000Entries(benchmark::State& state) {
  tvn::testing::TempDir dir;
  std::vector<tvn::testing::ZipEntrySpec> entries;
  for (int i = 0; i < 1000; ++i) entries.push_back({"d" + std::to_string(i % 10) + "/f" + std::to_string(i) + ".txt", std::string(1024, 'z')});
  std::ofstream(dir / "a.zip", std::ios::binary) << tvn::testing::BuildZip(entries);
  NullHooks hooks;
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(dir / "out");
    fs::create_directory(dir / "out");
    state.ResumeTiming();
    if (ExtractZipArchive(dir / "a.zip", dir / "out", true, hooks).result != 0) state.SkipWithError("extract failed");
  }
}
BENCHMARK(BM_Extract1000Entries)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
