// CResponseManager: a task's responses, started when the task starts and judged when it is done.
#pragma once

#include "model/icon_manager.h"
#include "model/task_managers.h"

// Its children are the responses in authoring order, the order of every
// pass. A disabled response is never activated, never executed and never
// counted towards the score; a disabled manager behaves as an empty one.
class CResponseManager : public CIconManager, public IResponseList {
  DECLARE_SERIAL(CResponseManager)

 public:
  CResponseManager() : CIconManager(IconKind::kResponseManager, IconKind::kResponseManager) {}

  // Activates each enabled response in order. The first one other than a
  // condition response whose activation gives FALSE fires: it is given back
  // and the pass stops. The result is that of the last response examined
  // (0 when there is none).
  int CheckResponses(CIconObject** fired) override;
  BOOL HasMarkedResponse() override;
  int AllChecksCorrect() override;
  // The first non-zero outcome of the enabled condition responses, else the
  // matched response's; 1 with neither, 0 when condition responses all gave 0.
  int ExecuteWithConditions(CIconObject* matched, int* target) override;
};
