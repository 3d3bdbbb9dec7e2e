// The table of action kinds.
#include "behaviour/action_kinds.h"

#include <algorithm>
#include <array>

namespace {

using namespace ActionKind;

constexpr std::array<ActionKindInfo, 32> kKinds = {{
    {kWindow, "CWindowAction", true},
    {kGraphics, "CGraphicsAction", true},
    {kAudio, "CAudioAction", false},
    {kControl, "CControlAction", false},
    {kDDE, "CDDEAction", false},
    {kSimulator, "CSimulatorAction", false},
    {kRun, "CRunAction", false},
    {kText, "CTextAction", true},
    {kWidgit, "CWidgitAction", true},
    {kMovie, "CMovieAction", true},
    {kCourse, "CCourseAction", false},
    {kShape, "CShapeAction", true},
    {kVariable, "CVariableAction", false},
    {kMCI, "CMCIAction", false},
    {kPrint, "CPrintAction", false},
    {kWrite, "CWriteAction", false},
    {kClear, "CClearAction", true},
    {kRead, "CReadAction", false},
    {kMenu, "CMenuAction", false},
    {kPalette, "CPaletteAction", false},
    {kOle, "COleAction", true},
    {kMove, "CMoveAction", true},
    {kDLL, "CDLLAction", false},
    {kODBC, "CODBCAction", false},
    {kRtf, "CRtfAction", true},
    {kHtml, "CHtmlAction", true},
    {kFtp, "CFtpAction", false},
    {kPreload, "CPreloadAction", false},
    {kActiveX, "CActiveXAction", true},
    {kHtmlFrame, "CHtmlFrameAction", true},
    {kComment, "CCommentAction", false},
    {kTransition, "CTransitionAction", true},
}};

}  // namespace

std::span<const ActionKindInfo> ActionKinds() { return kKinds; }

const ActionKindInfo* FindActionKind(int kind) {
  auto it = std::find_if(kKinds.begin(), kKinds.end(), [kind](const ActionKindInfo& k) { return k.kind == kind; });
  return it == kKinds.end() ? nullptr : &*it;
}

const ActionKindInfo* FindActionKindByClass(std::string_view className) {
  auto it = std::find_if(kKinds.begin(), kKinds.end(),
                         [className](const ActionKindInfo& k) { return k.className == className; });
  return it == kKinds.end() ? nullptr : &*it;
}
