// Menus: a tree of items (strings with command ids, separators, pop-ups,
// owner-drawn items) with grey and check states, shown on a window's menu bar
// or tracked as a pop-up.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/base/cstring.h"
#include "platform/base/win_types.h"
#include "platform/msg/window_messages.h"

constexpr UINT MF_STRING = 0x0;
constexpr UINT MF_ENABLED = 0x0;
constexpr UINT MF_UNCHECKED = 0x0;
constexpr UINT MF_BYCOMMAND = 0x0;
constexpr UINT MF_GRAYED = 0x1;
constexpr UINT MF_DISABLED = 0x2;
constexpr UINT MF_CHECKED = 0x8;
constexpr UINT MF_POPUP = 0x10;
constexpr UINT MF_OWNERDRAW = 0x100;
constexpr UINT MF_BYPOSITION = 0x400;
constexpr UINT MF_SEPARATOR = 0x800;
constexpr UINT kMenuStateMask = MF_GRAYED | MF_DISABLED | MF_CHECKED;
constexpr UINT kNoMenuItem = 0xFFFFFFFFu;

class CDC;
using ULONG_PTR = std::uintptr_t;

// Owner-drawn items: the kind of control and the drawing states.
constexpr UINT ODT_MENU = 1;
constexpr UINT ODA_DRAWENTIRE = 0x1;
constexpr UINT ODA_SELECT = 0x2;
constexpr UINT ODA_FOCUS = 0x4;
constexpr UINT ODS_SELECTED = 0x1;
constexpr UINT ODS_GRAYED = 0x2;
constexpr UINT ODS_DISABLED = 0x4;
constexpr UINT ODS_CHECKED = 0x8;
constexpr UINT ODS_FOCUS = 0x10;

// The size of an owner-drawn item, asked once before the menu shows.
struct MEASUREITEMSTRUCT {
  UINT CtlType = ODT_MENU;
  UINT CtlID = 0;
  UINT itemID = 0;
  UINT itemWidth = 0;
  UINT itemHeight = 0;
  ULONG_PTR itemData = 0;
};

// One drawing of an owner-drawn item. dc stands where the system gives a
// device-context handle: it draws on the menu's pixels, in item coordinates
// of the menu.
struct DRAWITEMSTRUCT {
  UINT CtlType = ODT_MENU;
  UINT CtlID = 0;
  UINT itemID = 0;
  UINT itemAction = ODA_DRAWENTIRE;
  UINT itemState = 0;
  CDC* dc = nullptr;
  CRect rcItem;
  ULONG_PTR itemData = 0;
};

// What measures and draws the owner-drawn items of one menu; the menu shares
// it, so it lives as long as the menu, wherever the menu has been put.
class IMenuItemPainter {
 public:
  virtual ~IMenuItemPainter() = default;
  virtual void MeasureItem(MEASUREITEMSTRUCT& item) const = 0;
  virtual void DrawItem(const DRAWITEMSTRUCT& item) const = 0;
};

struct MenuData {
  struct Item {
    UINT flags = 0;  // MF_ state and kind bits
    UINT id = 0;
    CString text;
    ULONG_PTR data = 0;  // the owner's value of an owner-drawn item
    std::unique_ptr<MenuData> popup;
  };
  std::vector<Item> items;
  std::shared_ptr<const IMenuItemPainter> painter;  // for the MF_OWNERDRAW items
};
using HMENU = MenuData*;

HMENU CreateMenu();
HMENU CreatePopupMenu();
// Frees the menu and its pop-ups. A pop-up that belongs to a menu goes with it.
BOOL DestroyMenu(HMENU menu);
// With MF_POPUP the id is the pop-up menu's handle; the menu takes it over.
BOOL AppendMenu(HMENU menu, UINT flags, std::uintptr_t idOrPopup, const CString& text);
// An MF_OWNERDRAW item: the menu's painter draws it from its id and data.
BOOL AppendOwnerDrawMenu(HMENU menu, UINT flags, std::uintptr_t id, ULONG_PTR itemData);
// Changes an item in place (by command id, searched through the pop-ups, or
// by position): with MF_POPUP it becomes that pop-up, which the menu takes
// over; the item's old pop-up goes.
BOOL ModifyMenu(HMENU menu, UINT item, UINT flags, std::uintptr_t idOrPopup, const CString& text);
// The owner's value of an owner-drawn item; 0 for no item.
ULONG_PTR GetMenuItemData(HMENU menu, UINT item, UINT flags);
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

// Pop-up tracking flags.
constexpr UINT TPM_LEFTBUTTON = 0x0;
constexpr UINT TPM_LEFTALIGN = 0x0;
constexpr UINT TPM_RIGHTBUTTON = 0x2;
constexpr UINT TPM_NONOTIFY = 0x80;
constexpr UINT TPM_RETURNCMD = 0x100;

// Shows the menu as a pop-up at a screen point and waits for the choice
// (through the loop's dialogs: Qt's menu in the program, a script in tests).
// The chosen item's command goes to the owner as WM_COMMAND (posted), or with
// TPM_RETURNCMD is returned instead; 0 when nothing was chosen.
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner);

// A menu handle owned by an object: destroyed with it unless detached.
class CMenu {
 public:
  CMenu() = default;
  virtual ~CMenu() { DestroyMenu(); }
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
  BOOL AppendOwnerDrawMenu(UINT flags, std::uintptr_t id, ULONG_PTR itemData) {
    return ::AppendOwnerDrawMenu(m_hMenu, flags, id, itemData);
  }
  BOOL ModifyMenu(UINT item, UINT flags, std::uintptr_t idOrPopup = 0, const CString& text = CString()) {
    return ::ModifyMenu(m_hMenu, item, flags, idOrPopup, text);
  }
  BOOL TrackPopupMenu(UINT flags, int x, int y, HWND owner) const { return ::TrackPopupMenu(m_hMenu, flags, x, y, owner); }
  CString GetMenuString(UINT item, UINT flags) const { return ::GetMenuString(m_hMenu, item, flags); }
  UINT GetMenuItemCount() const { return static_cast<UINT>(::GetMenuItemCount(m_hMenu)); }
  UINT GetMenuItemID(int position) const { return ::GetMenuItemID(m_hMenu, position); }
  UINT GetMenuState(UINT item, UINT flags) const { return ::GetMenuState(m_hMenu, item, flags); }
  UINT EnableMenuItem(UINT item, UINT flags) { return ::EnableMenuItem(m_hMenu, item, flags); }
  UINT CheckMenuItem(UINT item, UINT flags) { return ::CheckMenuItem(m_hMenu, item, flags); }
  HMENU GetSubMenu(int position) const { return ::GetSubMenu(m_hMenu, position); }

  // Owner-drawn items of a menu class: what its painter answers. The base
  // draws nothing.
  virtual void MeasureItem(MEASUREITEMSTRUCT* item) { (void)item; }
  virtual void DrawItem(DRAWITEMSTRUCT* item) { (void)item; }

  HMENU m_hMenu = nullptr;
};
