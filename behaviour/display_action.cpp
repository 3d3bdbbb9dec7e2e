#include "behaviour/display_action.h"

#include "behaviour/display_event.h"
#include "behaviour/display_response.h"

IMPLEMENT_SERIAL(CDisplayAction, CAction, VERSIONABLE_SCHEMA | 2)
IMPLEMENT_SERIAL(CDisplayEvent, CEventTrigger, VERSIONABLE_SCHEMA | 2)
IMPLEMENT_SERIAL(CDisplayResponse, CResponse, VERSIONABLE_SCHEMA | 2)
