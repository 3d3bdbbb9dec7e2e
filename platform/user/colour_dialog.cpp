// The common colour dialog, asked of the loop's dialogs.
#include "platform/user/colour_dialog.h"

#include "platform/user/message_loop.h"

CColorDialog::CColorDialog(COLORREF initial, DWORD flags, CWnd* parent) : m_colour(initial) {
  m_request.owner = parent;
  m_request.colour = initial;
  m_request.flags = flags;
}

int CColorDialog::DoModal() {
  CMessageLoop* loop = CMessageLoop::Current();
  std::optional<COLORREF> chosen = loop ? loop->Dialogs().ColourDialog(m_request) : std::nullopt;
  if (!chosen) return IDCANCEL;
  m_colour = *chosen & 0x00FFFFFF;
  return IDOK;
}
