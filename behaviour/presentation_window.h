// IPresentationWindow: what the window and menu actions ask of the frame a course plays in.
#pragma once

#include "platform/base/win_types.h"

class CFrameWnd;
class CMenuItemList;
struct MenuData;
using HMENU = MenuData*;

// The presentation frame gives these; the actions find it as the view's frame.
class IPresentationWindow {
 public:
  virtual CFrameWnd& Frame() = 0;
  // The page shown at this size (0 x 0: the view fills the frame).
  virtual void SetViewArea(int width, int height) = 0;
  // Fits the view into the frame again.
  virtual void FitView() = 0;
  // The frame's copy of the course's menu items, and whether any of them has conditions.
  virtual CMenuItemList& UserMenu() = 0;
  virtual void SetHasUserMenu(BOOL has) = 0;
  // The menu bar a menu action built (null: none); the frame owns it and
  // destroys the one it replaces. The frame's own menu is only taken off.
  virtual void SetCourseMenu(HMENU menu) = 0;

 protected:
  ~IPresentationWindow() = default;
};
