// The cost of the form answers: filling a list box with a thousand entries,
// and one pointer move across a 255 x 255 grid (the cell found, the old cell
// and the new one inverted and repainted).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>
#include <string>

#include "behaviour/grid_response.h"
#include "behaviour/list_box_response.h"
#include "model/list_text_control.h"
#include "platform/msg/clock.h"
#include "platform/user/gui_session.h"
#include "platform/user/message_loop.h"
#include "tests/behaviour/display_test_support.h"
#include "tests/support/fake_task_services.h"
#include "tests/support/stream_reader.h"

using namespace tvn::testing;

namespace {

void BM_FillListBox1000(benchmark::State& state) {
  CManualClock clock;
  CMessageLoop loop(clock);
  CGuiSession::Attach(loop);
  CWnd parent;
  parent.Create("bench", WS_OVERLAPPEDWINDOW, CRect(0, 0, 400, 400), nullptr);
  CListBoxResponse owner;
  CResponseListBox list(owner);
  list.Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_SORT, CRect(0, 0, 200, 300), &parent, 928);
  std::string text;
  for (int i = 0; i < 1000; ++i) text += "Entry number " + std::to_string((i * 7919) % 1000) + "\r\n";
  const CString items(text.c_str());
  TestVariableContext vars;
  for (auto _ : state) {
    list.SendMessage(WM_SETREDRAW, FALSE);
    list.ResetContent();
    benchmark::DoNotOptimize(MeasureTextInWindow(vars, list, items, LB_ADDSTRING, CString()));
    list.SendMessage(WM_SETREDRAW, TRUE);
  }
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_FillListBox1000)->Unit(benchmark::kMillisecond);

void BM_GridHoverMove(benchmark::State& state) {
  GridFields g;
  g.rows = 255;
  g.columns = 255;
  g.gridFlags = GridFlag::kHighlight;
  g.cells.resize(255 * 255);
  CourseBuilder b;
  b.GridResponse(IconFields{4, "grid", "", 3}, ResponseFields{}, g, {0, 0, 765, 765});
  FakeTaskServices services;
  CTestPage page;
  page.ResizeBuffer(800, 800);
  page.SetRunning(true);
  services.pageOverride = &page;
  CTask task;
  task.SetServices(&services);
  StreamReader reader(b.bytes(), b.version());
  auto owned = reader.ar.ReadOwned<CGridResponse>();
  CGridResponse* grid = owned.get();
  task.GetResponses()->AddChild(std::move(owned));
  grid->Activate();
  page.ComposeRect(nullptr);
  bool flip = false;
  for (auto _ : state) {
    flip = !flip;
    grid->OnMouseMove(0, flip ? CPoint(400, 400) : CPoint(403, 400), kInputFromTaskResponses, nullptr);
  }
}
BENCHMARK(BM_GridHoverMove)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  int qtArgc = 1;
  char name[] = "form_answers_bench";
  char* qtArgv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(qtArgc, qtArgv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
