// Window placement, state, styles, the Z order, relations and the menu bar.
#include "platform/user/wnd.h"

#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <algorithm>

#include "platform/gdi/qt_text.h"
#include "platform/user/menu.h"
#include "platform/user/qt_menu.h"
#include "platform/user/qt_window_widget.h"
#include "platform/user/wnd_internal.h"

using tvn::wnd::HaveWidgets;
using tvn::wnd::Loop;

// --- Geometry ---

int CWnd::MenuBarHeight() const {
  if (m_parent || !m_menu || !m_shell || !m_shell->ExistingMenuBar()) return 0;
  return m_shell->ExistingMenuBar()->sizeHint().height();
}

CSize CWnd::ShellSize(const CRect& rect) const {
  return {std::max<LONG>(0, rect.Width() - m_frame.left - m_frame.right),
          std::max<LONG>(0, rect.Height() - m_frame.top - m_frame.bottom)};
}

CSize CWnd::ClientSizeOf(const CRect& rect) const {
  const DWORD bars = HasOwnScrollBars() ? 0 : m_style;
  const CSize inner = ShellSize(rect);  // a child has no frame of the window manager's
  int cx = inner.cx - ((bars & WS_VSCROLL) ? ScrollBarExtent() : 0);
  int cy = inner.cy - MenuBarHeight() - ((bars & WS_HSCROLL) ? ScrollBarExtent() : 0);
  return {std::max(0, cx), std::max(0, cy)};
}

CPoint CWnd::ClientOriginOnScreen() const {
  if (m_parent) return m_parent->ClientOriginOnScreen() + m_rect.TopLeft();
  return {m_rect.left + m_frame.left, m_rect.top + m_frame.top + MenuBarHeight()};
}

void CWnd::LayoutShell() {
  if (!m_shell || !m_widget) return;
  const int menu = MenuBarHeight();
  const CSize inner = ShellSize(m_rect);
  if (QMenuBar* bar = m_shell->ExistingMenuBar()) {
    bar->setVisible(m_menu != nullptr);
    bar->setGeometry(0, 0, inner.cx, menu);
  }
  m_widget->setGeometry(0, menu, inner.cx, std::max(0, inner.cy - menu));
}

void CWnd::ApplyGeometry() {
  if (m_shell) {
    // The window's rectangle is its frame's: Qt sizes what lies inside the
    // frame and, for a window, moves the frame's corner to the point.
    const CSize inner = ShellSize(m_rect);
    m_shell->m_applying = true;
    if (m_shell->minimumSize() == m_shell->maximumSize())  // fixed size: follow our own moves
      m_shell->setFixedSize(std::max(1, inner.cx), std::max(1, inner.cy));
    m_shell->resize(std::max(1, inner.cx), std::max(1, inner.cy));
    m_shell->move(m_rect.left, m_rect.top);
    m_shell->m_applying = false;
    LayoutShell();
  } else if (m_widget) {
    m_widget->setGeometry(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height());
  }
}

void CWnd::SetWindowRect(const CRect& rect, WPARAM sizeKind, bool pushToQt) {
  m_rect = ConstrainWindowRect(rect);
  CSize client = ClientSizeOf(m_rect);
  bool resized = client != m_client;
  m_client = client;
  if (pushToQt) ApplyGeometry();
  else LayoutShell();
  SyncScrollBars();
  if (!resized) return;
  ResizeSurface(client);
  Invalidate();
  SendMessage(WM_SIZE, sizeKind, MAKELPARAM(client.cx, client.cy));
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
  if (!m_hWnd) return;
  SetWindowRect(CRect(x, y, x + std::max(0, width), y + std::max(0, height)), SIZE_RESTORED, true);
  if (repaint && m_hWnd) Invalidate();
}

void CWnd::MoveWindow(const CRect& rect, BOOL repaint) { MoveWindow(rect.left, rect.top, rect.Width(), rect.Height(), repaint); }

void CWnd::ShellPlaced(const CRect& frame, const CRect& inner) {
  const auto width = [](LONG outer, LONG in) { return std::max<LONG>(0, in - outer); };
  const CRect widths(width(frame.left, inner.left), width(frame.top, inner.top), width(inner.right, frame.right),
                     width(inner.bottom, frame.bottom));
  if (frame == m_rect && widths == m_frame) return;
  m_frame = widths;
  SetWindowRect(frame, m_maximized ? SIZE_MAXIMIZED : SIZE_RESTORED, false);
}

