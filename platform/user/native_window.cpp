// Native window ids from the window's Qt widget.
#include "platform/user/native_window.h"

#include <QWidget>

#include "platform/user/wnd.h"

std::uintptr_t NativeWindowId(const CWnd& window) {
  QWidget* widget = window.GetWidget();
  return widget ? static_cast<std::uintptr_t>(widget->effectiveWinId()) : 0;
}
