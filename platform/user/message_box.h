// Message boxes and beeps, shown through the user-interface loop's dialogs.
#pragma once

#include "platform/user/dialogs.h"

class CWnd;

// A box owned by the window (or by none) with the caption and style; the button chosen.
int MessageBox(CWnd* owner, const CString& text, const CString& caption, UINT type);
// The framework's box: the application's name as caption; help id not used.
int AfxMessageBox(const CString& text, UINT type = MB_OK, UINT helpId = 0);
BOOL MessageBeep(UINT type);

