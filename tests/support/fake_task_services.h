// Task services for tests: the real script language on a test variable context, a settable clock and keys, a recording page, and no course around.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "model/page_access.h"
#include "model/script.h"
#include "model/task_list.h"
#include "model/task_services.h"
#include "tests/model/test_variable_context.h"

namespace tvn::testing {

class RecordingPage : public IPageAccess {
 public:
  bool RemoveObjectOf(CIconObject* owner) override {
    removed.push_back(owner);
    return false;
  }
  void StopSound(CIconObject*) override {}
  std::vector<CIconObject*> removed;
};

// The view's timers as a map of the running ones, with every kill recorded.
class RecordingTimers : public ITimerOwner {
 public:
  void SetTimer(UINT id, UINT intervalMs) override { running[id] = intervalMs; }
  void KillTimer(UINT id) override {
    running.erase(id);
    killed.push_back(id);
  }
  std::map<UINT, UINT> running;
  std::vector<UINT> killed;
};

class FakeTaskServices : public ITaskServices {
 public:
  WORD ExecuteScript(const CString& script) override {
    scripts.push_back(script.str());
    WORD error = ::ExecuteScript(vars, script);
    if (endCourseOnScript) courseOpenWithoutTask = true;
    return error;
  }
  WORD CheckCondition(const CString& condition) override {
    conditions.push_back(condition.str());
    return ::CheckCondition(vars, condition);
  }
  CVariableContext& Variables() override { return vars; }
  DWORD GetTickCount() override { return tick; }
  int GetKeyState(int virtualKey) override {
    auto it = keyStates.find(virtualKey);
    return it == keyStates.end() ? 0 : it->second;
  }
  BOOL IsCourseOpenWithoutTask() override { return courseOpenWithoutTask; }
  IPageAccess* GetPage() override { return pageOverride ? pageOverride : &page; }
  void FlushInvalidRects() override { ++flushes; }
  int GetSimulatorTarget() override { return simulatorTarget; }
  ITimerOwner* GetTimers() override { return hasTimers ? &timers : nullptr; }
  const CNativeControlRegistry* GetControlRegistry() override { return controls; }
  ICourseHost* Host() override { return host; }
  const CString& GetCourseDirectory() const override { return courseDirectory; }
  // Names are found where mediaFiles says, anywhere else as they stand.
  CString FindMediaFile(const CString& name) override {
    auto it = mediaFiles.find(name.str());
    return it == mediaFiles.end() ? name : CString(it->second);
  }
  CTask* GetCurrentTask() override { return currentTask; }
  CTaskList& Tasks() override { return tasks; }

  // Holds the modifiers down (0x8000) or lets them go.
  void Hold(bool ctrl, bool shift, bool alt) {
    keyStates[0x11] = ctrl ? 0x8000 : 0;
    keyStates[0x10] = shift ? 0x8000 : 0;
    keyStates[0x12] = alt ? 0x8000 : 0;
  }

  TestVariableContext vars;
  IPageAccess* pageOverride = nullptr;  // a real page instead of the recording one
  DWORD tick = 1000;
  std::map<int, int> keyStates;
  bool courseOpenWithoutTask = false;
  bool endCourseOnScript = false;
  int simulatorTarget = 0;
  int flushes = 0;
  bool hasTimers = true;
  const CNativeControlRegistry* controls = nullptr;  // none installed
  ICourseHost* host = nullptr;                       // no application: nothing reaches outside
  CString courseDirectory;
  std::map<std::string, std::string> mediaFiles;
  CTask* currentTask = nullptr;
  CTaskList tasks;  // empty
  RecordingTimers timers;
  RecordingPage page;
  std::vector<std::string> scripts;
  std::vector<std::string> conditions;
};

}  // namespace tvn::testing
