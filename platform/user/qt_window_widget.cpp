#include "platform/user/qt_window_widget.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <mutex>

#include "platform/user/message_loop.h"
#include "platform/user/qt_input.h"
#include "platform/user/wnd.h"

namespace {

CMessageLoop* Loop() { return CMessageLoop::Current(); }

}  // namespace

CWindowWidget::CWindowWidget(HWND hwnd, QWidget* parent) : QWidget(parent), m_hwnd(hwnd) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
}

void CWindowWidget::paintEvent(QPaintEvent* event) {
  CWnd* wnd = Loop() ? Loop()->FromHandle(m_hwnd) : nullptr;
  if (!wnd) return;
  std::lock_guard lock(wnd->SurfaceLock());
  QImage* surface = wnd->GetSurface();
  if (!surface) return;
  QPainter painter(this);
  // The surface is the client area; the scroll bars paint themselves beside it.
  QRect area = event->rect() & surface->rect();
  if (!area.isEmpty()) painter.drawImage(area, *surface, area);
}

QScrollBar* CWindowWidget::ScrollBar(int bar) {
  int index = bar == 0 ? 0 : 1;
  if (m_bars[index]) return m_bars[index];
  auto* sb = new QScrollBar(index == 0 ? Qt::Horizontal : Qt::Vertical, this);
  sb->hide();
  m_bars[index] = sb;
  UINT message = index == 0 ? WM_HSCROLL : WM_VSCROLL;
  QObject::connect(sb, &QAbstractSlider::actionTriggered, sb, [this, sb, message](int action) {
    UINT code = SB_ENDSCROLL;
    switch (action) {
      case QAbstractSlider::SliderSingleStepAdd: code = SB_LINEDOWN; break;
      case QAbstractSlider::SliderSingleStepSub: code = SB_LINEUP; break;
      case QAbstractSlider::SliderPageStepAdd: code = SB_PAGEDOWN; break;
      case QAbstractSlider::SliderPageStepSub: code = SB_PAGEUP; break;
      case QAbstractSlider::SliderToMinimum: code = SB_TOP; break;
      case QAbstractSlider::SliderToMaximum: code = SB_BOTTOM; break;
      case QAbstractSlider::SliderMove: code = SB_THUMBTRACK; break;
      default: return;
    }
    int position = sb->sliderPosition();
    // The window moves the bar when it scrolls; a step it refuses leaves it.
    if (action != QAbstractSlider::SliderMove) sb->setSliderPosition(sb->value());
    if (CMessageLoop* loop = Loop()) loop->PostMessage(m_hwnd, message, MAKEWPARAM(static_cast<int>(code), position), 0);
  });
  QObject::connect(sb, &QAbstractSlider::sliderReleased, sb, [this, sb, message] {
    if (CMessageLoop* loop = Loop()) {
      loop->PostMessage(m_hwnd, message, MAKEWPARAM(static_cast<int>(SB_THUMBPOSITION), sb->sliderPosition()), 0);
      loop->PostMessage(m_hwnd, message, MAKEWPARAM(static_cast<int>(SB_ENDSCROLL), 0), 0);
    }
  });
  return sb;
}

void CWindowWidget::mousePressEvent(QMouseEvent* event) { PostMouseMessage(m_hwnd, *event, event->position()); }
void CWindowWidget::mouseReleaseEvent(QMouseEvent* event) { PostMouseMessage(m_hwnd, *event, event->position()); }
void CWindowWidget::mouseDoubleClickEvent(QMouseEvent* event) { PostMouseMessage(m_hwnd, *event, event->position()); }
void CWindowWidget::mouseMoveEvent(QMouseEvent* event) { PostMouseMessage(m_hwnd, *event, event->position()); }

void CWindowWidget::wheelEvent(QWheelEvent* event) {
  CMessageLoop* loop = Loop();
  CWnd* wnd = loop ? loop->FromHandle(m_hwnd) : nullptr;
  if (!wnd) return;
  CPoint screen(static_cast<LONG>(event->position().x()), static_cast<LONG>(event->position().y()));
  wnd->ClientToScreen(&screen);
  // Qt's eighths of a degree are the same unit as Windows' 120 per notch.
  int delta = event->angleDelta().y();
  // The window under the pointer may scroll with it; else the focus window gets it.
  loop->PostInput(m_hwnd, WM_QTWHEEL,
                  MAKEWPARAM(static_cast<int>(MouseKeyFlags(event->buttons(), event->modifiers())), delta),
                  MAKELPARAM(screen.x, screen.y));
}

// Keys go to the window with the keyboard focus.
void CWindowWidget::keyPressEvent(QKeyEvent* event) { PostKeyMessages(m_hwnd, *event, true); }
void CWindowWidget::keyReleaseEvent(QKeyEvent* event) { PostKeyMessages(m_hwnd, *event, false); }

void CWindowWidget::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  CMessageLoop* loop = Loop();
  if (!loop || loop->GetFocus() == m_hwnd) return;
  // Handled from the queue: focus handlers may do anything, also destroy this widget.
  switch (event->reason()) {
    case Qt::MouseFocusReason:
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
      loop->PostMessage(m_hwnd, WM_QTFOCUS, kFocusByUser, 0);
      break;
    case Qt::ActiveWindowFocusReason:
      loop->PostMessage(m_hwnd, WM_QTFOCUS, kFocusByActivation, 0);
      break;
    default:
      break;  // our own SetFocus, or the system's doing
  }
}

CTopLevelShell::CTopLevelShell(HWND hwnd) : QWidget(nullptr), m_hwnd(hwnd) {
  setAttribute(Qt::WA_NoSystemBackground);
}

QMenuBar* CTopLevelShell::MenuBar() {
  if (!m_menuBar) {
    m_menuBar = new QMenuBar(this);
    m_menuBar->setNativeMenuBar(false);
  }
  return m_menuBar;
}

void CTopLevelShell::closeEvent(QCloseEvent* event) {
  // The window decides for itself whether it closes.
  event->ignore();
  if (Loop() && m_hwnd) Loop()->PostMessage(m_hwnd, WM_CLOSE, 0, 0);
}

void CTopLevelShell::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Placed();
}

void CTopLevelShell::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  Placed();
}

void CTopLevelShell::Placed() {
  CWnd* wnd = Loop() ? Loop()->FromHandle(m_hwnd) : nullptr;
  if (!wnd || m_applying) return;
  // The frame is known once the window manager has put one around the
  // window; the event's own position is the frame's on some systems and the
  // inside's on others.
  const auto rect = [](const QRect& r) { return CRect(r.x(), r.y(), r.x() + r.width(), r.y() + r.height()); };
  wnd->ShellPlaced(rect(frameGeometry()), rect(geometry()));
}

void CTopLevelShell::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange) return;
  CWnd* wnd = Loop() ? Loop()->FromHandle(m_hwnd) : nullptr;
  if (wnd && !m_applying) wnd->ShellStateChanged(isMinimized(), isMaximized());
}
