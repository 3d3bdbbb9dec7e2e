// CColorDialog: the common colour dialog.
#pragma once

#include "platform/user/dialogs.h"

class CColorDialog {
 public:
  explicit CColorDialog(COLORREF initial = 0, DWORD flags = 0, CWnd* parent = nullptr);

  // IDOK when a colour was chosen, IDCANCEL otherwise.
  int DoModal();
  // The chosen colour (the initial one before DoModal or after a cancel).
  COLORREF GetColor() const { return m_colour; }

 private:
  ColourDialogRequest m_request;
  COLORREF m_colour;
};
