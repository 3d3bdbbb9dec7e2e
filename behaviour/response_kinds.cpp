// The table of response kinds.
#include "behaviour/response_kinds.h"

#include <algorithm>
#include <array>

namespace {

using namespace ResponseKind;

constexpr std::array<ResponseKindInfo, 19> kResponseKinds = {{
    {kResponse, "CResponse", false, 3, 0},
    {kBranch, "CBranchResponse", false, 2, 68},
    {kTime, "CTimeResponse", false, 1, 68},
    {kKeyBoard, "CKeyBoardResponse", false, 2, 68},
    {kRegion, "CRegionResponse", true, 2, 68},
    {kPushButton, "CPushButtonResponse", true, 3, 340},
    {kEditor, "CEditorResponse", true, 3, 323},
    {kCheckButton, "CCheckButtonResponse", true, 2, 325},
    {kCondition, "CConditionResponse", false, 2, 69},
    {kGrid, "CGridResponse", true, 2, 69},
    {kMCI, "CMCIResponse", false, 2, 66},
    {kFrame, "CFrameResponse", false, 2, 64},
    {kMouse, "CMouseResponse", false, 2, 68},
    {kListBox, "CListBoxResponse", true, 2, 323},
    {kMenu, "CMenuResponse", false, 2, 65},
    {kDragDrop, "CDragDropResponse", true, 2, 68},
    {kHyperText, "CHyperTextResponse", false, 2, 84},
    {kRtfEditor, "CRtfEditorResponse", true, 2, 1},
    {kActiveX, "CActiveXResponse", false, 2, 1},
}};

}  // namespace

std::span<const ResponseKindInfo> ResponseKinds() { return kResponseKinds; }

const ResponseKindInfo* FindResponseKind(int kind) {
  auto it = std::find_if(kResponseKinds.begin(), kResponseKinds.end(),
                         [&](const ResponseKindInfo& r) { return r.kind == kind; });
  return it == kResponseKinds.end() ? nullptr : &*it;
}
