// The table of event kinds.
#include "behaviour/event_kinds.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<EventKindInfo, 6> kEventKinds = {{
    {EventKind::kTrigger, "CEventTrigger", 0, ""},
    {EventKind::kTrigger, "CDisplayEvent", 0, ""},
    {EventKind::kTrigger, "CTimeEvent", 65, "OnTimer"},
    {EventKind::kKeyboard, "CKeyboardEvent", 65, "OnKey"},
    {EventKind::kDemon, "CDemonEvent", 65, "OnCommand"},
    {EventKind::kMenu, "CMenuEvent", 65, "OnCommand"},
}};

}  // namespace

std::span<const EventKindInfo> EventKinds() { return kEventKinds; }

const EventKindInfo* FindEventKindByClass(std::string_view className) {
  auto it = std::find_if(kEventKinds.begin(), kEventKinds.end(),
                         [&](const EventKindInfo& e) { return e.className == className; });
  return it == kEventKinds.end() ? nullptr : &*it;
}
