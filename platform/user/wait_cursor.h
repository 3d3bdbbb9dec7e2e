// The wait cursor shown over every window of the program while a long
// operation runs.
#pragma once

#include <vector>

#include "platform/base/win_types.h"

class QCursor;

// Shows the wait cursor for its lifetime. Nested ones stack: the cursor goes
// back to normal when the outermost ends. Off the user-interface thread, or in
// a program without a windowing application, it does nothing.
class CWaitCursor {
 public:
  CWaitCursor();
  ~CWaitCursor();
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;

 private:
  bool m_shown = false;
};

// IDC_WAIT while a wait cursor shows over every window; 0 when none does, or
// when asked off the user-interface thread.
UINT OverrideCursorId();

// Takes every wait cursor away for its lifetime and puts them back after: a
// modal dialog takes input under its own cursors, as it would without one.
class CWaitCursorPause {
 public:
  CWaitCursorPause();
  ~CWaitCursorPause();
  CWaitCursorPause(const CWaitCursorPause&) = delete;
  CWaitCursorPause& operator=(const CWaitCursorPause&) = delete;

 private:
  std::vector<QCursor> m_paused;  // the innermost first
};
