// The runtime's own resources: the strings and ids the application, its
// templates and frames are built from. They serve when no resource library
// is found.
#pragma once

#include "page/view_messages.h"
#include "platform/base/cstring.h"
#include "platform/base/win_types.h"

namespace AppResource {
constexpr UINT kMainFrame = 2;
constexpr UINT kCourseTemplate = 3;
constexpr UINT kPresentationTemplate = 6;
constexpr UINT kPresentationContainerMenu = 7;
constexpr UINT kOleInitFailed = 8103;
constexpr UINT kOpenFilter = 8193;
}  // namespace AppResource

// Commands of the presentation window.
namespace AppCommand {
constexpr UINT kOpenCourse = 2092;
constexpr UINT kOpenCourseAlt = 1260;
constexpr UINT kStopCourse = 32805;
}  // namespace AppCommand


// The text of one of the runtime's own strings; empty for an id it lacks.
CString LoadAppString(UINT id);
