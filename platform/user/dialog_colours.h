// The application's dialog colours: the face of its dialogs and message boxes and the text on it.
#pragma once

#include <optional>

#include "platform/base/win_types.h"

struct DialogColours {
  COLORREF background = RGB(192, 192, 192);
  COLORREF text = RGB(0, 0, 0);
};

// Sets the program's dialog colours, once at start-up: dialogs paint their
// face with the background, the statics and buttons on them are answered
// with both colours, and message boxes show both.
void SetDialogBkColor(COLORREF background = RGB(192, 192, 192), COLORREF text = RGB(0, 0, 0));

// The colours the program set; nothing when it set none (dialogs then take
// the button face, message boxes the desktop's look).
std::optional<DialogColours> GetDialogColours();
