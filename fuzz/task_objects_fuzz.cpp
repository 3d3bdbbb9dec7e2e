// Fuzzes the readers of the objects a task owns: the first byte picks what the
// stream holds (font descriptions inline, key descriptions inline, objects
// such as tasks, events, responses and action lists, or a course menu), the
// second the course file version. What was read is then used the way the
// runtime uses it, with scripts and conditions running on a real variable table.
#include <cstdint>
#include <memory>
#include <vector>

#include "behaviour/action_manager.h"
#include "behaviour/event_manager.h"
#include "behaviour/event_trigger.h"
#include "controls/hypertext_notify.h"
#include "behaviour/keyboard.h"
#include "behaviour/response.h"
#include "behaviour/response_manager.h"
#include "model/archive.h"
#include "model/font_object.h"
#include "model/menu_item.h"
#include "model/script.h"
#include "model/task.h"
#include "model/task_list.h"
#include "model/variable_context.h"
#include "model/variable_table.h"
#include "platform/msg/window_messages.h"

namespace {

class FuzzVariables : public CVariableContext {
 public:
  FuzzVariables() : m_course(1), m_global(0) {}
  CVariableTable* GetCourseTable() override { return &m_course; }
  CVariableTable* GetGlobalTable() override { return &m_global; }
  std::int64_t Now() override { return 946684800; }

 private:
  CVariableTable m_course;
  CVariableTable m_global;
};

// Timers that only remember the last id they were given.
class CountingTimers : public ITimerOwner {
 public:
  void SetTimer(UINT id, UINT) override { m_last = id; }
  void KillTimer(UINT id) override { m_last = id; }
  UINT LastId() const { return m_last; }

 private:
  UINT m_last = 0;
};

class FuzzServices : public ITaskServices {
 public:
  WORD ExecuteScript(const CString& script) override { return ::ExecuteScript(m_vars, script); }
  WORD CheckCondition(const CString& condition) override { return ::CheckCondition(m_vars, condition); }
  CVariableContext& Variables() override { return m_vars; }
  DWORD GetTickCount() override { return m_tick += 250; }
  int GetKeyState(int virtualKey) override { return virtualKey == 0x10 ? 0x8000 : 0; }
  BOOL IsCourseOpenWithoutTask() override { return FALSE; }
  IPageAccess* GetPage() override { return nullptr; }
  void FlushInvalidRects() override {}
  ITimerOwner* GetTimers() override { return &m_timers; }
  // No application and no course around the task: nothing reaches outside.
  ICourseHost* Host() override { return nullptr; }
  const CString& GetCourseDirectory() const override { return m_directory; }
  CString FindMediaFile(const CString& name) override { return name; }
  CTask* GetCurrentTask() override { return nullptr; }
  CTaskList& Tasks() override { return m_tasks; }
  CountingTimers& Timers() { return m_timers; }

 private:
  CountingTimers m_timers;
  CString m_directory;
  CTaskList m_tasks;
  FuzzVariables m_vars;
  DWORD m_tick = 0;
};

class CountingMenu : public IMenuHandle {
 public:
  void AppendItem(UINT, const CString&) override { ++m_count; }
  void AppendSeparator() override { ++m_count; }
  IMenuHandle* AppendPopup(const CString&) override {
    ++m_count;
    return this;
  }
  IMenuHandle* GetSubMenu(int position) override { return position % 2 ? this : nullptr; }
  BOOL IsGreyed(int position) override { return position % 3 == 0; }
  BOOL IsChecked(int position) override { return position % 5 == 0; }
  void SetGreyed(int, BOOL) override {}
  void SetChecked(int, BOOL) override {}

