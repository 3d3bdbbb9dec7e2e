// uninstal removing an installation of 10,000 logged files in five folders (goal: under 1 s).
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

#include "setuptools/uninstal/uninstall_app.h"
#include "tests/setuptools/recording_progman.h"
#include "tests/setuptools/setup_test_env.h"

namespace {

namespace fs = std::filesystem;

struct Yes : IUninstallQuestion {
  bool Confirm(const CString&, const CString&) override { return true; }
};

void BM_Uninstal10000Files(benchmark::State& state) {
  tvn::testing::SetupHome home;
  const fs::path install = home.Locations().driveRoot / "Product";
  std::string files, folders;
  for (int d = 0; d < 5; ++d) folders += "\"" + (install / ("d" + std::to_string(d))).string() + "\"\r\n";
  for (int i = 0; i < 10000; ++i) files += "\"" + (install / ("d" + std::to_string(i % 5)) / ("F" + std::to_string(i) + ".DAT")).string() + "\"\r\n";
  const std::string log = "[dialog]\r\n\tcaption = \"Bench\"\r\n\ttext1 = \"Bench\"\r\n\r\n[default.files]\r\n" + files +
                          "\"" + (install / "UNINSTAL.INF").string() + "\"\r\n\r\n[default.directory]\r\n\"" +
                          install.string() + "\"\r\n\r\n[created.directories]\r\n" + folders + "\"" + install.string() +
                          "\"\r\n";
  for (auto _ : state) {
    state.PauseTiming();
    for (int d = 0; d < 5; ++d) fs::create_directories(install / ("d" + std::to_string(d)));
    for (int i = 0; i < 10000; ++i) {
      std::ofstream(install / ("d" + std::to_string(i % 5)) / ("F" + std::to_string(i) + ".DAT")) << "x";
    }
    std::ofstream(install / "UNINSTAL.INF", std::ios::binary) << log;
    tvn::testing::ScriptedBoxes boxes;
    boxes.answers.assign(6, IDYES);
    Yes yes;
    CHostRemovalFileSystem removal;
    tvn::testing::RecordingProgman progman;
    CUninstallApp app({boxes, yes, removal, progman}, install, {});
    state.ResumeTiming();
    app.InitInstance();
    state.PauseTiming();
    if (fs::exists(install)) state.SkipWithError("the installation was not removed");
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Uninstal10000Files)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
