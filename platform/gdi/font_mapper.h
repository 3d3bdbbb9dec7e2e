// Turns a logical font record into a Qt font: face through the font database,
// with Liberation fonts standing in for the Windows core faces.
#pragma once

#include <QFont>

#include "platform/gdi/gdi_types.h"

namespace gdi {

// The family the font database should use for a stored face name.
QString MapFaceName(const LOGFONT& font);
// A font of the logical font's height, weight and style; escapement is not
// part of the font (text output rotates by it).
QFont MakeQFont(const LOGFONT& font);

}  // namespace gdi