void CWnd::ShellStateChanged(bool minimized, bool maximized) {
  m_minimized = minimized;
  m_maximized = maximized;
}

void CWnd::GetClientRect(CRect* rect) const {
  if (rect) *rect = CRect(0, 0, m_client.cx, m_client.cy);
}

void CWnd::GetWindowRect(CRect* rect) const {
  if (!rect) return;
  CPoint origin = m_parent ? m_parent->ClientOriginOnScreen() + m_rect.TopLeft() : m_rect.TopLeft();
  *rect = CRect(origin, m_rect.Size());
}

void CWnd::ClientToScreen(CPoint* point) const {
  if (point) *point = *point + ClientOriginOnScreen();
}
void CWnd::ClientToScreen(CRect* rect) const {
  if (!rect) return;
  CPoint o = ClientOriginOnScreen();
  rect->OffsetRect(o.x, o.y);
}
void CWnd::ScreenToClient(CPoint* point) const {
  if (point) *point = *point - ClientOriginOnScreen();
}
void CWnd::ScreenToClient(CRect* rect) const {
  if (!rect) return;
  CPoint o = ClientOriginOnScreen();
  rect->OffsetRect(-o.x, -o.y);
}

// --- State ---

BOOL CWnd::ShowWindow(int command) {
  if (!m_hWnd) return FALSE;
  bool wasVisible = m_visible;
  HWND self = m_hWnd;
  switch (command) {
    case SW_HIDE:
      m_visible = false;
      break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
      m_visible = true;
      m_minimized = true;
      break;
    case SW_SHOWMAXIMIZED:
      m_visible = true;
      if (!m_parent && !m_maximized) {
        m_restoreRect = m_rect;
        QScreen* screen = HaveWidgets() ? QGuiApplication::primaryScreen() : nullptr;
        if (screen) {
          QRect area = screen->availableGeometry();
          m_maximized = true;
          m_minimized = false;
          SetWindowRect(CRect(area.x(), area.y(), area.x() + area.width(), area.y() + area.height()), SIZE_MAXIMIZED, true);
        }
      }
      break;
    case SW_RESTORE:
    case SW_SHOWNORMAL:
      m_visible = true;
      m_minimized = false;
      if (m_maximized) {
        m_maximized = false;
        SetWindowRect(m_restoreRect, SIZE_RESTORED, true);
      }
      break;
    default:
      m_visible = true;
      break;
  }
  // Before Qt hides the widget: Qt would pass its focus on to the next widget in its own tab order.
  if (wasVisible && !m_visible) PassFocusToParent();
  if (!Loop() || !Loop()->IsWindow(self)) return wasVisible ? TRUE : FALSE;
  m_style = m_visible ? (m_style | WS_VISIBLE) : (m_style & ~WS_VISIBLE);
  if (m_shell) {
    m_shell->m_applying = true;
    if (!m_visible) m_shell->hide();
    else if (m_minimized) m_shell->showMinimized();
    else m_shell->show();
    m_shell->m_applying = false;
    LayoutShell();
  } else if (m_widget) {
    m_widget->setVisible(m_visible);
  }
  if (m_shell && m_widget) m_widget->setVisible(true);
  if (wasVisible != m_visible) {
    SendMessage(WM_SHOWWINDOW, m_visible ? TRUE : FALSE, 0);
    if (m_visible && Loop()->IsWindow(self)) Invalidate();
  }
  return wasVisible ? TRUE : FALSE;
}

BOOL CWnd::IsWindowVisible() const {
  if (!m_hWnd || !m_visible) return FALSE;
  return m_parent ? m_parent->IsWindowVisible() : TRUE;
}

BOOL CWnd::EnableWindow(BOOL enable) {
  bool wasDisabled = !m_enabled;
  if (!m_hWnd || m_enabled == (enable != FALSE)) return wasDisabled ? TRUE : FALSE;
  m_enabled = enable != FALSE;
  m_style = m_enabled ? (m_style & ~WS_DISABLED) : (m_style | WS_DISABLED);
  if (m_widget) m_widget->setEnabled(m_enabled);
  SendMessage(WM_ENABLE, m_enabled ? TRUE : FALSE, 0);
  return wasDisabled ? TRUE : FALSE;
}

BOOL CWnd::IsWindowEnabled() const { return m_hWnd && m_enabled ? TRUE : FALSE; }

