#include "platform/wnd.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <limits>
#include <optional>

#include "platform/menu.h"
#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "platform/qt_cursor.h"
#include "platform/qt_menu.h"
#include "platform/qt_window_widget.h"

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

namespace {

CMessageLoop* Loop() { return CMessageLoop::Current(); }

// Widgets exist only with a widget application, and only on its thread.
bool HaveWidgets() { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }

constexpr UINT SC_CLOSE = 0xF060;

}  // namespace

CWnd::CWnd() = default;

CWnd::~CWnd() {
  if (m_hWnd) DestroyWindow();
}

CWnd* CWnd::FromHandle(HWND hwnd) { return Loop() ? Loop()->FromHandle(hwnd) : nullptr; }

BOOL CWnd::PreCreateWindow(CREATESTRUCT&) { return TRUE; }

BOOL CWnd::CreateEx(DWORD exStyle, const CString& windowName, DWORD style, const CRect& rect, CWnd* parent, UINT id,
                    UINT classStyle, void* createParams) {
  CMessageLoop* loop = Loop();
  if (!loop || m_hWnd || !loop->IsLoopThread()) return FALSE;
  CREATESTRUCT cs;
  cs.dwExStyle = exStyle;
  cs.lpszName = windowName;
  cs.style = style;
  cs.x = rect.left;
  cs.y = rect.top;
  cs.cx = std::max(0, rect.Width());
  cs.cy = std::max(0, rect.Height());
  cs.hwndParent = parent ? parent->m_hWnd : nullptr;
  cs.id = id;
  cs.classStyle = classStyle;
  cs.lpCreateParams = createParams;
  if (!PreCreateWindow(cs)) return FALSE;

  m_style = cs.style & ~WS_VISIBLE;
  m_exStyle = cs.dwExStyle;
  m_classStyle = cs.classStyle;
  m_id = cs.id;
  m_text = cs.lpszName;
  m_parent = loop->FromHandle(cs.hwndParent);
  m_rect = CRect(cs.x, cs.y, cs.x + cs.cx, cs.y + cs.cy);
  m_enabled = (m_style & WS_DISABLED) == 0;
  m_classCursor = LoadCursor(nullptr, IDC_ARROW);
  m_hWnd = loop->RegisterWindow(this);
  if (m_parent) m_parent->m_children.push_back(this);
  MakeWidget();
  m_client = ClientSizeOf(m_rect);
  ResizeSurface(m_client);

  if (SendMessage(WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow();
    return FALSE;
  }
  if (!m_hWnd) return FALSE;
  SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(m_client.cx, m_client.cy));
  if (cs.style & WS_VISIBLE) ShowWindow(SW_SHOW);
  return TRUE;
}

void CWnd::MakeWidget() {
  if (!HaveWidgets()) return;
  if (m_parent) {
    m_widget = new CWindowWidget(m_hWnd, m_parent->m_widget);
    if (!m_parent->m_widget) m_widget->hide();
  } else {
    m_shell = new CTopLevelShell(m_hWnd);
    m_shell->setWindowTitle(QString::fromUtf8(m_text.ToUtf8()));
    m_widget = new CWindowWidget(m_hWnd, m_shell);
  }
  m_widget->setEnabled(m_enabled);
  ApplyGeometry();
}

void CWnd::ReleaseWidgets() {
  if (m_widget) m_widget->Detach();
  if (m_shell) {
    m_shell->Detach();
    delete m_shell;  // takes the client widget and the menu bar with it
  } else {
    delete m_widget;
  }
  m_shell = nullptr;
  m_widget = nullptr;
}

BOOL CWnd::DestroyWindow() {
  CMessageLoop* loop = Loop();
  if (!m_hWnd || m_destroying) return FALSE;
  m_destroying = true;
  SendMessage(WM_DESTROY);
  std::vector<CWnd*> children = m_children;
  for (CWnd* child : children) child->DestroyWindow();
  if (loop) loop->UnregisterWindow(m_hWnd);
  if (m_parent) m_parent->ForgetChild(this);
  m_parent = nullptr;
  ReleaseWidgets();
  {
    std::lock_guard lock(m_surfaceLock);
    m_surface.reset();
  }
  m_hWnd = nullptr;
  m_visible = false;
  m_destroying = false;
  PostNcDestroy();  // may delete this
  return TRUE;
}

