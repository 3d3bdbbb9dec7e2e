// The Qt widgets behind a CWnd: the client widget, which shows the window's
// surface and turns Qt input into queued messages, and the shell that holds a
// top-level window's client and menu bar.
#pragma once

#include <QWidget>

#include "platform/msg/window_messages.h"

class QMenuBar;
class QScrollBar;

class CWindowWidget final : public QWidget {
 public:
  CWindowWidget(HWND hwnd, QWidget* parent);
  HWND Handle() const { return m_hwnd; }
  // Called when the window goes away before the widget.
  void Detach() { m_hwnd = nullptr; }
  // The window's scroll bar (SB_HORZ, SB_VERT), made on first use. Using it
  // posts WM_HSCROLL or WM_VSCROLL; where it stands is the window's business.
  QScrollBar* ScrollBar(int bar);
  QScrollBar* ExistingScrollBar(int bar) const { return m_bars[bar == 0 ? 0 : 1]; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  bool focusNextPrevChild(bool) override { return false; }  // Tab is a key like any other

 private:
  HWND m_hwnd;
  QScrollBar* m_bars[2] = {nullptr, nullptr};
};

class CTopLevelShell final : public QWidget {
 public:
  explicit CTopLevelShell(HWND hwnd);
  void Detach() { m_hwnd = nullptr; }
  QMenuBar* MenuBar();  // made on first use
  QMenuBar* ExistingMenuBar() const { return m_menuBar; }
  // Set while our own code moves the shell, so the move is not reported back.
  bool m_applying = false;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // Tells the window where its frame and inside are now.
  void Placed();

  HWND m_hwnd;
  QMenuBar* m_menuBar = nullptr;
};
