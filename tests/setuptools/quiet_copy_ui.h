// A copy UI that shows nothing: copy errors get one set answer, a disk prompt is Exit.
#pragma once

#include "setuptools/setup/copy_ui.h"

namespace tvn::testing {

struct QuietCopyUi : ICopyUi {
  explicit QuietCopyUi(int copyErrorAnswer = 5) : copyErrorAnswer(copyErrorAnswer) {}
  void SetGaugeRange(long long files) override { range = files; }
  void StepGauge() override {}
  void ShowNames(const CString&, const CString&) override {}
  bool IsCopyCancelled() override { return false; }
  int FileCopyErrorDialog(const CString&) override { return copyErrorAnswer; }
  int DiskDialog(const CString&, CString&) override { return 2; }
  bool DispatchPending() override { return true; }
  bool IsF3Pressed() override { return false; }
  bool AskExit() override { return false; }

  int copyErrorAnswer;  // 3 exit, 4 retry, 5 ignore
  long long range = 0;
};

}  // namespace tvn::testing