void CWnd::ForgetChild(CWnd* child) { std::erase(m_children, child); }

// --- Messages ---

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  CMessageLoop* loop = Loop();
  if (!m_hWnd || !loop) return 0;
  if (!loop->IsLoopThread()) return loop->SendMessage(m_hWnd, message, wParam, lParam);
  MSG msg;
  msg.hwnd = m_hWnd;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  MSG outer = loop->SwapWindowMessage(msg);
  LRESULT result = WindowProc(message, wParam, lParam);  // the handler may delete this
  loop->SwapWindowMessage(outer);
  return result;
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return m_hWnd && Loop() ? Loop()->PostMessage(m_hWnd, message, wParam, lParam) : FALSE;
}

UINT CWnd::SetTimer(UINT id, UINT elapseMs) { return m_hWnd && Loop() ? Loop()->SetTimer(m_hWnd, id, elapseMs) : 0; }
BOOL CWnd::KillTimer(UINT id) { return m_hWnd && Loop() ? Loop()->KillTimer(m_hWnd, id) : FALSE; }

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL deep) {
  std::vector<HWND> children;
  for (CWnd* child : m_children) children.push_back(child->m_hWnd);
  for (HWND hwnd : children) {
    CWnd* child = FromHandle(hwnd);  // an earlier child's handler may have destroyed it
    if (!child) continue;
    child->SendMessage(message, wParam, lParam);
    if (deep && FromHandle(hwnd) == child) child->SendMessageToDescendants(message, wParam, lParam, TRUE);
  }
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  auto key = [&](void (CWnd::*handler)(UINT, UINT, UINT)) {
    (this->*handler)(static_cast<UINT>(wParam), LOWORD(static_cast<std::uintptr_t>(lParam)),
                     HIWORD(static_cast<std::uintptr_t>(lParam)));
    return LRESULT{0};
  };
  auto mouse = [&](void (CWnd::*handler)(UINT, CPoint)) {
    (this->*handler)(static_cast<UINT>(wParam), PointFromLParam(lParam));
    return LRESULT{0};
  };
  switch (message) {
    case WM_CREATE: return OnCreate(*reinterpret_cast<const CREATESTRUCT*>(lParam));
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_CLOSE: OnClose(); return 0;
    case WM_SIZE:
      OnSize(static_cast<UINT>(wParam), LOWORD(static_cast<std::uintptr_t>(lParam)), HIWORD(static_cast<std::uintptr_t>(lParam)));
      return 0;
    case WM_TIMER: OnTimer(static_cast<UINT>(wParam)); return 0;
    case WM_PAINT: OnPaint(); return 0;
    case WM_ERASEBKGND: return OnEraseBkgnd();
    case WM_SETFOCUS: OnSetFocus(FromHandle(reinterpret_cast<HWND>(wParam))); return 0;
    case WM_KILLFOCUS: OnKillFocus(FromHandle(reinterpret_cast<HWND>(wParam))); return 0;
    case WM_SETCURSOR:
      return OnSetCursor(FromHandle(reinterpret_cast<HWND>(wParam)), LOWORD(static_cast<std::uintptr_t>(lParam)),
                         HIWORD(static_cast<std::uintptr_t>(lParam)));
    case WM_KEYDOWN: return key(&CWnd::OnKeyDown);
    case WM_KEYUP: return key(&CWnd::OnKeyUp);
    case WM_SYSKEYDOWN: return key(&CWnd::OnSysKeyDown);
    case WM_SYSKEYUP: return key(&CWnd::OnSysKeyUp);
    case WM_CHAR: return key(&CWnd::OnChar);
    case WM_MOUSEMOVE: return mouse(&CWnd::OnMouseMove);
    case WM_LBUTTONDOWN: return mouse(&CWnd::OnLButtonDown);
    case WM_LBUTTONUP: return mouse(&CWnd::OnLButtonUp);
    case WM_LBUTTONDBLCLK: return mouse(&CWnd::OnLButtonDblClk);
    case WM_RBUTTONDOWN: return mouse(&CWnd::OnRButtonDown);
    case WM_RBUTTONUP: return mouse(&CWnd::OnRButtonUp);
    case WM_RBUTTONDBLCLK: return mouse(&CWnd::OnRButtonDblClk);
    case WM_QTFOCUS:
      TakeQtFocus(wParam == kFocusByActivation);
      return 0;
    case WM_COMMAND:
      if (OnCommand(wParam, lParam)) return 0;
      return DefWindowProc(message, wParam, lParam);
    default: return DefWindowProc(message, wParam, lParam);
  }
}

