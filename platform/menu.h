// Menus: a tree of items (strings with command ids, separators, pop-ups) with
// grey and check states, shown on a window's menu bar.
#pragma once

#include <memory>
#include <vector>

#include "platform/cstring.h"
#include "platform/win_types.h"

constexpr UINT MF_STRING = 0x0;
constexpr UINT MF_ENABLED = 0x0;
constexpr UINT MF_UNCHECKED = 0x0;
constexpr UINT MF_BYCOMMAND = 0x0;
constexpr UINT MF_GRAYED = 0x1;
constexpr UINT MF_DISABLED = 0x2;
constexpr UINT MF_CHECKED = 0x8;
constexpr UINT MF_POPUP = 0x10;
constexpr UINT MF_BYPOSITION = 0x400;
constexpr UINT MF_SEPARATOR = 0x800;
constexpr UINT kMenuStateMask = MF_GRAYED | MF_DISABLED | MF_CHECKED;
constexpr UINT kNoMenuItem = 0xFFFFFFFFu;

struct MenuData {
  struct Item {
    UINT flags = 0;  // MF_ state and kind bits
    UINT id = 0;
    CString text;
    std::unique_ptr<MenuData> popup;
  };
  std::vector<Item> items;
};
using HMENU = MenuData*;

HMENU CreateMenu();
HMENU CreatePopupMenu();
// Frees the menu and its pop-ups. A pop-up that belongs to a menu goes with it.
BOOL DestroyMenu(HMENU menu);
// With MF_POPUP the id is the pop-up menu's handle; the menu takes it over.
BOOL AppendMenu(HMENU menu, UINT flags, std::uintptr_t idOrPopup, const CString& text);
int GetMenuItemCount(HMENU menu);  // -1 for no menu
UINT GetMenuItemID(HMENU menu, int position);  // kNoMenuItem for a pop-up or no item
HMENU GetSubMenu(HMENU menu, int position);
// Item by command id (searched through the pop-ups too) or by position.
// GetMenuState: the MF_ state bits (with MF_POPUP, MF_SEPARATOR), kNoMenuItem for no item.
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
// The previous MF_GRAYED | MF_DISABLED state, kNoMenuItem for no item.
UINT EnableMenuItem(HMENU menu, UINT item, UINT flags);
// The previous MF_CHECKED state, kNoMenuItem for no item.
UINT CheckMenuItem(HMENU menu, UINT item, UINT flags);
BOOL DeleteMenu(HMENU menu, UINT item, UINT flags);
CString GetMenuString(HMENU menu, UINT item, UINT flags);

// A menu handle owned by an object: destroyed with it unless detached.
class CMenu {
 public:
  CMenu() = default;
  ~CMenu() { DestroyMenu(); }
  CMenu(const CMenu&) = delete;
  CMenu& operator=(const CMenu&) = delete;

  BOOL CreateMenu();
  BOOL CreatePopupMenu();
  BOOL DestroyMenu();
  BOOL Attach(HMENU menu);
  HMENU Detach();
  HMENU GetSafeHmenu() const { return m_hMenu; }

  BOOL AppendMenu(UINT flags, std::uintptr_t idOrPopup = 0, const CString& text = CString()) {
    return ::AppendMenu(m_hMenu, flags, idOrPopup, text);
  }
  UINT GetMenuItemCount() const { return static_cast<UINT>(::GetMenuItemCount(m_hMenu)); }
  UINT GetMenuItemID(int position) const { return ::GetMenuItemID(m_hMenu, position); }
  UINT GetMenuState(UINT item, UINT flags) const { return ::GetMenuState(m_hMenu, item, flags); }
  UINT EnableMenuItem(UINT item, UINT flags) { return ::EnableMenuItem(m_hMenu, item, flags); }
  UINT CheckMenuItem(UINT item, UINT flags) { return ::CheckMenuItem(m_hMenu, item, flags); }
  HMENU GetSubMenu(int position) const { return ::GetSubMenu(m_hMenu, position); }

  HMENU m_hMenu = nullptr;
};
