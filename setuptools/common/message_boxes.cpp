// The platform's message boxes for the setup programs.
#include "setuptools/common/message_boxes.h"

#include "platform/user/message_box.h"

int CPlatformMessageBoxes::Show(const CString& text, const CString& caption, UINT type) {
  return ::MessageBox(nullptr, text, caption, type);
}
