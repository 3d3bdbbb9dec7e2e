// The page: composing a full screen of overlapping objects, and repainting one dirty area.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "bench/page_copy_baseline.h"
#include "model/icon_object.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "page/off_screen_view.h"

namespace {

class CSolidOwner : public CIconObject {
 public:
  CSolidOwner(CRect bounds, BYTE layer, COLORREF colour) : m_bounds(bounds), m_layer(layer), m_colour(colour) {}
  void Draw(CDC* dc, int, const CRect* rect) override { dc->FillSolidRect(*rect, m_colour); }
  CRect GetBounds() override { return m_bounds; }
  BYTE GetLayer() override { return m_layer; }

 private:
  CRect m_bounds;
  BYTE m_layer;
  COLORREF m_colour;
};

// A page in one colour.
class CBenchBackground final : public IPageSettings {
 public:
  void DrawBackground(CDC* dc, const CRect& clip) override { dc->FillSolidRect(clip, RGB(240, 240, 230)); }
  BOOL IsLayerKept(BYTE) const override { return FALSE; }
  DWORD GetWindowFlags() const override { return 0; }
  CSize GetScrollMargins() const override { return CSize(40, 40); }
};

// Copies into a memory picture standing for the window.
class CBenchPage : public COffScreenView {
 public:
  CBenchPage() {
    SetPageSettings(std::make_unique<CBenchBackground>());
    CreateBuffer(CSize(1024, 768));
    m_front.CreateBitmap(1024, 768, 1, 32, nullptr);
    m_frontDC.CreateCompatibleDC(nullptr);
    m_frontDC.SelectObject(&m_front);
  }
  void BlitToScreen(CDC* dc, const CRect* rect) override { COffScreenView::BlitToScreen(dc ? dc : &m_frontDC, rect); }

 private:
  CBitmap m_front;
  CDC m_frontDC;
};

struct Page {
  CBenchPage view;
  std::vector<std::unique_ptr<CSolidOwner>> owners;
  Page() {
    for (int i = 0; i < 50; ++i) {
      const int x = (i * 97) % 800, y = (i * 61) % 560;
      owners.push_back(std::make_unique<CSolidOwner>(CRect(x, y, x + 220, y + 200), static_cast<BYTE>(1 + i % 9),
                                                     RGB(i * 5, 255 - i * 5, (i * 37) % 256)));
      view.AddObject(owners.back().get(), 0);
    }
    view.FlushInvalidRects();
  }
  ~Page() { view.FreeAllObjects(nullptr, TRUE); }
};

void ComposeFullPage(benchmark::State& state) {
  Page page;
  const CRect all(0, 0, 1024, 768);
  for (auto _ : state) {
    page.view.ComposeRect(&all);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(ComposeFullPage)->Unit(benchmark::kMicrosecond);

void RepaintDirtyArea(benchmark::State& state) {
  Page page;
  const CRect dirty(300, 200, 400, 300);
  for (auto _ : state) {
    page.view.InvalidateRect(&dirty);
    page.view.FlushInvalidRects();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(RepaintDirtyArea)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
