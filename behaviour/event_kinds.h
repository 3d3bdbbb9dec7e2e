// The event kinds: the kind id each event class's constructor sets, and the input it answers.
#pragma once

#include <span>
#include <string_view>

namespace EventKind {
constexpr int kTrigger = 5;  // the base, the display and time events; the icon id of every event
constexpr int kKeyboard = 6;
constexpr int kDemon = 27;
constexpr int kMenu = 48;
}  // namespace EventKind

struct EventKindInfo {
  int kind;
  std::string_view className;
  int typeFlags;            // what GetTypeFlags gives
  std::string_view input;   // the input operation it answers; empty for none
};

// Every event class, the base first.
std::span<const EventKindInfo> EventKinds();
// The row of a class name, or null when no event class has it.
const EventKindInfo* FindEventKindByClass(std::string_view className);
