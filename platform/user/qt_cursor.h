// The Qt cursor that shows a cursor handle.
#pragma once

#include <QCursor>

#include "platform/user/cursor.h"

QCursor QtCursorFor(HCURSOR cursor);
