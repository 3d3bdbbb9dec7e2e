// The common open and save dialog.
#pragma once

#include "platform/user/dialogs.h"

class CFileDialog {
 public:
  CFileDialog(BOOL openFileDialog, const CString& defaultExtension = CString(), const CString& fileName = CString(),
              DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const CString& filter = CString(),
              CWnd* parent = nullptr);

  // IDOK when a file was chosen, IDCANCEL otherwise.
  int DoModal();
  // The chosen file as a host path ('/' separators), empty before DoModal.
  CString GetPathName() const { return m_path; }
  CString GetFileName() const;
  CString GetFileExt() const;
  void SetTitle(const CString& title) { m_request.title = title; }
  // The filter shown first (from 1), and where the chosen one goes on OK.
  void SetFilterIndex(int index, int* chosen = nullptr) {
    m_request.filterIndex = index;
    m_request.chosenFilterIndex = chosen;
  }

 private:
  FileDialogRequest m_request;
  CString m_path;
};
