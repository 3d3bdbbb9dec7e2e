// Shows a menu tree on a Qt menu bar; choosing an item posts WM_COMMAND with its id.
#pragma once

#include <QMenuBar>

#include "platform/menu.h"
#include "platform/window_messages.h"

void BuildQtMenuBar(QMenuBar& bar, HMENU menu, HWND owner);
