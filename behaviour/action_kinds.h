// The action kinds: the kind id each action class's constructor sets, and whether it shows on the page.
#pragma once

#include <span>
#include <string_view>

#include "model/icon_object.h"

namespace ActionKind {
constexpr int kAction = 6;  // "CAction" itself, and the icon id of every action
constexpr int kWindow = 9;
constexpr int kGraphics = 10;
constexpr int kAudio = IconKind::kAudioAction;
constexpr int kControl = 13;
constexpr int kDDE = 14;
constexpr int kSimulator = 15;
constexpr int kRun = 21;
constexpr int kText = 22;
constexpr int kWidgit = 28;
constexpr int kMovie = 29;
constexpr int kCourse = 30;
constexpr int kShape = 31;
constexpr int kVariable = 33;
constexpr int kMCI = 34;
constexpr int kPrint = 40;
constexpr int kWrite = 41;
constexpr int kClear = 42;
constexpr int kRead = 43;
constexpr int kMenu = 46;
constexpr int kPalette = 49;
constexpr int kOle = 51;
constexpr int kMove = 52;
constexpr int kDLL = 53;
constexpr int kODBC = 54;
constexpr int kRtf = 55;
constexpr int kHtml = 56;
constexpr int kFtp = 57;
constexpr int kPreload = 59;
constexpr int kActiveX = 61;
constexpr int kHtmlFrame = 63;
constexpr int kComment = 64;
constexpr int kTransition = 65;
}  // namespace ActionKind

struct ActionKindInfo {
  int kind;
  std::string_view className;
  bool display;  // derives from the display action and puts itself on the page
};

// Every action kind, in ascending kind order.
std::span<const ActionKindInfo> ActionKinds();
// The row of a kind or of a class name, or null when no action kind has it.
const ActionKindInfo* FindActionKind(int kind);
const ActionKindInfo* FindActionKindByClass(std::string_view className);
