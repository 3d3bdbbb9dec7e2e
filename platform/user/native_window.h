// The id the display system knows a window by, for outside libraries that take a window.
#pragma once

#include <cstdint>

class CWnd;

// The window's native id (its native ancestor's); 0 without a widget.
std::uintptr_t NativeWindowId(const CWnd& window);
