// The common font dialog, asked of the loop's dialogs.
#include "platform/user/font_dialog.h"

#include "platform/user/message_loop.h"

CFontDialog::CFontDialog(const CHARFORMAT& format, DWORD flags, CWnd* parent) : m_format(format) {
  m_request.owner = parent;
  m_request.format = format;
  m_request.flags = flags;
}

int CFontDialog::DoModal() {
  CMessageLoop* loop = CMessageLoop::Current();
  std::optional<CHARFORMAT> chosen = loop ? loop->Dialogs().FontDialog(m_request) : std::nullopt;
  if (!chosen) return IDCANCEL;
  m_format = *chosen;
  m_format.cbSize = sizeof(CHARFORMAT);
  return IDOK;
}
