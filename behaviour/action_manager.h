// CActionManager: the ordered actions of one task or one response, and running them.
#pragma once

#include "model/icon_manager.h"
#include "model/task_managers.h"

// Its children are the actions; list order is run order. It keeps no run
// state, so every run starts again at the first action.
class CActionManager : public CIconManager, public IActionList {
  DECLARE_SERIAL(CActionManager)

 public:
  CActionManager() : CIconManager(IconKind::kActionManager, IconKind::kActionManager) {}

  // Runs the enabled actions in order until one returns FALSE, and gives
  // what the last one run returned (TRUE when none ran). A disabled manager
  // runs nothing and gives TRUE. Exceptions from an action pass through and
  // the rest of the list is not run. Once the program or the list's course
  // is closing no further action runs, and the list gives FALSE.
  BOOL RunActions() override;
};
