// HyperTextNotify: what a click on a hypertext link of a rich-text display tells the presentation view.
#pragma once

#include "platform/base/cstring.h"
#include "platform/msg/window_messages.h"

// The display posts MM_MCINOTIFY with first parameter kCode. Each click
// gets a record of its own, held by value by whoever handles the message,
// so a second click cannot overwrite the first before it is judged; the
// second parameter is the address of that record while the view offers it.
struct HyperTextNotify {
  static constexpr UINT kCode = 0x8082;
  static constexpr int kClickCode = -2;

  HWND window = nullptr;  // the rich-text control
  UINT id = kCode;
  int code = kClickCode;
  CString link;           // the clicked link's text, blanks trimmed at both ends

  // A click on the link with the given text (trimmed here).
  static HyperTextNotify Click(HWND window, const CString& link) {
    HyperTextNotify note;
    note.window = window;
    note.link = link;
    note.link.Trim();
    return note;
  }
};
