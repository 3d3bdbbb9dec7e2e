// What a task and the objects inside it need of the running course.
#pragma once

#include "platform/base/cstring.h"
#include "platform/base/win_types.h"

class CNativeControlRegistry;
class CTask;
class CTaskList;
class CVariableContext;
class ICourseHost;
class IPageAccess;

// Scripts and conditions of the course that is current.
class IScriptHost {
 public:
  virtual ~IScriptHost() = default;
  // Runs the statements; gives the script language's error code (0 = none).
  virtual WORD ExecuteScript(const CString& script) = 0;
  // 1 when the condition holds; 0 when it does not, or does not evaluate.
  virtual WORD CheckCondition(const CString& condition) = 0;
};

// Window timers of the presentation view, for the objects that count time.
// A timer that is set again with its id restarts with the new interval.
class ITimerOwner {
 public:
  virtual ~ITimerOwner() = default;
  virtual void SetTimer(UINT id, UINT intervalMs) = 0;
  virtual void KillTimer(UINT id) = 0;
};

// The course document gives each of its tasks these services; tests give
// fakes. Objects find them through their parents (TaskServicesOf in task.h).
class ITaskServices : public IScriptHost {
 public:
  virtual CVariableContext& Variables() = 0;
  // The system tick count in milliseconds.
  virtual DWORD GetTickCount() = 0;
  // The 16-bit key state of a virtual key: high byte non-zero while it is down.
  virtual int GetKeyState(int virtualKey) = 0;
  // TRUE when a course is open and has no current task (a script ended it).
  virtual BOOL IsCourseOpenWithoutTask() = 0;
  // The program or this course is closing: no further action of it runs.
  virtual BOOL IsClosing() { return FALSE; }
  // The page of the presentation view; null while there is none.
  virtual IPageAccess* GetPage() = 0;
  // Repaints what the page marked invalid.
  virtual void FlushInvalidRects() = 0;
  // The task a simulator action of the current task asks for (its last
  // non-zero result), or 0 when there is none or the simulator library is
  // absent.
  virtual int GetSimulatorTarget() { return 0; }
  // The presentation view's timers; null while there is no view.
  virtual ITimerOwner* GetTimers() { return nullptr; }
  // The controls the program can host; null: none is installed.
  virtual const CNativeControlRegistry* GetControlRegistry() { return nullptr; }

  // --- the course itself ---
  // The application that runs the course; null where none does (tests,
  // tools): what reaches beyond the course (libraries, programs, files
  // written, media devices, messages) is then left undone.
  virtual ICourseHost* Host() = 0;
  // The course's folder, ending in a separator; empty when it has none.
  virtual const CString& GetCourseDirectory() const = 0;
  // Where a file name the course uses is found (its placeholders expanded).
  virtual CString FindMediaFile(const CString& name) = 0;
  // The task the course is on; null when it is on none.
  virtual CTask* GetCurrentTask() = 0;
  // Every task of the course, in course order.
  virtual CTaskList& Tasks() = 0;
};
