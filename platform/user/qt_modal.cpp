#include "platform/user/qt_modal.h"

#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QMenu>
#include <QPointer>

#include "platform/user/message_loop.h"
#include "platform/user/wait_rule.h"

namespace {

// Ends a Qt event loop when the watched window hides.
class HideWatcher final : public QObject {
 public:
  explicit HideWatcher(QEventLoop& loop) : m_loop(loop) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Hide) m_loop.quit();
    return false;
  }

 private:
  QEventLoop& m_loop;
};

void CloseAsCancelled(QWidget& window) {
  if (auto* dialog = qobject_cast<QDialog*>(&window)) dialog->reject();
  else window.close();
}

// The one routine under every Qt modal window: runs until the shown window
// hides. On the program's thread the program's loop runs; elsewhere, or with
// no loop at all, Qt's own.
void RunWhileShown(QWidget& window) {
  QPointer<QWidget> guard(&window);
  CMessageLoop* loop = CMessageLoop::Current();
  if (!loop || !loop->IsLoopThread()) {
    QEventLoop qtLoop;
    HideWatcher watcher(qtLoop);
    window.installEventFilter(&watcher);
    if (window.isVisible()) qtLoop.exec(QEventLoop::DialogExec);
    if (guard) guard->removeEventFilter(&watcher);
    return;
  }
  CMessageLoop::ModalScope modal(*loop);
  // The window's own keys (Escape among them) are its to handle.
  const WaitPolicy rule{WaitInput::kDispatch, nullptr, false, true};
  // As the run loop: idle turns (animation) while they ask for more and no
  // message waits, then messages; a wait only when neither has anything.
  bool idle = true;
  LONG count = 0;
  while (guard && guard->isVisible() && !modal.Ending()) {
    MSG msg;
    if (!loop->PeekMessage(msg, nullptr, 0, 0, PM_REMOVE)) {
      if (idle) {
        if (!loop->OnIdle(count++)) idle = false;
      } else if (guard && guard->isVisible() && !modal.Ending()) {
        loop->WaitMessage();
      }
      continue;
    }
    if (DecideFate(rule, msg) == MessageFate::kQuit) {
      // The program's run loop ends too: the quit goes back for it.
      loop->PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (!loop->PreTranslateMessage(msg)) loop->DispatchMessage(msg);
    if (loop->IsIdleMessage(msg)) {
      idle = true;
      count = 0;
    }
    if (loop->OnMessagePumped(msg)) {
      idle = true;
      count = 1;
    }
  }
  if (guard && guard->isVisible()) CloseAsCancelled(*guard);
}

}  // namespace

int ExecQtModal(QDialog& dialog) {
  if (dialog.windowModality() == Qt::NonModal) dialog.setWindowModality(Qt::ApplicationModal);
  dialog.setResult(QDialog::Rejected);
  dialog.show();
  QPointer<QDialog> guard(&dialog);
  RunWhileShown(dialog);
  return guard ? guard->result() : QDialog::Rejected;
}

void ExecQtModal(QMenu& menu, const QPoint& globalPoint) {
  menu.popup(globalPoint);
  RunWhileShown(menu);
}
