// IProgramWatch: the presentation view's list of programs that run actions started.
#pragma once

#include "platform/sys/process.h"
#include "platform/base/win_types.h"

class IProgramWatch {
 public:
  virtual ~IProgramWatch() = default;
  // Follows a started program with the starting action's flags (0x4: tell
  // the view when it ends); from then on the list owns the process.
  virtual int Add(tvn::sys::ProcessId process, WORD flags) = 0;
  // Takes a program nobody follows: its exit is collected when it ends.
  virtual void Release(tvn::sys::ProcessId process) = 0;
  // One look at the followed programs: TRUE when one ended since the last look.
  virtual BOOL OnTimer() = 0;
};
