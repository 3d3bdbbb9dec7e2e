// Logical fonts read from the little-endian bytes they are stored in.
#pragma once

#include <cstddef>
#include <span>

#include "platform/gdi/gdi_types.h"

namespace gdi {

// The stored logical font: five 32-bit fields, the style bytes, the face.
constexpr std::size_t kLogFontBytes = 5 * 4 + 8 + LF_FACESIZE;
static_assert(kLogFontBytes == 60, "a stored logical font takes 60 bytes");

// Reads what every stored form of a logical font ends with: the eight bytes
// italic, underline, strike-out, character set, output and clip precision,
// quality and pitch and family, then the face name in at most 32 bytes.
// Fewer than eight bytes leave the font as it is. The face takes at most 31
// of the bytes there are, so it ends within its field whatever they hold.
void ReadFontStyleAndFace(std::span<const BYTE> stored, LOGFONT& font);

// The 60-byte logical font of course files.
LOGFONT ReadLogFont(std::span<const BYTE, kLogFontBytes> stored);

}  // namespace gdi
