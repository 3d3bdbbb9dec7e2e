#include "platform/user/gui_session.h"

#include <QApplication>
#include <clocale>

#include "platform/user/message_loop.h"
#include "platform/user/qt_dialogs.h"
#include "platform/user/qt_event_source.h"

CGuiSession::CGuiSession(int& argc, char** argv) : CGuiSession(argc, argv, false) {}

CGuiSession::CGuiSession(int& argc, char** argv, bool offscreen) {
  if (offscreen && !QCoreApplication::instance()) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (!QCoreApplication::instance()) m_app = std::make_unique<QApplication>(argc, argv);
  // The program ends through its own loop; Qt must not end it when the last
  // visible window (a message box, say) closes.
  QApplication::setQuitOnLastWindowClosed(false);
  std::setlocale(LC_NUMERIC, "C");
}

CGuiSession::~CGuiSession() = default;

void CGuiSession::Attach(CMessageLoop& loop) {
  loop.SetEventSource(std::make_unique<CQtEventSource>());
  loop.SetDialogs(std::make_unique<CQtDialogs>());
}

bool CGuiSession::ShowsWindows() {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return false;
  const QString platform = QGuiApplication::platformName();
  return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}