void CWnd::SetWindowText(const CString& text) {
  m_text = text;
  if (m_shell) m_shell->setWindowTitle(gdi::ToQt(text));
  if (m_hWnd) OnWindowTextChanged();
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add) {
  DWORD old = m_style;
  m_style = (m_style & ~remove) | add;
  return old != m_style ? TRUE : FALSE;
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add) {
  DWORD old = m_exStyle;
  m_exStyle = (m_exStyle & ~remove) | add;
  return old != m_exStyle ? TRUE : FALSE;
}
// Style changes show on the screen after SetWindowPos with SWP_FRAMECHANGED, as in Windows.

BOOL CWnd::SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  if (!m_hWnd) return FALSE;
  HWND self = m_hWnd;
  if (!(flags & SWP_NOZORDER)) {
    if (insertAfter == HWND_TOPMOST) m_exStyle |= WS_EX_TOPMOST;
    else if (insertAfter == HWND_NOTOPMOST) m_exStyle &= ~WS_EX_TOPMOST;
    if (!m_parent) ApplyFrameStyle();
    if (insertAfter != HWND_BOTTOM) {
      if (m_shell) m_shell->raise();
      else if (m_widget) m_widget->raise();
    }
  }
  if (flags & SWP_FRAMECHANGED) {
    ApplyFrameStyle();
    SetWindowRect(m_rect, m_maximized ? SIZE_MAXIMIZED : SIZE_RESTORED, false);  // styles may have moved the client edges
  }
  if (!(flags & SWP_NOMOVE) || !(flags & SWP_NOSIZE)) {
    CRect r = m_rect;
    if (!(flags & SWP_NOMOVE)) r = CRect(CPoint(x, y), r.Size());
    if (!(flags & SWP_NOSIZE)) r = CRect(r.TopLeft(), CSize(std::max(0, cx), std::max(0, cy)));
    SetWindowRect(r, SIZE_RESTORED, true);
  }
  if (!Loop() || !Loop()->IsWindow(self)) return TRUE;
  if (flags & SWP_SHOWWINDOW) ShowWindow(flags & SWP_NOACTIVATE ? SW_SHOWNA : SW_SHOW);
  else if (flags & SWP_HIDEWINDOW) ShowWindow(SW_HIDE);
  if (!(flags & SWP_NOACTIVATE) && !(flags & SWP_HIDEWINDOW) && Loop()->IsWindow(self)) SetActiveWindow();
  return TRUE;
}

void CWnd::ApplyFrameStyle() {
  if (!m_shell) return;
  Qt::WindowFlags flags = Qt::Window;
  if ((m_style & WS_CAPTION) == WS_CAPTION) {
    flags |= Qt::WindowTitleHint | Qt::CustomizeWindowHint;
    if (m_style & WS_SYSMENU) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (m_style & WS_MINIMIZEBOX) flags |= Qt::WindowMinimizeButtonHint;
    if (m_style & WS_MAXIMIZEBOX) flags |= Qt::WindowMaximizeButtonHint;
  } else {
    flags |= Qt::FramelessWindowHint;
  }
  if (m_exStyle & WS_EX_TOPMOST) flags |= Qt::WindowStaysOnTopHint;
  // Without a sizing border the user cannot resize the window; our own moves still can.
  if (m_style & WS_THICKFRAME) {
    m_shell->setMinimumSize(0, 0);
    m_shell->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  } else {
    const CSize inner = ShellSize(m_rect);
    m_shell->setFixedSize(std::max(1, inner.cx), std::max(1, inner.cy));
  }
  if (m_shell->windowFlags() == flags) return;
  bool visible = m_shell->isVisible();
  m_shell->m_applying = true;
  m_shell->setWindowFlags(flags);  // hides the window
  if (visible) m_shell->show();
  m_shell->m_applying = false;
}

BOOL CWnd::RedrawWindow(const CRect* rect, UINT flags) {
  if (!m_hWnd) return FALSE;
  if (flags & RDW_INVALIDATE) {
    InvalidateRect(rect, (flags & RDW_ERASE) ? TRUE : FALSE);
    if (flags & RDW_ALLCHILDREN)
      for (CWnd* child : m_children) child->RedrawWindow(nullptr, flags & ~RDW_UPDATENOW);
  }
  if (flags & RDW_UPDATENOW) {
    std::vector<HWND> windows{m_hWnd};
    if (flags & RDW_ALLCHILDREN)
      for (CWnd* child : m_children) windows.push_back(child->m_hWnd);
    for (HWND hwnd : windows)
      if (CWnd* wnd = FromHandle(hwnd)) wnd->UpdateWindow();
  }
  return TRUE;
}

