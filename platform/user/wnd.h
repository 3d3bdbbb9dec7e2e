// CWnd: a window object that receives numeric messages. Every created window is
// one QWidget; what the window shows is a 32-bit image that drawing code paints
// into and the widget puts on the screen.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/base/cmd_target.h"
#include "platform/user/cursor.h"
#include "platform/base/cstring.h"
#include "platform/base/object.h"
#include "platform/msg/window_messages.h"

class CDC;
class QImage;
class QWidget;
class CMenu;
struct MenuData;
using HMENU = MenuData*;
class CWindowWidget;
class CTopLevelShell;

struct CREATESTRUCT {
  DWORD dwExStyle = 0;
  CString lpszName;
  DWORD style = 0;
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
  HWND hwndParent = nullptr;
  UINT id = 0;           // control id of a child window
  void* lpCreateParams = nullptr;
  UINT classStyle = 0;   // CS_DBLCLKS, CS_OWNDC
};

struct PAINTSTRUCT {
  CRect rcPaint;         // the area to paint, in client coordinates
  BOOL fErase = FALSE;   // the background should be erased first
};

// Scroll bars and scroll requests (WM_HSCROLL, WM_VSCROLL).
constexpr int SB_HORZ = 0;
constexpr int SB_VERT = 1;
constexpr UINT SB_LINEUP = 0;
constexpr UINT SB_LINELEFT = 0;
constexpr UINT SB_LINEDOWN = 1;
constexpr UINT SB_LINERIGHT = 1;
constexpr UINT SB_PAGEUP = 2;
constexpr UINT SB_PAGELEFT = 2;
constexpr UINT SB_PAGEDOWN = 3;
constexpr UINT SB_PAGERIGHT = 3;
constexpr UINT SB_THUMBPOSITION = 4;
constexpr UINT SB_THUMBTRACK = 5;
constexpr UINT SB_TOP = 6;
constexpr UINT SB_LEFT = 6;
constexpr UINT SB_BOTTOM = 7;
constexpr UINT SB_RIGHT = 7;
constexpr UINT SB_ENDSCROLL = 8;

struct SCROLLINFO {
  int nMin = 0;
  int nMax = 0;
  UINT nPage = 0;
  int nPos = 0;
  // Where the thumb is while it is dragged (GetScrollInfo only); a scroll
  // request carries just 16 bits of it.
  int nTrackPos = 0;
};

// GetWindow relations.
constexpr UINT GW_HWNDNEXT = 2;
constexpr UINT GW_HWNDPREV = 3;
constexpr UINT GW_CHILD = 5;

class CWnd : public CCmdTarget {
  DECLARE_DYNAMIC(CWnd)

 public:
  CWnd();
  ~CWnd() override;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND m_hWnd = nullptr;
  HWND GetSafeHwnd() const { return m_hWnd; }
  static CWnd* FromHandle(HWND hwnd);

  // Creates the window (and its widget): PreCreateWindow may change the
  // structure, then WM_CREATE is sent; -1 from it fails the creation. A
  // window created with WS_VISIBLE is shown.
  virtual BOOL CreateEx(DWORD exStyle, const CString& windowName, DWORD style, const CRect& rect, CWnd* parent,
                        UINT id, UINT classStyle = 0, void* createParams = nullptr);
  BOOL Create(const CString& windowName, DWORD style, const CRect& rect, CWnd* parent, UINT id = 0,
              UINT classStyle = 0) {
    return CreateEx(0, windowName, style, rect, parent, id, classStyle);
  }
  virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
  // Hands the focus to the parent when the window holds it, sends
  // WM_DESTROY, destroys the children, then calls PostNcDestroy (where frames
  // and views delete themselves).
  virtual BOOL DestroyWindow();

