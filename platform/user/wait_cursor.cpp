// The wait cursor, as Qt's application-wide override cursor.
#include "platform/user/wait_cursor.h"

#include <QCursor>
#include <QGuiApplication>
#include <QThread>

#include "platform/gdi/gui_application.h"
#include "platform/user/cursor.h"

namespace {

// Qt's cursor belongs to the thread of the windowing application; a helper
// thread never touches it.
bool OnGuiThread() {
  const QGuiApplication* app = gdi::GuiApplication();
  return app && app->thread() == QThread::currentThread();
}

}  // namespace

CWaitCursor::CWaitCursor() {
  if (!OnGuiThread()) return;
  QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  m_shown = true;
}

CWaitCursor::~CWaitCursor() {
  if (m_shown && OnGuiThread()) QGuiApplication::restoreOverrideCursor();
}

UINT OverrideCursorId() {
  if (!OnGuiThread()) return 0;
  const QCursor* cursor = QGuiApplication::overrideCursor();
  return cursor && cursor->shape() == Qt::WaitCursor ? IDC_WAIT : 0;
}

CWaitCursorPause::CWaitCursorPause() {
  if (!OnGuiThread()) return;
  while (const QCursor* cursor = QGuiApplication::overrideCursor()) {
    m_paused.push_back(*cursor);
    QGuiApplication::restoreOverrideCursor();
  }
}

CWaitCursorPause::~CWaitCursorPause() {
  if (m_paused.empty() || !OnGuiThread()) return;
  for (auto it = m_paused.rbegin(); it != m_paused.rend(); ++it) QGuiApplication::setOverrideCursor(*it);
}
