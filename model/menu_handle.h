// The platform side of a menu: what course menu items ask of a real menu.
#pragma once

#include "platform/base/cstring.h"
#include "platform/base/win_types.h"

// Items are addressed by position from 0. The window layer gives the
// presentation frame's real menus behind it.
class IMenuHandle {
 public:
  virtual ~IMenuHandle() = default;
  virtual void AppendItem(UINT commandId, const CString& caption) = 0;
  virtual void AppendSeparator() = 0;
  // Makes a pop-up menu, appends it with the caption and gives it back; it
  // belongs to this menu.
  virtual IMenuHandle* AppendPopup(const CString& caption) = 0;
  // The pop-up menu at the position, or null.
  virtual IMenuHandle* GetSubMenu(int position) = 0;
  virtual BOOL IsGreyed(int position) = 0;
  virtual BOOL IsChecked(int position) = 0;
  virtual void SetGreyed(int position, BOOL greyed) = 0;
  virtual void SetChecked(int position, BOOL checked) = 0;
};