  // --- Messages ---
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  // A repeated id replaces the running timer of that id.
  UINT SetTimer(UINT id, UINT elapseMs);
  BOOL KillTimer(UINT id);
  // Sends the message to every descendant (deep), as the frame does for
  // WM_INITIALUPDATE.
  void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, BOOL deep = TRUE);

  // --- Input state ---
  CWnd* SetCapture();
  static CWnd* GetCapture();
  CWnd* SetFocus();
  static CWnd* GetFocus();
  CWnd* SetActiveWindow();
  static CWnd* GetActiveWindow();
  BOOL SetForegroundWindow();
  void BringWindowToTop();
  // Places, sizes, shows or hides the window and moves it in the Z order
  // (HWND_TOPMOST keeps a top-level window above all others). With
  // SWP_FRAMECHANGED a top-level window takes on its frame styles (caption,
  // sizing border, boxes).
  BOOL SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
  // Invalidates (with RDW_ALLCHILDREN the children too) and, with
  // RDW_UPDATENOW, paints at once. The whole client area without a rectangle.
  BOOL RedrawWindow(const CRect* rect = nullptr, UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
  // The deepest visible window of this program at a point on the screen.
  static CWnd* WindowFromPoint(CPoint screen);
  // The visible child at a client point, this window when no child is there,
  // null outside the client area.
  CWnd* ChildWindowFromPoint(CPoint client) const;
  // The next (or previous) visible, enabled child with WS_TABSTOP after the
  // given one, wrapping around; null when there is none.
  CWnd* GetNextDlgTabItem(const CWnd* control, BOOL previous = FALSE) const;

  // --- Geometry (client coordinates of the parent for children, screen for top level) ---
  void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
  void MoveWindow(const CRect& rect, BOOL repaint = TRUE);
  void GetClientRect(CRect* rect) const;
  void GetWindowRect(CRect* rect) const;  // screen coordinates
  void ClientToScreen(CPoint* point) const;
  void ClientToScreen(CRect* rect) const;
  void ScreenToClient(CPoint* point) const;
  void ScreenToClient(CRect* rect) const;

  // --- State ---
  BOOL ShowWindow(int command);
  BOOL IsWindowVisible() const;
  BOOL IsIconic() const { return m_minimized ? TRUE : FALSE; }
  BOOL IsZoomed() const { return m_maximized ? TRUE : FALSE; }
  BOOL EnableWindow(BOOL enable = TRUE);
  BOOL IsWindowEnabled() const;
  void SetWindowText(const CString& text);
  CString GetWindowText() const { return m_text; }
  void GetWindowText(CString& text) const { text = m_text; }
  DWORD GetStyle() const { return m_style; }
  DWORD GetExStyle() const { return m_exStyle; }
  BOOL ModifyStyle(DWORD remove, DWORD add);
  BOOL ModifyStyleEx(DWORD remove, DWORD add);
  UINT GetClassStyle() const { return m_classStyle; }
  int GetDlgCtrlID() const { return static_cast<int>(m_id); }
  CWnd* GetDlgItem(int id) const;
  CWnd* GetParent() const;
  CWnd* GetTopLevelParent() const;
  BOOL IsChild(const CWnd* wnd) const;
  // GW_CHILD: the first child; GW_HWNDNEXT, GW_HWNDPREV: siblings in creation order.
  CWnd* GetWindow(UINT relation) const;
  CWnd* GetNextWindow(UINT relation = GW_HWNDNEXT) const { return GetWindow(relation); }
  // The class cursor that the default WM_SETCURSOR handling shows (arrow by default; null shows none).
  void SetClassCursor(HCURSOR cursor) { m_classCursor = cursor; }

  // --- Menu bar (top-level windows) ---
  BOOL SetMenu(CMenu* menu);
  BOOL SetMenu(HMENU menu);
  HMENU GetMenuHandle() const { return m_menu; }
  // Makes the menu bar show the current items and their states.
  void DrawMenuBar();
  // Opens the menu bar's first menu, as F10 does; FALSE without a shown menu bar.
  bool OpenMenuBar();

  // --- Scrolling ---
  // Scroll bars: a range with somewhere to go shows the bar (WS_HSCROLL,
  // WS_VSCROLL) and takes its room from the client area, as in Windows.
  int SetScrollPos(int bar, int pos, BOOL redraw = TRUE);
  int GetScrollPos(int bar) const;
  void SetScrollRange(int bar, int minPos, int maxPos, BOOL redraw = TRUE);
  void GetScrollRange(int bar, int* minPos, int* maxPos) const;
  void SetScrollInfo(int bar, const SCROLLINFO& info, BOOL redraw = TRUE);
  SCROLLINFO GetScrollInfo(int bar) const;
  // The largest position: the range's end less the page.
  int GetScrollLimit(int bar) const;
  // The room a scroll bar takes from the client area.
  int GetScrollBarExtent() const { return ScrollBarExtent(); }
  // Moves what the window shows (and its children) by dx, dy; the area
  // uncovered is invalidated.
  void ScrollWindow(int dx, int dy);

  // --- Painting ---
  // Safe from any thread: another thread's request is carried out on the
  // user-interface thread.
  void Invalidate(BOOL erase = TRUE);
  void InvalidateRect(const CRect* rect, BOOL erase = TRUE);
  void ValidateRect(const CRect* rect);
  BOOL GetUpdateRect(CRect* rect) const;
  // Sends WM_PAINT now when part of the window is invalid.
  void UpdateWindow();
  // Takes the update rectangle for painting and validates the window.
  PAINTSTRUCT BeginPaint();
  // The painted rectangle is put on the screen.
  void EndPaint(const CRect& painted);
  // The WM_PAINT of a window that draws itself whole: paint gets a DC on the
  // surface, under its lock, and the client rectangle.
  void PaintClient(const std::function<void(CDC& dc, const CRect& client)>& paint);

  // What the window shows: a 32-bit image of the client size (null before
  // creation and after destruction). Drawing code paints into it under
  // SurfaceLock() and then reports the area; the widget reads it under the
  // same lock. Reporting is safe from any thread (the screen is updated on
  // the user-interface thread). The image object lasts as long as the window
  // object, whatever sizes it takes; its pixels move when it is resized, so
  // only the object, never its pixels, may be held across messages.
  QImage* GetSurface();
  std::mutex& SurfaceLock() { return m_surfaceLock; }
  void SurfaceChanged(const CRect* rect = nullptr);
  QWidget* GetWidget() const;

  int MessageBox(const CString& text, const CString& caption = CString(), UINT type = 0);

  // Called by the loop: the cursor shape for the widget under the mouse.
  void ShowCursorShape(HCURSOR cursor, bool visible);

  // The message procedure: dispatches to the handlers below; DefWindowProc otherwise.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

 protected:
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // The default handling of the message being handled now.
  LRESULT Default();
  // The message being handled now on this thread (all zero outside a handler).
  MSG GetCurrentMessage() const;
  // After the window is gone (frames delete themselves here).
  virtual void PostNcDestroy() {}
  // The rectangle the window takes when asked for one (a drop-down list keeps
  // the height of its selection field).
  virtual CRect ConstrainWindowRect(const CRect& rect) const { return rect; }
  // TRUE for a control whose Qt widget shows its own scroll bars: WS_HSCROLL
  // and WS_VSCROLL then take no room from the client area and make no bars
  // of the window's.
  virtual bool HasOwnScrollBars() const { return false; }
  // After SetWindowText changed the text (controls show it).
  virtual void OnWindowTextChanged() {}

  virtual int OnCreate(const CREATESTRUCT& cs);
  virtual void OnDestroy();
  virtual void OnClose();
  virtual void OnSize(UINT type, int cx, int cy);
  virtual void OnTimer(UINT id);
  virtual void OnPaint();
  virtual BOOL OnEraseBkgnd();
  virtual void OnSetFocus(CWnd* oldWnd);
  virtual void OnKillFocus(CWnd* newWnd);
  virtual BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  virtual void OnKeyDown(UINT vk, UINT repeat, UINT flags);
  virtual void OnKeyUp(UINT vk, UINT repeat, UINT flags);
  virtual void OnSysKeyDown(UINT vk, UINT repeat, UINT flags);
  virtual void OnSysKeyUp(UINT vk, UINT repeat, UINT flags);
  virtual void OnChar(UINT ch, UINT repeat, UINT flags);
  virtual void OnMouseMove(UINT flags, CPoint point);
  virtual void OnLButtonDown(UINT flags, CPoint point);
  virtual void OnLButtonUp(UINT flags, CPoint point);
  virtual void OnLButtonDblClk(UINT flags, CPoint point);
  virtual void OnRButtonDown(UINT flags, CPoint point);
  virtual void OnRButtonUp(UINT flags, CPoint point);
  virtual void OnRButtonDblClk(UINT flags, CPoint point);
  // WM_COMMAND: the id in the low word of wParam, the notification code in
  // the high word, the control in lParam. Routes it; TRUE when handled.
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);

 private:
  friend class CWindowWidget;
  friend class CTopLevelShell;
  void MakeWidget();
  void ResizeSurface(CSize size);
  void LayoutShell();
  void ApplyGeometry();
  // Sets the window rectangle; a new client size resizes the surface and sends WM_SIZE.
  void SetWindowRect(const CRect& rect, WPARAM sizeKind, bool pushToQt);
  CSize ClientSizeOf(const CRect& rect) const;
  int MenuBarHeight() const;
  int ScrollBarExtent() const;
  // Shows, places and sets the Qt scroll bars from the scroll state.
  void SyncScrollBars();
  void RebuildMenuBar();
  // The shell was placed or sized (by the window manager, the user or our
  // own request): its frame and what lies inside the frame, on the screen.
  void ShellPlaced(const CRect& frame, const CRect& inner);
  // What lies inside a top-level window's frame (its client area and menu bar).
  CSize ShellSize(const CRect& rect) const;
  void ShellStateChanged(bool minimized, bool maximized);
  void ApplyFrameStyle();
  void TakeQtFocus(bool byActivation);
  // Before the window goes or hides: when it or a window inside it has the
  // keyboard focus, the parent takes it.
  void PassFocusToParent();
  CPoint ClientOriginOnScreen() const;
  void ForgetChild(CWnd* child);
  void ReleaseWidgets();

  DWORD m_style = 0;
  DWORD m_exStyle = 0;
  UINT m_classStyle = 0;
  UINT m_id = 0;
  CString m_text;
  CWnd* m_parent = nullptr;
  std::vector<CWnd*> m_children;  // creation order
  CRect m_rect;                   // window rectangle in the parent's client (screen for top level)
  // A top-level window's frame (title bar and borders) as the window manager
  // draws it: the widths on the left, top, right and bottom of the rectangle
  // around the shell; nothing until the window manager has framed it.
  CRect m_frame;
  CSize m_client;
  bool m_visible = false;
  bool m_enabled = true;
  bool m_minimized = false;
  bool m_maximized = false;
  bool m_destroying = false;
  SCROLLINFO m_scroll[2];
  CRect m_update;
  bool m_erase = false;
  CRect m_restoreRect;
  HCURSOR m_classCursor = nullptr;
  HMENU m_menu = nullptr;

  // Qt side: the client widget (input and painting) and, for a top-level
  // window, the shell that holds it and the menu bar.
  CTopLevelShell* m_shell = nullptr;
  CWindowWidget* m_widget = nullptr;
  std::unique_ptr<QImage> m_surface;
  std::mutex m_surfaceLock;
};

BOOL SetCursorPos(int x, int y);
// Whether the display lets a program move the pointer (X11 does; Wayland and the off-screen display do not).
BOOL CanMoveCursor();
BOOL ReleaseCapture();
