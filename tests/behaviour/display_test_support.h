// A real page without a window for the display kinds, and tasks read with their actions.
#pragma once

#include <memory>
#include <vector>

#include "behaviour/action_manager.h"
#include "behaviour/window_action.h"
#include "model/archive.h"
#include "model/page_access.h"
#include "model/task.h"
#include "page/off_screen_view.h"
#include "tests/support/course_builder.h"
#include "tests/support/fake_task_services.h"
#include "tests/support/stream_reader.h"

namespace tvn::testing {

// The page the presentation view would be: objects, removal and a back buffer.
class CTestPage : public COffScreenView, public IPageAccess {
 public:
  static constexpr COLORREF kBackground = RGB(255, 255, 255);
  CTestPage() {
    // The page's own window action, filling with its colour.
    auto settings = std::make_unique<CWindowAction>();
    settings->SetColour(kBackground);
    settings->SetMode(WindowMode::kColourFill);
    settings->SetPage(this);
    m_pSettings = settings.get();
    SetPageSettings(std::move(settings));
    CreateBuffer(CSize(320, 240));
  }
  bool RemoveObjectOf(CIconObject* owner) override {
    ++removals;
    if (!FindDisplayItem(owner)) return false;
    RemoveObject(owner, TRUE);
    return true;
  }
  void StopSound(CIconObject*) override {}
  void FinishEffect(CIconObject* owner, const CRect& rect) override {
    effects.push_back(rect);
    COffScreenView::FinishEffect(owner, rect);
  }
  CWindowAction& Settings() { return *m_pSettings; }
  int removals = 0;
  std::vector<CRect> effects;

 private:
  CWindowAction* m_pSettings = nullptr;
};

// A task read from a stream with the actions the writers lay down, on the given services.
inline std::unique_ptr<CTask> TaskWithActions(ITaskServices& services, const std::vector<CourseBuilder::Writer>& actions,
                                              int version = 5) {
  CourseBuilder b(version);
  b.Task(IconFields{4, "t", "", 3}, 1, {}, actions, {});
  StreamReader r(b.bytes(), version);
  auto task = r.ar.ReadOwned<CTask>();
  if (task) task->SetServices(&services);
  return task;
}

// The n-th action of the task.
template <class T>
T* ActionOf(CTask& task, int n = 0) {
  return dynamic_cast<T*>(task.GetActions()->GetChild(n));
}

}  // namespace tvn::testing