 private:
  int m_count = 0;
};

void UseFont(CFontObject& font) {
  font.SetPointSize(1);
  font.CreateFont(2, 90);
}

void UseKeyboard(const CKeyboard& keys) {
  for (UINT key : {0u, 13u, 0x59u, 123u, 0x159u}) {
    keys.Match(key, 0, KeyModifiers{});
    keys.Match(key, 0, KeyModifiers{true, true, true});
  }
}

class NullArmedList : public IArmedEventSink {
 public:
  void AppendArmed(CEventTrigger*, CCourseDoc*, CTask*) override {}
};

// Stops the task's events when it goes out of scope, as the course's stop
// does, so no started timer outlives the services that hold it.
struct StopEvents {
  ~StopEvents() {
    for (const auto& child : task.GetEvents()->Children()) child->Stop();
  }
  CTask& task;
};

void UseTask(CTask& task, FuzzServices& services) {
  task.SetServices(&services);
  StopEvents stop{task};
  task.ForwardToActions();
  CIconObject* fired = nullptr;
  task.Activate(&fired);
  for (int key : {0x41, 13, 103}) {
    if (CIconObject* target = task.GetResponses()->FindKeyTarget(key, 0)) {
      int next = 0;
      task.EvaluateAnswer(target, &next);
    }
    task.GetEvents()->FindKeyTarget(key, 0);
  }
  task.GetEvents()->FindCommandTarget(0, 0);
  if (auto* events = DynamicDowncast<CEventManager>(task.GetEvents())) {
    NullArmedList armed;
    events->ArmEvents(armed, nullptr, &task);
  }
  CIconManager& responses = *task.GetResponses();
  for (UINT message : {WM_LBUTTONDOWN, WM_RBUTTONUP, WM_LBUTTONDBLCLK}) {
    responses.FindMouseButtonTarget(message, MK_LBUTTON | MK_RBUTTON | MK_MBUTTON, CPoint(5, 5), 7);
  }
  for (int command : {0, 4464, 70000}) {
    task.GetEvents()->FindCommandTarget(command, 0);
    responses.FindCommandTarget(command, 0);
  }
  task.GetEvents()->FindTimerTarget(static_cast<int>(services.Timers().LastId()));
  responses.FindTimerTarget(18);
  HyperTextNotify click = HyperTextNotify::Click(nullptr, "Chapter 2");
  responses.FindMediaNotifyTarget(HyperTextNotify::kCode, reinterpret_cast<LPARAM>(&click));
  responses.FindMediaNotifyTarget(HyperTextNotify::kCode, 0);
  for (const auto& child : task.GetEvents()->Children()) {
    if (auto* event = DynamicDowncast<CEventTrigger>(child.get())) event->IsEnabled();
  }
  int target = 0;
  task.EvaluateAnswer(fired, &target);
  task.IsOrContains(&task);
}

void UseObject(CObject* obj) {
  FuzzServices services;
  if (auto* task = DynamicDowncast<CTask>(obj)) {
    UseTask(*task, services);
  } else if (auto* actions = DynamicDowncast<CActionManager>(obj)) {
    actions->RunActions();
  } else if (auto* response = DynamicDowncast<CResponse>(obj)) {
    int target = 0;
    response->GetOutcome(&target);
    response->ExecuteResponse(&target);
  } else if (auto* responses = DynamicDowncast<CResponseManager>(obj)) {
    CIconObject* fired = nullptr;
    responses->CheckResponses(&fired);
    responses->AllChecksCorrect();
    int target = 0;
    responses->ExecuteWithConditions(fired, &target);
  }
}

void UseMenu(const CMenuItemList& menu) {
  FuzzServices services;
  CountingMenu handle;
  menu.AppendToMenu(handle);
  menu.UpdateMenuStates(handle, services);
  menu.AnyItemMatches();
  CMenuItemList copy;
  copy.Copy(menu);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  CMemFile file(data + 2, size - 2);
  // Lists that adopted items must outlive the archive, which may still hand out back-references to them.
  std::vector<std::unique_ptr<CMenuItemList>> menus;
  try {
    CArchive ar(file);
    ar.SetCourseVersion(3 + data[1] % 3);
    FuzzVariables loadVariables;
    ar.SetVariableContext(&loadVariables);
    while (ar.BytesRemaining() > 0) {
      switch (data[0] % 4) {
        case 0: {
          CFontObject font;
          font.Serialize(ar);
          UseFont(font);
          break;
        }
        case 1: {
          CKeyboard keys;
          keys.Serialize(ar);
          UseKeyboard(keys);
          break;
        }
        case 2:
          UseObject(ar.ReadObject(RUNTIME_CLASS(CObject)));
          break;
        default: {
          menus.push_back(std::make_unique<CMenuItemList>());
          menus.back()->Serialize(ar);
          UseMenu(*menus.back());
          break;
        }
      }
    }
  } catch (const CArchiveException&) {
  } catch (const CFileException&) {
  } catch (const CMemoryException&) {
  }
  return 0;
}
