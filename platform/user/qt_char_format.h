// A rich-text character format to a Qt font and back, for the font dialog and
// the rich-edit control's document.
#pragma once

#include <QFont>

#include "platform/user/richtext_types.h"

// The font a character format names: the face through the font mapper
// (Liberation stands in for the Windows core faces), its size in points
// (10 when it carries none; at most gdi::kMaxFontPixelHeight pixels at 96
// dots an inch, as for every font the layer makes), bold, italic, underline and strike-out. Only
// these are set in the font, so a text format can take them alone.
QFont CharFormatToQFont(const CHARFORMAT& format);

// The format with the font taken in: face, size, bold, italic, underline and
// strike-out, their mask bits set. A face that maps to the family the base
// format's face maps to keeps its Windows name (and pitch and family), so
// "Times New Roman" stays so; another family is named itself, cut to 31
// bytes of code page 1252. Colour, offset and character set stay as in base.
CHARFORMAT QFontToCharFormat(const QFont& font, const CHARFORMAT& base);
