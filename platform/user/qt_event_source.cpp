#include "platform/user/qt_event_source.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

CQtEventSource::CQtEventSource() : m_dispatcher(QAbstractEventDispatcher::instance()) {
  m_timeout.setSingleShot(true);
}

void CQtEventSource::Poll() {
  if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void CQtEventSource::Wait(std::optional<DWORD> maxMs) {
  if (!QCoreApplication::instance()) return;
  if (maxMs && *maxMs == 0) {
    Poll();
    return;
  }
  // The timer's own event ends the wait when nothing else does; a wake-up
  // that came before the wait is kept by the dispatcher and ends it at once.
  if (maxMs) m_timeout.start(static_cast<int>(std::min<DWORD>(*maxMs, 0x7FFFFFFF)));
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  m_timeout.stop();
}

void CQtEventSource::Wake() {
  if (QAbstractEventDispatcher* d = m_dispatcher.data()) d->wakeUp();
}
