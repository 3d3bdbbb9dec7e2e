// Running the action list.
#include "behaviour/action_manager.h"

IMPLEMENT_SERIAL(CActionManager, CIconManager, VERSIONABLE_SCHEMA | 2)

BOOL CActionManager::RunActions() {
  if (!IsEnabled()) return TRUE;
  BOOL result = TRUE;
  // By index, not iterator: a nested message loop inside an action may change the list.
  for (int i = 0; i < GetCount(); ++i) {
    CIconObject* action = GetChild(i);
    if (!action->IsEnabled()) continue;
    result = action->Execute();
    if (!result) break;
  }
  return result;
}
