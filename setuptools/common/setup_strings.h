// The string tables of the three setup programs: partly equal ids, different texts.
#pragma once

#include "platform/base/cstring.h"
#include "platform/base/win_types.h"
#include "platform/sys/file_error_messages.h"

enum class SetupProgram { kSetup, kAutorun, kUninstal };

namespace SetupString {
constexpr UINT kMissingScript = 401;
constexpr UINT kNoMemory = 402;
constexpr UINT kNoUnzipLibrary = 403;
constexpr UINT kLowDiskSpaceWrite = 406;
constexpr UINT kExitQuestion = 411;
constexpr UINT kDiskSpace = 414;
constexpr UINT kLogName = 415;  // uninstal: "UNINSTAL.INF"
constexpr UINT kComplete = 417;
constexpr UINT kCustomProgram = 420;
constexpr UINT kIncomplete = 435;
constexpr UINT kCannotOpen = 441;
constexpr UINT kCannotCreateDirectory = 442;
constexpr UINT kNoProgramManager = 443;
constexpr UINT kNoDde = 444;
// Program Manager commands; setup and uninstal give some ids different texts.
constexpr UINT kDeleteGroup = 445;        // setup "[deletegroup(%1)]", uninstal [deletegroup("%1")]
constexpr UINT kCreateGroup = 446;        // setup
constexpr UINT kShowGroupNormal = 447;    // both "[showgroup(%1,1)]"
constexpr UINT kShowGroupMinimised = 448; // setup
constexpr UINT kRemoveItem = 448;         // uninstal [deleteitem("%1")]
constexpr UINT kShowGroupSix = 449;       // uninstal "[showgroup(%1,6)]"
constexpr UINT kDeleteItem = 459;         // setup "[deleteitem(%1)]"
constexpr UINT kReloadGroup = 460;        // setup
constexpr UINT kNotRemoved = 418;         // uninstal: what stayed behind
constexpr UINT kNewerVersion = 449;
constexpr UINT kDeleteDirectory = 450;  // uninstal
constexpr UINT kDataSource = 452;
constexpr UINT kMismatch = 454;
constexpr UINT kRestart = 455;
constexpr UINT kRunProgram = 457;
constexpr UINT kUninstallHead = 458;   // setup: the head of UNINSTAL.INF, %1 and %2 the caption
constexpr UINT kCopyError = 20000;     // 20000 + code; 20000 itself "DOS Error #%d"
constexpr UINT kOutOfMemory = 61706;
// The file-error messages, kFileNotFound to kWriteGeneric.
using namespace tvn::sys::FileErrorMessage;
constexpr UINT kTitle = 57344;
}  // namespace SetupString

// The program's text of an id; empty when its table does not hold it.
CString LoadSetupString(SetupProgram program, UINT id);
// The text with every "%1" replaced by the argument.
CString FormatSetupString(SetupProgram program, UINT id, const CString& argument);
