// ICourseSwitcher: what the application does for an action that switches courses.
#pragma once

#include "platform/base/cstring.h"
#include "platform/base/win_types.h"

class CCourseDoc;

// What the application does for switching courses. The course host of the
// action's own course gives it (the application implements both); without
// it the action does nothing and lets its list go on.
class ICourseSwitcher {
 public:
  virtual ~ICourseSwitcher() = default;
  // The course that runs in the view (process-wide), or null.
  virtual CCourseDoc* GetCurrentCourse() const = 0;
  virtual void SetCurrentCourse(CCourseDoc* course) = 0;
  // An open course by path, compared without regard to case; null when none.
  virtual CCourseDoc* FindDocument(const CString& path) = 0;
  // Opens the course (reporting its own failures); null when it fails.
  virtual CCourseDoc* OpenPresentation(const CString& path, BOOL visible) = 0;
  // Posts the view's run-from-another-course message.
  virtual void PostViewMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
};
