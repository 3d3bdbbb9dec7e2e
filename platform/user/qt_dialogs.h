// Message boxes, file, font and colour dialogs, pop-up menus and beeps through Qt Widgets.
#pragma once

#include "platform/user/dialogs.h"

class CQtDialogs final : public IDialogs {
 public:
  int MessageBox(const MessageBoxRequest& request) override;
  std::optional<CString> FileDialog(const FileDialogRequest& request) override;
  void Beep(UINT type) override;
  std::optional<CHARFORMAT> FontDialog(const FontDialogRequest& request) override;
  std::optional<COLORREF> ColourDialog(const ColourDialogRequest& request) override;
  UINT TrackPopupMenu(const PopupMenuRequest& request) override;
};
