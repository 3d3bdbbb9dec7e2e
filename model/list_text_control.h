// Loading a list text into a list-box or combo-box control, for the list-box response.
#pragma once

#include "platform/base/cstring.h"

class CVariableContext;

// The list or combo box a list text goes into: messages to it and the width
// of a text in its own font. The window layer's controls fill it.
class IListTextControl {
 public:
  virtual ~IListTextControl() = default;
  // A message whose lParam is a number (an index, a flag).
  virtual LRESULT SendIndexMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  // A message whose lParam is a text (add, select or find a string).
  virtual LRESULT SendTextMessage(UINT message, WPARAM wParam, const CString& text) = 0;
  // The width in pixels of text drawn in the control's font.
  virtual int MeasureText(const CString& text) = 0;
};

// The list-box and combo-box messages this code sends or is given.
namespace ListMessage {
constexpr UINT kCbAddString = 0x0143;
constexpr UINT kCbSelectString = 0x014D;
constexpr UINT kCbSetCurSel = 0x014E;
constexpr UINT kLbAddString = 0x0180;
constexpr UINT kLbSetSel = 0x0185;
constexpr UINT kLbSetCurSel = 0x0186;
constexpr UINT kLbSelectString = 0x018C;
constexpr UINT kLbFindString = 0x018F;
constexpr LRESULT kError = -1;
}  // namespace ListMessage

// Expands placeholders in text, walks its elements (CR LF, or the first
// character of separator) and, by message: selects by number or text
// (combo or single-selection list: first element only), selects every
// element (multiple-selection list), or adds every element, cut to 99 bytes,
// measuring it. Gives the widest element added, 0 when only selections were made.
WORD MeasureTextInWindow(CVariableContext& context, IListTextControl& control, const CString& text, UINT message,
                         const CString& separator);
