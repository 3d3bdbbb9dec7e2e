// Reader of Windows cursor files (".cur"): the picture, mask and hot spot of one cursor image.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/base/win_types.h"

// A cursor picture, top row first, one 0xAARRGGBB value per pixel (not premultiplied).
struct CursorImage {
  int width = 0;
  int height = 0;
  int hotX = 0;
  int hotY = 0;
  std::vector<std::uint32_t> argb;
};

// Reads the image of a cursor file nearest the standard 32 by 32 size. Only
// uncompressed device-independent bitmaps of 1, 4, 8, 24 or 32 bits are
// read; anything else, or a file that is damaged or short, gives nothing.
// With acceptIcons an icon file (same layout, type 1, no hot spot) reads too.
std::optional<CursorImage> ReadCursorFile(std::span<const BYTE> bytes, bool acceptIcons = false);