LRESULT CWnd::Default() {
  CMessageLoop* loop = Loop();
  if (!loop) return 0;
  MSG msg = loop->WindowMessage();
  return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      DestroyWindow();
      return 0;
    case WM_PAINT:
      EndPaint(BeginPaint().rcPaint);
      return 0;
    case WM_ERASEBKGND:
      return 0;
    case WM_SETCURSOR:
      // The parent may set the cursor for its children; otherwise the class cursor.
      if (m_parent && m_parent->SendMessage(WM_SETCURSOR, wParam, lParam)) return TRUE;
      if (LOWORD(static_cast<std::uintptr_t>(lParam)) == HTCLIENT && m_classCursor) ::SetCursor(m_classCursor);
      return FALSE;
    case WM_SYSKEYDOWN:
      if (wParam == 0x73 && (lParam & KF_ALTDOWN_BIT)) {  // Alt+F4
        if (CWnd* top = GetTopLevelParent()) top->PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
      }
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) SendMessage(WM_CLOSE);
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_MOUSEWHEEL:
      return m_parent ? m_parent->SendMessage(message, wParam, lParam) : 0;
    default:
      return 0;
  }
}

int CWnd::OnCreate(const CREATESTRUCT&) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnTimer(UINT) { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd() { return static_cast<BOOL>(Default()); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDblClk(UINT, CPoint) { Default(); }
BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) {
  return OnCmdMsg(LOWORD(wParam), static_cast<SHORT>(HIWORD(wParam)), nullptr);
}

// --- Input state ---

CWnd* CWnd::SetCapture() {
  CMessageLoop* loop = Loop();
  if (!loop || !m_hWnd) return nullptr;
  CWnd* old = loop->FromHandle(loop->SetCapture(m_hWnd));
  // Qt grabs the mouse for a pressed button by itself; an explicit grab keeps
  // moves coming outside the window where the platform allows it.
  if (m_widget && m_widget->isVisible() && QGuiApplication::platformName() == "xcb") m_widget->grabMouse();
  return old;
}

CWnd* CWnd::GetCapture() { return Loop() ? Loop()->FromHandle(Loop()->GetCapture()) : nullptr; }

BOOL ReleaseCapture() {
  CMessageLoop* loop = Loop();
  if (!loop) return FALSE;
  loop->SetCapture(nullptr);
  if (HaveWidgets())
    if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
  return TRUE;
}

CWnd* CWnd::SetFocus() {
  CMessageLoop* loop = Loop();
  if (!loop || !m_hWnd) return nullptr;
  HWND self = m_hWnd;
  CWnd* old = loop->FromHandle(loop->SetFocus(self));
  if (loop->IsWindow(self) && m_widget) m_widget->setFocus(Qt::OtherFocusReason);
  return old;
}

void CWnd::TakeQtFocus(bool byActivation) {
  CMessageLoop* loop = Loop();
  if (!loop || loop->GetFocus() == m_hWnd) return;
  CWnd* focused = loop->FromHandle(loop->GetFocus());
  if (!byActivation || !focused) {
    loop->SetFocus(m_hWnd);
    return;
  }
  // A window that becomes active gives the focus back to the window of it
  // that had it, as Windows does; Qt's idea of it does not count.
  if (focused->GetTopLevelParent() == GetTopLevelParent() && focused->m_widget)
    focused->m_widget->setFocus(Qt::OtherFocusReason);
}

CWnd* CWnd::GetFocus() { return Loop() ? Loop()->FromHandle(Loop()->GetFocus()) : nullptr; }

CWnd* CWnd::SetActiveWindow() {
  CMessageLoop* loop = Loop();
  if (!loop || !m_hWnd) return nullptr;
  CWnd* top = GetTopLevelParent();
  CWnd* old = loop->FromHandle(loop->GetActiveWindow());
  loop->SetActiveWindow(top->m_hWnd);
  if (top->m_shell && top->m_shell->isVisible()) top->m_shell->activateWindow();
  return old;
}

CWnd* CWnd::GetActiveWindow() { return Loop() ? Loop()->FromHandle(Loop()->GetActiveWindow()) : nullptr; }

BOOL CWnd::SetForegroundWindow() {
  SetActiveWindow();
  return m_hWnd ? TRUE : FALSE;
}

void CWnd::BringWindowToTop() {
  if (m_shell) m_shell->raise();
  else if (m_widget) m_widget->raise();
  SetActiveWindow();
}

// --- Geometry ---

int CWnd::MenuBarHeight() const {
  if (m_parent || !m_menu || !m_shell || !m_shell->ExistingMenuBar()) return 0;
  return m_shell->ExistingMenuBar()->sizeHint().height();
}

CSize CWnd::ClientSizeOf(const CRect& rect) const {
  return {std::max(0, rect.Width()), std::max(0, rect.Height() - MenuBarHeight())};
}

CPoint CWnd::ClientOriginOnScreen() const {
  if (m_parent) return m_parent->ClientOriginOnScreen() + m_rect.TopLeft();
  return {m_rect.left, m_rect.top + MenuBarHeight()};
}

void CWnd::LayoutShell() {
  if (!m_shell || !m_widget) return;
  int menu = MenuBarHeight();
  if (QMenuBar* bar = m_shell->ExistingMenuBar()) {
    bar->setVisible(m_menu != nullptr);
    bar->setGeometry(0, 0, m_rect.Width(), menu);
  }
  m_widget->setGeometry(0, menu, m_client.cx, m_client.cy);
}

void CWnd::ApplyGeometry() {
  if (m_shell) {
    m_shell->m_applying = true;
    if (m_shell->minimumSize() == m_shell->maximumSize())  // fixed size: follow our own moves
      m_shell->setFixedSize(std::max(1, m_rect.Width()), std::max(1, m_rect.Height()));
    m_shell->setGeometry(m_rect.left, m_rect.top, std::max(1, m_rect.Width()), std::max(1, m_rect.Height()));
    m_shell->m_applying = false;
    LayoutShell();
  } else if (m_widget) {
    m_widget->setGeometry(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height());
  }
}

void CWnd::SetWindowRect(const CRect& rect, WPARAM sizeKind, bool pushToQt) {
  m_rect = rect;
  CSize client = ClientSizeOf(rect);
  bool resized = client != m_client;
  m_client = client;
  if (pushToQt) ApplyGeometry();
  else LayoutShell();
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

void CWnd::ShellResized(int width, int height) {
  if (width == m_rect.Width() && height == m_rect.Height()) return;
  SetWindowRect(CRect(m_rect.TopLeft(), CSize(width, height)), m_maximized ? SIZE_MAXIMIZED : SIZE_RESTORED, false);
}

void CWnd::ShellMoved(int x, int y) { m_rect = CRect(CPoint(x, y), m_rect.Size()); }

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
  if (m_shell) m_shell->setWindowTitle(QString::fromUtf8(text.ToUtf8()));
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
  if (flags & SWP_FRAMECHANGED) ApplyFrameStyle();
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
    m_shell->setFixedSize(std::max(1, m_rect.Width()), std::max(1, m_rect.Height()));
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

void CWnd::RebuildMenuBar() {
  if (m_shell) {
    if (m_menu) BuildQtMenuBar(*m_shell->MenuBar(), m_menu, m_hWnd);
    else if (QMenuBar* bar = m_shell->ExistingMenuBar()) bar->clear();
  }
  // The menu bar takes its height from the client area.
  SetWindowRect(m_rect, m_maximized ? SIZE_MAXIMIZED : SIZE_RESTORED, false);
}

// --- Scrolling ---

namespace {
int Clamp(const SCROLLINFO& info, int pos) {
  int limit = info.nPage > 0 ? info.nMax - static_cast<int>(info.nPage) + 1 : info.nMax;
  return std::max(info.nMin, std::min(pos, std::max(info.nMin, limit)));
}
}  // namespace

int CWnd::SetScrollPos(int bar, int pos, BOOL) {
  if (bar != SB_HORZ && bar != SB_VERT) return 0;
  SCROLLINFO& info = m_scroll[bar];
  return std::exchange(info.nPos, Clamp(info, pos));
}

int CWnd::GetScrollPos(int bar) const { return bar == SB_HORZ || bar == SB_VERT ? m_scroll[bar].nPos : 0; }

void CWnd::SetScrollRange(int bar, int minPos, int maxPos, BOOL redraw) {
  if (bar != SB_HORZ && bar != SB_VERT) return;
  SCROLLINFO info = m_scroll[bar];
  info.nMin = minPos;
  info.nMax = std::max(minPos, maxPos);
  SetScrollInfo(bar, info, redraw);
}

void CWnd::GetScrollRange(int bar, int* minPos, int* maxPos) const {
  SCROLLINFO info = GetScrollInfo(bar);
  if (minPos) *minPos = info.nMin;
  if (maxPos) *maxPos = info.nMax;
}

void CWnd::SetScrollInfo(int bar, const SCROLLINFO& info, BOOL) {
  if (bar != SB_HORZ && bar != SB_VERT) return;
  SCROLLINFO& own = m_scroll[bar];
  own.nMin = info.nMin;
  own.nMax = std::max(info.nMin, info.nMax);
  own.nPage = info.nPage;
  own.nPos = Clamp(own, info.nPos);
  // A range with somewhere to go shows the bar, as in Windows.
  DWORD style = bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL;
  bool scrolls = GetScrollLimit(bar) > own.nMin;
  m_style = scrolls ? (m_style | style) : (m_style & ~style);
}

SCROLLINFO CWnd::GetScrollInfo(int bar) const { return bar == SB_HORZ || bar == SB_VERT ? m_scroll[bar] : SCROLLINFO{}; }

int CWnd::GetScrollLimit(int bar) const {
  if (bar != SB_HORZ && bar != SB_VERT) return 0;
  return Clamp(m_scroll[bar], std::numeric_limits<int>::max());
}

void CWnd::ScrollWindow(int dx, int dy) {
  if (!m_hWnd || (dx == 0 && dy == 0)) return;
  {
    std::lock_guard lock(m_surfaceLock);
    if (m_surface && !m_surface->isNull()) {
      QImage moved(m_surface->size(), m_surface->format());
      moved.fill(Qt::black);
      QPainter painter(&moved);
      painter.drawImage(dx, dy, *m_surface);
      painter.end();
      *m_surface = std::move(moved);
    }
  }
  for (CWnd* child : m_children) {
    CRect r = child->m_rect;
    r.OffsetRect(dx, dy);
    child->SetWindowRect(r, SIZE_RESTORED, true);
  }
  // The strips that scrolled into view.
  CRect client(0, 0, m_client.cx, m_client.cy);
  if (dx > 0) {
    CRect strip(0, 0, dx, client.bottom);
    InvalidateRect(&strip);
  } else if (dx < 0) {
    CRect strip(client.right + dx, 0, client.right, client.bottom);
    InvalidateRect(&strip);
  }
  if (dy > 0) {
    CRect strip(0, 0, client.right, dy);
    InvalidateRect(&strip);
  } else if (dy < 0) {
    CRect strip(0, client.bottom + dy, client.right, client.bottom);
    InvalidateRect(&strip);
  }
  SurfaceChanged();
}

// --- Painting ---

void CWnd::Invalidate(BOOL erase) { InvalidateRect(nullptr, erase); }

void CWnd::InvalidateRect(const CRect* rect, BOOL erase) {
  if (!m_hWnd) return;
  CMessageLoop* loop = Loop();
  if (loop && !loop->IsLoopThread()) {
    // The update area belongs to the user-interface thread.
    std::optional<CRect> area = rect ? std::optional<CRect>(*rect) : std::nullopt;
    loop->PostCall([hwnd = m_hWnd, area, erase] {
      if (CWnd* wnd = FromHandle(hwnd)) wnd->InvalidateRect(area ? &*area : nullptr, erase);
    });
    return;
  }
  CRect client(0, 0, m_client.cx, m_client.cy);
  CRect area = client;
  if (rect && !area.IntersectRect(*rect, client)) return;
  if (area.IsRectEmpty()) return;
  m_update.UnionRect(m_update, area);
  m_erase = m_erase || erase;
  if (Loop()) Loop()->MarkInvalid(m_hWnd);
}

void CWnd::ValidateRect(const CRect* rect) {
  if (rect && !rect->IsRectEmpty()) {
    // The update area is kept as one rectangle: it goes only when covered.
    CRect overlap;
    overlap.IntersectRect(*rect, m_update);
    if (overlap != m_update) return;
  } else if (rect) {
    return;
  }
  m_update.SetRectEmpty();
  m_erase = false;
  if (Loop() && m_hWnd) Loop()->MarkValid(m_hWnd);
}

BOOL CWnd::GetUpdateRect(CRect* rect) const {
  if (rect) *rect = m_update;
  return m_update.IsRectEmpty() ? FALSE : TRUE;
}

void CWnd::UpdateWindow() {
  if (!m_hWnd || m_update.IsRectEmpty()) return;
  HWND self = m_hWnd;
  SendMessage(WM_PAINT);
  if (Loop() && Loop()->IsWindow(self)) ValidateRect(nullptr);
}

PAINTSTRUCT CWnd::BeginPaint() {
  PAINTSTRUCT ps;
  ps.rcPaint = m_update;
  ps.fErase = m_erase ? TRUE : FALSE;
  ValidateRect(nullptr);
  return ps;
}

void CWnd::EndPaint(const CRect& painted) { SurfaceChanged(&painted); }

QImage* CWnd::GetSurface() { return m_surface.get(); }

void CWnd::ResizeSurface(CSize size) {
  std::lock_guard lock(m_surfaceLock);
  if (m_surface && m_surface->width() == size.cx && m_surface->height() == size.cy) return;
  auto image = std::make_unique<QImage>(std::max(0, size.cx), std::max(0, size.cy), QImage::Format_RGB32);
  image->fill(Qt::black);
  if (m_surface && !m_surface->isNull() && !image->isNull()) {
    QPainter painter(image.get());
    painter.drawImage(0, 0, *m_surface);
  }
  m_surface = std::move(image);
}

void CWnd::SurfaceChanged(const CRect* rect) {
  CMessageLoop* loop = Loop();
  if (loop && !loop->IsLoopThread()) {
    std::optional<CRect> area = rect ? std::optional<CRect>(*rect) : std::nullopt;
    loop->PostCall([hwnd = m_hWnd, area] {
      if (CWnd* wnd = FromHandle(hwnd)) wnd->SurfaceChanged(area ? &*area : nullptr);
    });
    return;
  }
  if (!m_widget) return;
  if (rect) m_widget->update(rect->left, rect->top, rect->Width(), rect->Height());
  else m_widget->update();
}

QWidget* CWnd::GetWidget() const { return m_widget; }

int CWnd::MessageBox(const CString& text, const CString& caption, UINT type) {
  CString title = caption;
  if (title.IsEmpty() && Loop()) title = Loop()->AppName();
  return ::MessageBox(this, text, title, type);
}

void CWnd::ShowCursorShape(HCURSOR cursor, bool visible) {
  if (m_widget) m_widget->setCursor(visible ? QtCursorFor(cursor) : QCursor(Qt::BlankCursor));
}

BOOL SetCursorPos(int x, int y) {
  CMessageLoop* loop = Loop();
  if (!loop) return FALSE;
  loop->SetCursorPosition({x, y});
  if (HaveWidgets()) QCursor::setPos(x, y);
  return TRUE;
}
