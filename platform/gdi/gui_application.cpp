// The GUI application object: a core application alone does not count.
#include "platform/gdi/gui_application.h"

#include <QGuiApplication>

namespace gdi {

QGuiApplication* GuiApplication() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()); }

}  // namespace gdi
