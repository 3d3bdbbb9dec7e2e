// The presentation view's private messages: the behaviour objects post some of
// them (a course action starts another course), the view handles them all.
#pragma once

#include "platform/base/win_types.h"

namespace ViewMessage {
constexpr UINT kTaskEntered = 0x401;
constexpr UINT kRunTask = 0x402;
constexpr UINT kTaskFinished = 0x403;
// Start another course (wParam: the task number to start at, 0 the first).
constexpr UINT kRunFromAnotherCourse = 0x414;
}  // namespace ViewMessage
