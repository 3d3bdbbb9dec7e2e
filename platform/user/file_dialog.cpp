#include "platform/user/file_dialog.h"

#include "platform/user/message_loop.h"

CFileDialog::CFileDialog(BOOL openFileDialog, const CString& defaultExtension, const CString& fileName, DWORD flags,
                         const CString& filter, CWnd* parent) {
  m_request.owner = parent;
  m_request.open = openFileDialog != FALSE;
  m_request.defaultExtension = defaultExtension;
  m_request.fileName = fileName;
  m_request.flags = flags;
  m_request.filter = filter;
}

int CFileDialog::DoModal() {
  CMessageLoop* loop = CMessageLoop::Current();
  std::optional<CString> chosen = loop ? loop->Dialogs().FileDialog(m_request) : std::nullopt;
  if (!chosen || chosen->IsEmpty()) return IDCANCEL;
  m_path = *chosen;
  return IDOK;
}

CString CFileDialog::GetFileName() const {
  int slash = std::max(m_path.ReverseFind('/'), m_path.ReverseFind('\\'));
  return m_path.Mid(slash + 1);
}

CString CFileDialog::GetFileExt() const {
  CString name = GetFileName();
  int dot = name.ReverseFind('.');
  return dot < 0 ? CString() : name.Mid(dot + 1);
}
