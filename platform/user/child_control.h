// CChildControl: a child window whose widget is a real Qt control, with the
// messages every control answers (font, redraw, colours, focus walking) and
// its notifications to the parent.
#pragma once

#include <memory>
#include <optional>

#include "platform/user/control_messages.h"
#include "platform/user/wnd.h"

class CFont;
class QFont;

// What the owner answers to WM_CTLCOLOR...: the text colour and the colour of
// the control's background brush; what it leaves empty keeps the default.
struct ControlColours {
  std::optional<COLORREF> text;
  std::optional<COLORREF> background;
};

// Input reaches the control as messages before the Qt control sees it: Qt's
// key and mouse events on the control are turned into WM_KEYDOWN, WM_CHAR,
// WM_LBUTTONDOWN and the rest, and an input method's committed text into
// WM_CHAR, and posted (in order with other input); the text it is composing
// is only shown, and changes neither the text nor the selection (a key or a
// click the input method lets through takes it off the control). The
// control's default handling of each message hands the Qt control the
// matching event. A derived window class handles the message and calls
// Default() where the control should act on it. Tab is not given to Qt: by
// default it moves the focus to the parent's next (Shift: previous) child
// with WS_TABSTOP, wrapping round.
//
// The window's WS_BORDER and WS_EX_CLIENTEDGE are drawn by the window, inside
// its rectangle, the same for every kind of control; the Qt control takes the
// rest and never draws a frame of its own. Scroll bars are the Qt control's:
// WS_HSCROLL and WS_VSCROLL take no room from the window's client area.
//
// A control needs the Qt widget application; without one creation fails.
class CChildControl : public CWnd {
  DECLARE_DYNAMIC(CChildControl)

 public:
  CChildControl();
  ~CChildControl() override;

  // The font last set with WM_SETFONT (null: the control's default).
  CFont* GetFont() const { return m_pFont; }
  void SetFont(CFont* font, BOOL redraw = TRUE);
  // Asks the colours again (the control's own CtlColor first, then the
  // parent) and repaints with them.
  void RefreshColours();
  // Gives the focus to the parent's next (or previous) WS_TABSTOP child,
  // wrapping round; with none the focus stays.
  void FocusNextTabStop(BOOL previous);

  // The Qt control (null before creation or without widgets).
  QWidget* GetControlWidget() const;

 protected:
  // Makes the Qt control inside host for the window's style.
  virtual QWidget* MakeControl(QWidget* host) = 0;
  // The reflected colour message; TRUE when answered.
  virtual BOOL CtlColor(ControlColours&) { return FALSE; }
  // The WM_CTLCOLOR... message this kind of control asks its parent.
  virtual UINT CtlColorMessage() const = 0;
  // Called after the font changed (item heights follow it).
  virtual void OnFontChanged() {}

  int OnCreate(const CREATESTRUCT& cs) override;
  void OnSize(UINT type, int cx, int cy) override;
  void OnPaint() override;
  bool HasOwnScrollBars() const override { return true; }
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  // WM_COMMAND with the control's id and the code, posted to the parent (a
  // handler may destroy the control). Nothing while the control is quiet.
  void NotifyParent(WORD code);
  // Programmatic changes (messages from the program) notify nobody.
  class QuietScope {
   public:
    explicit QuietScope(CChildControl& control) : m_control(control) { ++m_control.m_quiet; }
    ~QuietScope() { --m_control.m_quiet; }
    QuietScope(const QuietScope&) = delete;
    QuietScope& operator=(const QuietScope&) = delete;

   private:
    CChildControl& m_control;
  };
  bool IsQuiet() const { return m_quiet > 0; }
  // The Qt font of the current font (the control's default without one).
  QFont ControlFont() const;

 private:
  struct Impl;
  // Places the Qt control inside the styles' frame and paints the window:
  // the frame, and the control's background where it paints nothing.
  void ApplyFrame();
  void DeliverKey(UINT message, WPARAM wParam);
  void DeliverMouse(UINT message, WPARAM keyFlags, CPoint point);

  std::unique_ptr<Impl> m_impl;
  CFont* m_pFont = nullptr;
  int m_quiet = 0;
};
