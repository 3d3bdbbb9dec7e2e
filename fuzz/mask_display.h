// What a masked field may show: its literals where the mask has them, and
// at each input position the prompt or a character its letter takes as it is.
#pragma once

#include "behaviour/pic_mask.h"

inline bool ShowsWhatTheMaskAllows(const CPicMask& mask, const CString& shown) {
  if (shown.GetLength() != mask.GetLength()) return false;
  for (int p = 0; p < mask.GetLength(); ++p) {
    const MaskCell& cell = mask.GetMask()[static_cast<std::size_t>(p)];
    const char c = shown[p];
    if (!cell.input) {
      if (c != cell.ch) return false;
      continue;
    }
    char accepted = c;
    if (c != mask.GetPromptChar() && (!mask.IsCharValid(p, accepted) || accepted != c)) return false;
  }
  return true;
}
