// ICopyUi: what the copy step of setup needs of its windows: the copying dialog, dialogs 19 and 16, the message loop and the exit question.
#pragma once

#include "platform/base/cstring.h"

class ICopyUi {
 public:
  virtual ~ICopyUi() = default;
  // The copying dialog: the gauge's range in files, one step, the two name
  // fields (controls 103 and 4004; an empty name leaves its field as it is).
  virtual void SetGaugeRange(long long files) = 0;
  virtual void StepGauge() = 0;
  virtual void ShowNames(const CString& source, const CString& target) = 0;
  // The copying dialog's Cancel was pressed.
  virtual bool IsCopyCancelled() = 0;
  // The File Copy Error dialog (19): 3 Exit, 4 Retry, 5 Ignore, 2 Escape confirmed.
  virtual int FileCopyErrorDialog(const CString& text) = 0;
  // The disk dialog (16): 1 when the user confirmed the disk; the folder the
  // disks are read from is shown and may be edited (taken only with 1).
  virtual int DiskDialog(const CString& text, CString& sourceDirectory) = 0;
  // Dispatches every pending message; false when a WM_QUIT was among them
  // (it stays for the run loop) or the program is closing.
  virtual bool DispatchPending() = 0;
  virtual bool IsF3Pressed() = 0;
  // The background window's exit question (411); true when the user leaves.
  virtual bool AskExit() = 0;
};
