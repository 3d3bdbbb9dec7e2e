// Message boxes, file dialogs and beeps through Qt Widgets.
#pragma once

#include "platform/dialogs.h"

class CQtDialogs final : public IDialogs {
 public:
  int MessageBox(const MessageBoxRequest& request) override;
  std::optional<CString> FileDialog(const FileDialogRequest& request) override;
  void Beep(UINT type) override;
};
