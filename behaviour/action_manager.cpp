// Running the action list.
#include "behaviour/action_manager.h"

#include "model/task.h"
#include "model/task_services.h"

IMPLEMENT_SERIAL(CActionManager, CIconManager, VERSIONABLE_SCHEMA | 2)

BOOL CActionManager::RunActions() {
  if (!IsEnabled()) return TRUE;
  BOOL result = TRUE;
  ITaskServices* services = TaskServicesOf(this);
  // By index, not iterator: a nested message loop inside an action may change the list.
  for (int i = 0; i < GetCount(); ++i) {
    CIconObject* action = GetChild(i);
    if (!action->IsEnabled()) continue;
    // A close asked for while an action waited ends the list: nothing after
    // it may start, write or talk to other programs.
    if (services && services->IsClosing()) return FALSE;
    result = action->Execute();
    if (!result) break;
  }
  return result;
}
