// Rich-text character and paragraph formats: comparison, and character formats made from logical fonts.
#pragma once

#include "platform/user/richtext_types.h"

// A character format with its size member set and every other byte 0.
void InitCharFormat(CHARFORMAT& format);

// A point size in twips (20 a point), held to what a LONG can keep: a stored
// size is taken as it stands, however large.
LONG TwipsFromPoints(int points);

// Fills format from a logical font, a point size and a colour: every effect,
// the size in twips, the colour, the face (at most 31 characters), the
// character set and the pitch and family.
void CharFormatFromLogFont(CHARFORMAT& format, const LOGFONT& font, int pointSize, COLORREF colour);

// Mask, effects, height, offset, colour, pitch and family and face agree;
// the character set is not compared.
BOOL CharFormatEquals(const CHARFORMAT& a, const CHARFORMAT& b);

// Mask, numbering, right indent, offset, the tab count and the tab stops up
// to that count agree; start indent and alignment are not compared. A count
// beyond the record's tab stops compares the stops there are.
BOOL ParaFormatEquals(const PARAFORMAT& a, const PARAFORMAT& b);
