// What a task asks of its action and response lists. The behaviour library
// implements them; the model knows the lists only through these operations.
#pragma once

#include "platform/win_types.h"

class CIconObject;

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
