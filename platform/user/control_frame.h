// The frame a child control's window styles draw inside its rectangle.
#pragma once

#include "platform/base/win_types.h"

class QImage;
class QWidget;

namespace tvn::controls {

// Pixels the frame takes from each side of the window: WS_BORDER one line in
// the window-frame colour, WS_EX_CLIENTEDGE a sunken edge of two more inside it.
int FrameWidthOf(DWORD style, DWORD exStyle);

// Turns off the frame a Qt control draws of its own (scroll areas and line
// editors), so the window's styles alone decide the frame. A drop-down
// field keeps its face: that is the field, not a frame.
void DropOwnFrame(QWidget& control);

// Paints the frame of the styles round the edge of a window's surface.
void PaintFrame(QImage& surface, DWORD style, DWORD exStyle);

}  // namespace tvn::controls
