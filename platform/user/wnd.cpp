#include "platform/user/wnd.h"

#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <optional>

#include "platform/gdi/qt_text.h"
#include "platform/user/message_box.h"
#include "platform/user/qt_cursor.h"
#include "platform/user/qt_window_widget.h"
#include "platform/user/wnd_internal.h"

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

using tvn::wnd::HaveWidgets;
using tvn::wnd::Loop;

namespace {
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
  m_rect = ConstrainWindowRect(CRect(cs.x, cs.y, cs.x + cs.cx, cs.y + cs.cy));
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
    // What the parent shows is drawn first and stays where this window paints nothing.
    if (m_exStyle & WS_EX_TRANSPARENT) m_widget->setAttribute(Qt::WA_OpaquePaintEvent, false);
    if (!m_parent->m_widget) m_widget->hide();
  } else {
    m_shell = new CTopLevelShell(m_hWnd);
    m_shell->setWindowTitle(gdi::ToQt(m_text));
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
  PassFocusToParent();
  SendMessage(WM_DESTROY);
  std::vector<CWnd*> children = m_children;
  for (CWnd* child : children) child->DestroyWindow();
  if (loop) loop->UnregisterWindow(m_hWnd);
  if (m_parent) m_parent->ForgetChild(this);
  m_parent = nullptr;
  ReleaseWidgets();
  {
    // Emptied, not freed: a context still attached to it draws nothing.
    std::lock_guard lock(m_surfaceLock);
    if (m_surface) *m_surface = QImage();
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
  LRESULT result;
  {
    CMessageLoop::HandlerScope busy(*loop);
    result = WindowProc(message, wParam, lParam);  // the handler may delete this
  }
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
    case WM_QTWHEEL: {
      CWnd* focus = GetFocus();
      return (focus ? focus : this)->SendMessage(WM_MOUSEWHEEL, wParam, lParam);
    }
    case WM_COMMAND:
      if (OnCommand(wParam, lParam)) return 0;
      return DefWindowProc(message, wParam, lParam);
    default: return DefWindowProc(message, wParam, lParam);
  }
}

MSG CWnd::GetCurrentMessage() const {
  CMessageLoop* loop = Loop();
  return loop && loop->IsLoopThread() ? loop->WindowMessage() : MSG{};
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
      } else if (wParam == VK_F10) {
        GetTopLevelParent()->OpenMenuBar();  // F10 goes to the menu bar
      }
      return 0;
    case WM_RBUTTONUP: {
      // A right click asks for a context menu (at the cursor, in screen coordinates).
      CPoint at = PointFromLParam(lParam);
      ClientToScreen(&at);
      SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_hWnd), MAKELPARAM(at.x, at.y));
      return 0;
    }
    case WM_CONTEXTMENU:
      return m_parent ? m_parent->SendMessage(message, wParam, lParam) : 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) SendMessage(WM_CLOSE);
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_SETTEXT:  // lParam: the CString to show
      if (lParam) SetWindowText(*reinterpret_cast<const CString*>(lParam));
      return TRUE;
    case WM_GETTEXT:  // lParam: the CString to fill in; the result is its length
      if (!lParam) return 0;
      *reinterpret_cast<CString*>(lParam) = m_text;
      return static_cast<LRESULT>(m_text.GetLength());
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
  // A window on its way out (or inside one) takes no focus: a parent that
  // hands the focus it was just given back to its active child would leave
  // it with a window about to go, and so with none.
  for (const CWnd* w = this; w; w = w->m_parent)
    if (w->m_destroying) return nullptr;
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

void CWnd::PassFocusToParent() {
  // Otherwise keys would go to a window that is gone or unseen, and the
  // page under a control would never get them again.
  CMessageLoop* loop = Loop();
  if (!loop || !m_parent || m_parent->m_destroying) return;
  CWnd* focus = loop->FromHandle(loop->GetFocus());
  if (focus && (focus == this || IsChild(focus))) m_parent->SetFocus();
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

int CWnd::MessageBox(const CString& text, const CString& caption, UINT type) {
  CString title = caption;
  if (title.IsEmpty() && Loop()) title = Loop()->AppName();
  return ::MessageBox(this, text, title, type);
}

void CWnd::ShowCursorShape(HCURSOR cursor, bool visible) {
  if (m_widget) m_widget->setCursor(visible ? QtCursorFor(cursor) : QCursor(Qt::BlankCursor));
}

BOOL CanMoveCursor() { return HaveWidgets() && QGuiApplication::platformName() == QLatin1String("xcb"); }

BOOL SetCursorPos(int x, int y) {
  CMessageLoop* loop = Loop();
  if (!loop) return FALSE;
  loop->SetCursorPosition({x, y});
  if (HaveWidgets()) QCursor::setPos(x, y);
  return TRUE;
}
