// Menu trees: items by id or position, their states, and tracking a pop-up.
#include "platform/user/menu.h"

#include <utility>

#include "platform/user/message_loop.h"

namespace {

MenuData::Item* FindItem(HMENU menu, UINT item, UINT flags) {
  if (!menu) return nullptr;
  if (flags & MF_BYPOSITION) return item < menu->items.size() ? &menu->items[item] : nullptr;
  for (MenuData::Item& it : menu->items) {
    if (it.popup) {
      if (MenuData::Item* inner = FindItem(it.popup.get(), item, flags)) return inner;
    } else if (!(it.flags & MF_SEPARATOR) && it.id == item) {
      return &it;
    }
  }
  return nullptr;
}

}  // namespace

HMENU CreateMenu() { return new MenuData; }
HMENU CreatePopupMenu() { return new MenuData; }

BOOL DestroyMenu(HMENU menu) {
  if (!menu) return FALSE;
  delete menu;
  return TRUE;
}

BOOL AppendMenu(HMENU menu, UINT flags, std::uintptr_t idOrPopup, const CString& text) {
  if (!menu) return FALSE;
  MenuData::Item item;
  item.flags = flags & ~MF_BYPOSITION;
  if (flags & MF_POPUP) {
    HMENU popup = reinterpret_cast<HMENU>(idOrPopup);
    if (!popup || popup == menu) return FALSE;
    item.popup.reset(popup);
  } else if (!(flags & MF_SEPARATOR)) {
    item.id = static_cast<UINT>(idOrPopup & 0xFFFF);  // command ids are 16-bit
  }
  if (!(flags & MF_SEPARATOR)) item.text = text;
  menu->items.push_back(std::move(item));
  return TRUE;
}

BOOL AppendOwnerDrawMenu(HMENU menu, UINT flags, std::uintptr_t id, ULONG_PTR itemData) {
  if (!menu || (flags & (MF_POPUP | MF_SEPARATOR))) return FALSE;
  MenuData::Item item;
  item.flags = (flags & ~MF_BYPOSITION) | MF_OWNERDRAW;
  item.id = static_cast<UINT>(id & 0xFFFF);
  item.data = itemData;
  menu->items.push_back(std::move(item));
  return TRUE;
}

BOOL ModifyMenu(HMENU menu, UINT item, UINT flags, std::uintptr_t idOrPopup, const CString& text) {
  MenuData::Item* it = FindItem(menu, item, flags);
  if (!it) return FALSE;
  if (flags & MF_POPUP) {
    HMENU popup = reinterpret_cast<HMENU>(idOrPopup);
    // A menu cannot hold itself, nor the pop-up it is being changed in.
    if (!popup || popup == menu || popup == it->popup.get()) return FALSE;
    it->popup.reset(popup);
    it->id = 0;
  } else {
    it->popup.reset();
    it->id = (flags & MF_SEPARATOR) ? 0 : static_cast<UINT>(idOrPopup & 0xFFFF);
  }
  it->flags = flags & ~MF_BYPOSITION;
  it->text = (flags & MF_SEPARATOR) ? CString() : text;
  it->data = 0;
  return TRUE;
}

ULONG_PTR GetMenuItemData(HMENU menu, UINT item, UINT flags) {
  MenuData::Item* it = FindItem(menu, item, flags);
  return it ? it->data : 0;
}

int GetMenuItemCount(HMENU menu) { return menu ? static_cast<int>(menu->items.size()) : -1; }

UINT GetMenuItemID(HMENU menu, int position) {
  MenuData::Item* item = position < 0 ? nullptr : FindItem(menu, static_cast<UINT>(position), MF_BYPOSITION);
  if (!item || item->popup) return kNoMenuItem;
  return (item->flags & MF_SEPARATOR) ? 0 : item->id;
}

HMENU GetSubMenu(HMENU menu, int position) {
  MenuData::Item* item = position < 0 ? nullptr : FindItem(menu, static_cast<UINT>(position), MF_BYPOSITION);
  return item ? item->popup.get() : nullptr;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
  MenuData::Item* it = FindItem(menu, item, flags);
  if (!it) return kNoMenuItem;
  return it->flags & (kMenuStateMask | MF_POPUP | MF_SEPARATOR);
}

UINT EnableMenuItem(HMENU menu, UINT item, UINT flags) {
  MenuData::Item* it = FindItem(menu, item, flags);
  if (!it) return kNoMenuItem;
  UINT old = it->flags & (MF_GRAYED | MF_DISABLED);
  it->flags = (it->flags & ~(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
  return old;
}

UINT CheckMenuItem(HMENU menu, UINT item, UINT flags) {
  MenuData::Item* it = FindItem(menu, item, flags);
  if (!it) return kNoMenuItem;
  UINT old = it->flags & MF_CHECKED;
  it->flags = (it->flags & ~MF_CHECKED) | (flags & MF_CHECKED);
  return old;
}

BOOL DeleteMenu(HMENU menu, UINT item, UINT flags) {
  if (!menu) return FALSE;
  if (flags & MF_BYPOSITION) {
    if (item >= menu->items.size()) return FALSE;
    menu->items.erase(menu->items.begin() + item);
    return TRUE;
  }
  for (auto it = menu->items.begin(); it != menu->items.end(); ++it) {
    if (it->popup) {
      if (DeleteMenu(it->popup.get(), item, flags)) return TRUE;
    } else if (!(it->flags & MF_SEPARATOR) && it->id == item) {
      menu->items.erase(it);
      return TRUE;
    }
  }
  return FALSE;
}

CString GetMenuString(HMENU menu, UINT item, UINT flags) {
  MenuData::Item* it = FindItem(menu, item, flags);
  return it ? it->text : CString();
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner) {
  CMessageLoop* loop = CMessageLoop::Current();
  if (!menu || !loop) return FALSE;
  PopupMenuRequest request;
  request.menu = menu;
  request.flags = flags;
  request.point = CPoint(x, y);
  request.owner = owner;
  const UINT chosen = loop->Dialogs().TrackPopupMenu(request);
  if (flags & TPM_RETURNCMD) return static_cast<BOOL>(chosen);
  if (chosen == 0) return FALSE;
  loop->PostMessage(owner, WM_COMMAND, MAKEWPARAM(static_cast<int>(chosen), 0), 0);
  return TRUE;
}

BOOL CMenu::CreateMenu() {
  DestroyMenu();
  m_hMenu = ::CreateMenu();
  return TRUE;
}

BOOL CMenu::CreatePopupMenu() {
  DestroyMenu();
  m_hMenu = ::CreatePopupMenu();
  return TRUE;
}

BOOL CMenu::DestroyMenu() {
  if (!m_hMenu) return FALSE;
  ::DestroyMenu(std::exchange(m_hMenu, nullptr));
  return TRUE;
}

BOOL CMenu::Attach(HMENU menu) {
  if (m_hMenu || !menu) return FALSE;
  m_hMenu = menu;
  return TRUE;
}

HMENU CMenu::Detach() { return std::exchange(m_hMenu, nullptr); }
