// CFontDialog: the common font dialog over a rich-text character format.
#pragma once

#include "platform/user/dialogs.h"

class CFontDialog {
 public:
  // The dialog opens on the format's face, size and effects.
  explicit CFontDialog(const CHARFORMAT& format, DWORD flags = CF_SCREENFONTS | CF_EFFECTS, CWnd* parent = nullptr);

  // IDOK when a font was chosen, IDCANCEL otherwise.
  int DoModal();
  // The chosen format (the one given before DoModal or after a cancel).
  void GetCharFormat(CHARFORMAT& format) const { format = m_format; }
  const CHARFORMAT& CharFormat() const { return m_format; }

 private:
  FontDialogRequest m_request;
  CHARFORMAT m_format;
};
