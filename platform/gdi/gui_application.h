// Whether the program runs with Qt's GUI application object, which fonts, cursors and the clipboard need.
#pragma once

class QGuiApplication;

namespace gdi {

// The GUI application object; null when there is none (tools and helper
// programs have none, or only a core application).
QGuiApplication* GuiApplication();

}  // namespace gdi
