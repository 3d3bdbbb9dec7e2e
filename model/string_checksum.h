// The 16-bit checksum of a text that course menus use as their command ids.
#pragma once

#include <string_view>

#include "platform/win_types.h"

// 0 for an empty text. Otherwise, over the bytes taken as signed values:
// h = (h XOR byte) << 1 kept to 16 bits; the result is h + 500 kept to 16 bits.
WORD StringChecksum(std::string_view text);
