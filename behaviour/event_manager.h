// CEventManager: a task's events, and arming them when its course starts.
#pragma once

#include "model/icon_manager.h"
#include "model/task_managers.h"

class CCourseDoc;
class CEventTrigger;
class CTask;

class CEventManager : public CIconManager, public IEventList {
  DECLARE_SERIAL(CEventManager)

 public:
  CEventManager() : CIconManager(IconKind::kEventManager, IconKind::kEventManager) {}

  // Appends an entry for every event that is not disabled, in list order,
  // and starts it. A disabled manager arms nothing. Arming twice without
  // emptying the list in between arms the events twice.
  void ArmEvents(IArmedEventSink& armed, CCourseDoc* course, CTask* task) override;
};
