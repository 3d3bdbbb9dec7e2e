// Input that lands on a media child window (a movie's picture) passed on to the view under it.
#pragma once

#include "platform/base/geometry.h"
#include "platform/base/win_types.h"

class CWnd;

// Posts a mouse message on to the child's parent with the point in the
// parent's own coordinates, so the page's responses judge it where it lies.
void PostMouseToParent(CWnd& child, UINT message, WPARAM flags, CPoint point);
// Posts a key message on to the parent as it came.
void PostKeyToParent(CWnd& child, UINT message, WPARAM key, LPARAM data);
// WM_SETCURSOR asked of the parent first; TRUE when the parent set the cursor.
BOOL AskParentForCursor(CWnd& child, CWnd* holder, UINT hitTest, UINT message);
