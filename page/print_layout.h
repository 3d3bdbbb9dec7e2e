// Where a printed page goes on the paper: margins in tenths of a millimetre turned into printer pixels, and the print modes.
#pragma once

#include "platform/base/geometry.h"
#include "platform/base/win_types.h"

// Print mode bits; the first of 0x2, 0x1, 0x4 that is set decides the rectangle.
namespace PrintMode {
constexpr DWORD kScaled = 0x1;       // inset, keeping the page's 640 x 400 proportion
constexpr DWORD kMargins = 0x2;      // the printable area less the margins
constexpr DWORD kPercentage = 0x4;   // inset, scaled by the percentage
constexpr DWORD kObjects = 0x20;     // the objects drawn on the printer, not the captured page
}  // namespace PrintMode

// The four margins in printer pixels: left and right by the horizontal
// resolution, top and bottom by the vertical one, margin x dpi / 254 worked
// out in 64 bits, so margins under 25.4 mm are not lost.
CRect PrintMarginsInPixels(const CRect& tenthsOfMm, int dpiX, int dpiY);

// The rectangle the page is printed into, inside the printable area.
CRect PrintRectangle(const CRect& printable, const CRect& margins, DWORD mode, int scale);
