// Rich-text character formats made from logical fonts.
#pragma once

#include "platform/richtext_types.h"

// A character format with its size member set and every other byte 0.
void InitCharFormat(CHARFORMAT& format);

// Fills format from a logical font, a point size and a colour: every effect,
// the size in twips, the colour, the face (at most 31 characters), the
// character set and the pitch and family.
void CharFormatFromLogFont(CHARFORMAT& format, const LOGFONT& font, int pointSize, COLORREF colour);
