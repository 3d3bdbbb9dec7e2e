// The platform's message boxes for the setup programs.
#include "setuptools/common/message_boxes.h"

#include "platform/base/codepage.h"
#include "platform/user/message_box.h"

int CPlatformMessageBoxes::Show(const CString& text, const CString& caption, UINT type) {
  // Setup texts are UTF-8 (host paths); the box takes code page 1252.
  return ::MessageBox(nullptr, CString(tvn::codepage::FromUtf8(text.view())),
                      CString(tvn::codepage::FromUtf8(caption.view())), type);
}
