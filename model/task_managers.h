// What a task asks of its action and response lists. The behaviour library
// implements them; the model knows the lists only through these operations.
#pragma once

#include "platform/base/win_types.h"

class CCourseDoc;
class CEventTrigger;
class CIconObject;
class CTask;

// The outcome codes the next-task rule maps to a task.
namespace Outcome {
constexpr int kNext = 1;
constexpr int kGoTo = 2;
constexpr int kStay = 32;
constexpr int kPrevious = 64;
constexpr int kFirst = 256;
constexpr int kLast = 512;
constexpr int kEnd = 1024;
constexpr int kReturn = 2048;
constexpr int kForward = 4096;
constexpr int kBack = 8192;
}  // namespace Outcome

class IActionList {
 public:
  // Runs the enabled actions in order until one returns FALSE.
  virtual BOOL RunActions() = 0;

 protected:
  ~IActionList() = default;
};

class IResponseList {
 public:
  // Activates the enabled responses when the task starts: 1 = the task waits
  // for input, 0 = it is done at once; fired = the response that fired, or null.
  virtual int CheckResponses(CIconObject** fired) = 0;
  // TRUE when an enabled response carries a right or wrong answer mark.
  virtual BOOL HasMarkedResponse() = 0;
  // Over the enabled, marked check-button responses: 1 all stand in their
  // right state, 0 one does not, 2 there are none.
  virtual int AllChecksCorrect() = 0;
  // The outcome code after the condition responses had their turn.
  virtual int ExecuteWithConditions(CIconObject* matched, int* target) = 0;

 protected:
  ~IResponseList() = default;
};

// Where armed events go: the presentation view's list of armed events.
class IArmedEventSink {
 public:
  virtual ~IArmedEventSink() = default;
  virtual void AppendArmed(CEventTrigger* event, CCourseDoc* course, CTask* task) = 0;
};

class IEventList {
 public:
  // Appends an entry for every event that is not disabled and starts it.
  virtual void ArmEvents(IArmedEventSink& armed, CCourseDoc* course, CTask* task) = 0;

 protected:
  ~IEventList() = default;
};

// A response's outcome as its flags and targets give it, without running anything.
class IOutcomeSource {
 public:
  virtual int GetOutcome(int* target) = 0;

 protected:
  ~IOutcomeSource() = default;
};
