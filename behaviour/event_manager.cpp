// Arming a task's events.
#include "behaviour/event_manager.h"

#include "behaviour/event_trigger.h"

IMPLEMENT_SERIAL(CEventManager, CIconManager, VERSIONABLE_SCHEMA | 2)

void CEventManager::ArmEvents(IArmedEventSink& armed, CCourseDoc* course, CTask* task) {
  if (!IsEnabled()) return;
  for (const auto& child : Children()) {
    // Only events are armed; the list may hold other objects in a damaged file.
    auto* event = DynamicDowncast<CEventTrigger>(child.get());
    if (!event || !child->CIconObject::IsEnabled()) continue;
    armed.AppendArmed(event, course, task);
    event->Start();
  }
}
