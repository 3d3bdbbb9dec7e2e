// Shows a menu tree on a Qt menu bar or in a Qt pop-up menu. Owner-drawn
// items are drawn by their menu's painter through a device context.
#pragma once

#include <functional>

#include <QMenuBar>

#include "platform/user/menu.h"
#include "platform/msg/window_messages.h"

class QMenu;

// Choosing an item posts WM_COMMAND with its id to the owner.
void BuildQtMenuBar(QMenuBar& bar, HMENU menu, HWND owner);

// Fills a pop-up with the tree; choosing an item calls choose with its id.
void BuildQtMenu(QMenu& qtMenu, const MenuData& menu, const std::function<void(UINT id)>& choose);

// Runs the tree as a pop-up at a global point; the chosen id, 0 for none.
UINT ExecQtPopupMenu(const MenuData& menu, QWidget* parent, const QPoint& globalPoint);
