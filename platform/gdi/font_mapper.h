// Turns a logical font record into a Qt font: face through the font database,
// with Liberation fonts standing in for the Windows core faces.
#pragma once

#include <QFont>

#include "platform/gdi/gdi_types.h"

namespace gdi {

// The tallest character a stored font may ask for, in pixels at 96 dots an
// inch; larger sizes are cut to it.
constexpr int kMaxFontPixelHeight = 2000;

// Whether Qt's font database may be asked: it exists only with a GUI
// application object (tools and helper programs have none).
bool FontDatabaseAvailable();

// The family the font database should use for a stored face name. Without
// the database the substitution table alone answers.
QString MapFaceName(const LOGFONT& font);
// A font of the logical font's height, weight and style; escapement is not
// part of the font (text output rotates by it).
QFont MakeQFont(const LOGFONT& font);

}  // namespace gdi
