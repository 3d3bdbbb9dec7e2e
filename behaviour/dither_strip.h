// The strip of 8 x 8 dither cells that patterned shape fills cut their brushes from.
#pragma once

#include "platform/base/win_types.h"

class CBitmap;

// Cells in the strip: cell n (0..16) has 4 n of its 64 pixels set.
constexpr int kDitherCells = 17;

// Makes the monochrome strip (kDitherCells cells of 8 x 8 side by side),
// filled from an ordered-dither matrix so each cell spreads its pixels evenly.
BOOL MakeDitherStrip(CBitmap& strip);
