// What the window files share: the loop they live on and whether Qt widgets exist.
#pragma once

#include <QApplication>

#include "platform/user/message_loop.h"

namespace tvn::wnd {

inline CMessageLoop* Loop() { return CMessageLoop::Current(); }

// Widgets exist only with a widget application.
inline bool HaveWidgets() { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }

}  // namespace tvn::wnd
