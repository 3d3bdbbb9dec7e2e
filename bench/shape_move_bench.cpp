// Shapes and moves on the page: one step of a long path move, a page of shapes, and a page over a composed gradient.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "behaviour/move_action.h"
#include "behaviour/shape_action.h"
#include "behaviour/window_action.h"
#include "model/archive.h"
#include "model/task.h"
#include "page/off_screen_view.h"
#include "platform/msg/clock.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_defs.h"
#include "tests/support/course_builder.h"
#include "tests/support/fake_task_services.h"
#include "tests/support/stream_reader.h"

using namespace tvn::testing;

namespace {

// A 1024 x 768 page whose window is a memory picture.
class CBenchPage : public COffScreenView, public IPageAccess {
 public:
  CBenchPage() {
    CreateBuffer(CSize(1024, 768));
    m_front.CreateBitmap(1024, 768, 1, 32, nullptr);
    m_frontDC.CreateCompatibleDC(nullptr);
    m_frontDC.SelectObject(&m_front);
  }
  void BlitToScreen(CDC* dc, const CRect* rect) override { COffScreenView::BlitToScreen(dc ? dc : &m_frontDC, rect); }
  bool RemoveObjectOf(CIconObject* owner) override {
    RemoveObject(owner, TRUE);
    return true;
  }
  void StopSound(CIconObject*) override {}
  CDC& Front() { return m_frontDC; }

 private:
  CBitmap m_front;
  CDC m_frontDC;
};

class CSolidOwner : public CIconObject {
 public:
  explicit CSolidOwner(CRect bounds) : m_bounds(bounds) { SetName("target"); }
  void Draw(CDC* dc, int, const CRect* rect) override { dc->FillSolidRect(*rect, RGB(200, 30, 30)); }
  CRect GetBounds() override { return m_bounds; }
  BYTE GetLayer() override { return 3; }

 private:
  CRect m_bounds;
};

// The plain copy of a whole page that the other figures are read against.
void FullPageCopy(benchmark::State& state) {
  CBenchPage page;
  const CRect all(0, 0, 1024, 768);
  for (auto _ : state) page.BlitToScreen(nullptr, &all);
}
BENCHMARK(FullPageCopy)->Unit(benchmark::kMicrosecond);

// One step of a move along a flattened path of 2,000 points, repainting a 100 x 100 object.
void PathMoveStep(benchmark::State& state) {
  CBenchPage page;
  CManualClock clock(1000);
  page.SetClock(&clock);
  CSolidOwner target(CRect(0, 0, 100, 100));
  page.AddObject(&target, 0);
  FakeTaskServices services;
  services.pageOverride = &page;
  MoveFields m;
  m.objectName = "target";
  m.flags = 0x8000;  // repeating without end, by the top-left corner
  m.time = 100000;
  for (int i = 0; i < 2000; ++i) m.path.points.push_back({(i * 7) % 900, (i * 13) % 640});
  CourseBuilder b;
  b.Task(IconFields{4, "t", "", 3}, 1, {},
         {[&](CourseBuilder& c) { c.MoveAction(IconFields{4, "move", "", 3}, m, DisplayFields{}); }}, {});
  StreamReader r(b.bytes(), 5);
  auto task = r.ar.ReadOwned<CTask>();
  task->SetServices(&services);
  auto* move = dynamic_cast<CMoveAction*>(task->GetActions()->GetChild(0));
  move->Execute();
  const CRect rect;
  for (auto _ : state) {
    clock.Advance(5);
    move->Animate(rect, FALSE);
  }
}
BENCHMARK(PathMoveStep)->Unit(benchmark::kMicrosecond);

// Fifty shapes: a third shaded, thick polylines with arrow heads, boxes and the rest.
void ComposeShapePage(benchmark::State& state) {
  CBenchPage page;
  std::vector<std::unique_ptr<CShapeAction>> shapes;
  for (int i = 0; i < 50; ++i) {
    auto s = std::make_unique<CShapeAction>();
    const int x = (i * 97) % 820, y = (i * 61) % 560;
    s->SetRectConstants(CRect(x, y, x + 200, y + 200));
    s->Brush() = LOGBRUSH{BS_SOLID, RGB(i * 5, 255 - i * 5, (i * 37) % 256), 0};
    s->SetBackColour(RGB(20, 20, 80));
    if (i % 3 == 0) {
      s->SetShapeType(i % 2 ? ShapeType::kEllipse : ShapeType::kRoundRect);
      s->SetShapeFlags(0x08 | (i % 2 ? 0x80 : 0x10));
    } else if (i % 3 == 1) {
      s->SetShapeType(ShapeType::kPolyline);
      s->SetShapeFlags(0x02);
      s->SetArrowStyle(5);
      s->SetPoint(PS_SOLID, 6);
      for (int k = 0; k < 6; ++k) s->Points().AddPoint(CPoint(x + k * 35, y + (k % 2) * 150 + 20));
    } else {
      s->SetShapeType(ShapeType::kBox);
      s->SetShapeFlags(0x04);
    }
    page.AddObject(s.get(), s->DrawKind());
    shapes.push_back(std::move(s));
  }
  const CRect all(0, 0, 1024, 768);
  for (auto _ : state) page.ComposeRect(&all);
}
BENCHMARK(ComposeShapePage)->Unit(benchmark::kMicrosecond);

// The page over a gradient background the window action composed once.
void ComposeOverGradient(benchmark::State& state) {
  CBenchPage page;
  auto settings = std::make_unique<CWindowAction>();
  CWindowAction* own = settings.get();
  own->SetPage(&page);
  page.SetPageSettings(std::move(settings));
  CWindowAction running;
  running.SetMode(0x20000 | 0x400000);
  running.SetPageSize(CSize(1024, 768));
  running.SetGradient(RGB(255, 0, 0), RGB(0, 0, 255));
  own->SetPageSettings(running);
  const CRect all(0, 0, 1024, 768);
  for (auto _ : state) page.ComposeRect(&all);
}
BENCHMARK(ComposeOverGradient)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