CWnd* CWnd::ChildWindowFromPoint(CPoint client) const {
  if (!CRect(0, 0, m_client.cx, m_client.cy).PtInRect(client)) return nullptr;
  // Later children lie above earlier ones.
  for (auto it = m_children.rbegin(); it != m_children.rend(); ++it)
    if ((*it)->m_visible && (*it)->m_rect.PtInRect(client)) return *it;
  return const_cast<CWnd*>(this);
}

CWnd* CWnd::WindowFromPoint(CPoint screen) {
  CMessageLoop* loop = Loop();
  if (!loop) return nullptr;
  CWnd* found = nullptr;
  // The most recently made top-level window that holds the point; then down its children.
  for (CWnd* top = loop->LastTopLevelWindow(); top; top = loop->PreviousTopLevelWindow(top)) {
    CRect r;
    top->GetWindowRect(&r);
    if (top->IsWindowVisible() && r.PtInRect(screen)) {
      found = top;
      break;
    }
  }
  while (found) {
    CPoint client = screen;
    found->ScreenToClient(&client);
    CWnd* child = found->ChildWindowFromPoint(client);
    if (!child || child == found) break;
    found = child;
  }
  return found;
}

CWnd* CWnd::GetNextDlgTabItem(const CWnd* control, BOOL previous) const {
  const std::size_t n = m_children.size();
  if (n == 0) return nullptr;
  auto usable = [](const CWnd* w) { return w->m_visible && w->m_enabled && (w->m_style & WS_TABSTOP); };
  auto at = std::find(m_children.begin(), m_children.end(), control);
  std::size_t start = at == m_children.end() ? (previous ? 0 : n - 1) : static_cast<std::size_t>(at - m_children.begin());
  for (std::size_t step = 1; step <= n; ++step) {
    std::size_t i = previous ? (start + n - step) % n : (start + step) % n;
    if (usable(m_children[i])) return m_children[i];
  }
  return nullptr;
}

CWnd* CWnd::GetDlgItem(int id) const {
  for (CWnd* child : m_children)
    if (child->m_id == static_cast<UINT>(id)) return child;
  return nullptr;
}

CWnd* CWnd::GetParent() const { return m_parent; }

CWnd* CWnd::GetTopLevelParent() const {
  const CWnd* w = this;
  while (w->m_parent) w = w->m_parent;
  return const_cast<CWnd*>(w);
}

BOOL CWnd::IsChild(const CWnd* wnd) const {
  for (const CWnd* w = wnd ? wnd->m_parent : nullptr; w; w = w->m_parent)
    if (w == this) return TRUE;
  return FALSE;
}

CWnd* CWnd::GetWindow(UINT relation) const {
  if (relation == GW_CHILD) return m_children.empty() ? nullptr : m_children.front();
  if (!m_parent) return nullptr;
  const auto& siblings = m_parent->m_children;
  auto it = std::find(siblings.begin(), siblings.end(), this);
  if (it == siblings.end()) return nullptr;
  if (relation == GW_HWNDNEXT) return std::next(it) == siblings.end() ? nullptr : *std::next(it);
  if (relation == GW_HWNDPREV) return it == siblings.begin() ? nullptr : *std::prev(it);
  return nullptr;
}

// --- Menu bar ---

BOOL CWnd::SetMenu(CMenu* menu) { return SetMenu(menu ? menu->GetSafeHmenu() : nullptr); }

BOOL CWnd::SetMenu(HMENU menu) {
  if (!m_hWnd || m_parent) return FALSE;
  m_menu = menu;
  RebuildMenuBar();
  return TRUE;
}

void CWnd::DrawMenuBar() { RebuildMenuBar(); }

bool CWnd::OpenMenuBar() {
  QMenuBar* bar = m_shell ? m_shell->ExistingMenuBar() : nullptr;
  if (!m_menu || !bar || bar->actions().isEmpty() || !bar->isVisible()) return false;
  bar->setActiveAction(bar->actions().front());
  return true;
}

void CWnd::RebuildMenuBar() {
  if (m_shell) {
    if (m_menu) BuildQtMenuBar(*m_shell->MenuBar(), m_menu, m_hWnd);
    else if (QMenuBar* bar = m_shell->ExistingMenuBar()) bar->clear();
  }
  // The menu bar takes its height from the client area.
  SetWindowRect(m_rect, m_maximized ? SIZE_MAXIMIZED : SIZE_RESTORED, false);
}
