// CActiveXWnd: the child window that hosts one control on the page and routes its events.
#pragma once

#include <memory>
#include <vector>

#include "platform/user/native_control.h"
#include "platform/user/wnd.h"

// What the control is created from, in order.
struct CControlCreation {
  CString classId;  // registry form, in braces
  CRect rect;
  CWnd* parent = nullptr;  // receives the control's events as CN_EVENT commands
  UINT id = 0;             // the child-window id events are routed by
  std::vector<BYTE> state;  // the persistent state, empty for none
};

// The control is made through the program's control registry: a class id
// that does not parse or names no installed control creates nothing.
class CActiveXWnd : public CWnd {
  DECLARE_DYNAMIC(CActiveXWnd)

 public:
  CActiveXWnd() = default;
  ~CActiveXWnd() override;

  // Creates the control as a visible child window with its saved state;
  // FALSE (and no window) when it cannot be made.
  BOOL LoadState(const CControlCreation& creation, const CNativeControlRegistry* registry);
  // Paints the control into the rectangle, or grey (0x808080) when it cannot
  // paint itself; nothing without a window.
  void DrawControl(CDC* dc, const CRect& rect);

  // Places the window at the top of its siblings and shows or hides it (the
  // SWP_ flags), telling the control. Only the window's own thread moves
  // windows: called from a helper thread that composes the page, it does
  // nothing, and the next repaint on the user-interface thread places it.
  BOOL Place(const CRect& rect, UINT flags);
  // TRUE on the thread that owns the windows.
  static BOOL IsWindowThread();

  // The hosted control while the window exists, or null.
  INativeControl* GetControl() const { return m_hWnd ? m_pControl.get() : nullptr; }
  IDispatch* GetDispatch() const;
  UINT GetControlId() const { return m_nId; }

 protected:
  void OnDestroy() override;

 private:
  // Hands one event of the control to the parent, by the window's id.
  void FireEvent(DISPID dispid, const std::vector<COleVariant>& args);

  // Shared so that a control whose event ends its own page lives until its call returns.
  std::shared_ptr<INativeControl> m_pControl;
  CWnd* m_pParent = nullptr;  // not owned
  UINT m_nId = 0;
};
