// The program's dialog colours, kept for the program's life.
#include "platform/user/dialog_colours.h"

namespace {

std::optional<DialogColours>& Colours() {
  static std::optional<DialogColours> colours;
  return colours;
}

}  // namespace

void SetDialogBkColor(COLORREF background, COLORREF text) { Colours() = DialogColours{background, text}; }

std::optional<DialogColours> GetDialogColours() { return Colours(); }
