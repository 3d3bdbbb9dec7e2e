// The cost of the message path: posting and dispatching to a window, and
// finding due timers among many.
#include <benchmark/benchmark.h>

#include "platform/msg/clock.h"
#include "platform/user/message_loop.h"
#include "platform/msg/timer_list.h"
#include "platform/user/wnd.h"

namespace {

class CCountingWnd : public CWnd {
 public:
  ~CCountingWnd() override { DestroyWindow(); }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_USER + 1) {
      ++count;
      return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
  }
  long count = 0;
};

void BM_PostAndDispatch(benchmark::State& state) {
  CManualClock clock;
  CMessageLoop loop(clock);  // no widgets: the plain message path
  CCountingWnd wnd;
  wnd.Create("bench", 0, CRect(0, 0, 10, 10), nullptr);
  const int batch = static_cast<int>(state.range(0));
  for (auto _ : state) {
    for (int i = 0; i < batch; ++i) wnd.PostMessage(WM_USER + 1, static_cast<WPARAM>(i));
    MSG msg;
    while (loop.PeekMessage(msg, nullptr, 0, 0, PM_REMOVE)) loop.DispatchMessage(msg);
  }
  state.SetItemsProcessed(state.iterations() * batch);
}
BENCHMARK(BM_PostAndDispatch)->Arg(1)->Arg(100);

void BM_TimerListTakeDue(benchmark::State& state) {
  CTimerList timers;
  const int count = static_cast<int>(state.range(0));
  for (int i = 0; i < count; ++i)
    timers.Set(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x10 + 4 * i)), 18, 100 + static_cast<DWORD>(i), 0);
  DWORD now = 0;
  for (auto _ : state) {
    now += 7;
    benchmark::DoNotOptimize(timers.TakeDue(now));
  }
}
BENCHMARK(BM_TimerListTakeDue)->Arg(10)->Arg(1000);

}  // namespace
