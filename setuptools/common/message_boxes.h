// IMessageBoxes: how the setup programs ask the user (platform boxes in the programs, scripted in tests).
#pragma once

#include "platform/base/cstring.h"
#include "platform/base/win_types.h"

class IMessageBoxes {
 public:
  virtual ~IMessageBoxes() = default;
  // A box with the text and caption (UTF-8) and the style; the button chosen (IDOK ...).
  virtual int Show(const CString& text, const CString& caption, UINT type) = 0;
};

// The platform's message boxes (the setup programs hand the layer UTF-8).
class CPlatformMessageBoxes : public IMessageBoxes {
 public:
  int Show(const CString& text, const CString& caption, UINT type) override;
};
