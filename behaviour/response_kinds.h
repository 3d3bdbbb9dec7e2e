// The response kinds: the kind id each response class's constructor sets, its schema and type flags.
#pragma once

#include <span>
#include <string_view>

namespace ResponseKind {
constexpr int kResponse = 7;  // the base, and the icon id of every response
constexpr int kBranch = 17;
constexpr int kTime = 18;
constexpr int kKeyBoard = 19;
constexpr int kRegion = 20;
constexpr int kPushButton = 23;
constexpr int kEditor = 24;
constexpr int kCheckButton = 25;
constexpr int kCondition = 26;
constexpr int kGrid = 32;
constexpr int kMCI = 36;
constexpr int kFrame = 37;
constexpr int kMouse = 44;
constexpr int kListBox = 45;
constexpr int kMenu = 47;
constexpr int kDragDrop = 50;
constexpr int kHyperText = 58;
constexpr int kRtfEditor = 60;
constexpr int kActiveX = 62;
}  // namespace ResponseKind

struct ResponseKindInfo {
  int kind;
  std::string_view className;
  bool display;  // derives from the display response and shows on the page
  int schema;
  int typeFlags;
};

// Every response kind, in ascending kind order.
std::span<const ResponseKindInfo> ResponseKinds();
// The row of a kind, or null when no response kind has it.
const ResponseKindInfo* FindResponseKind(int kind);
