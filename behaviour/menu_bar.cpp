#include "behaviour/menu_bar.h"

void CMenuBar::AppendItem(UINT commandId, const CString& caption) {
  ::AppendMenu(m_hMenu, MF_STRING, commandId, caption);
}

void CMenuBar::AppendSeparator() { ::AppendMenu(m_hMenu, MF_SEPARATOR, 0, CString()); }

IMenuHandle* CMenuBar::Wrap(HMENU popup) {
  if (!popup) return nullptr;
  for (auto& p : m_popups)
    if (p->m_hMenu == popup) return p.get();
  m_popups.push_back(std::make_unique<CMenuBar>(popup));
  return m_popups.back().get();
}

IMenuHandle* CMenuBar::AppendPopup(const CString& caption) {
  HMENU popup = ::CreatePopupMenu();
  if (!popup) return nullptr;
  // The menu takes the pop-up over.
  if (!::AppendMenu(m_hMenu, MF_POPUP | MF_STRING, reinterpret_cast<std::uintptr_t>(popup), caption)) {
    ::DestroyMenu(popup);
    return nullptr;
  }
  return Wrap(popup);
}

IMenuHandle* CMenuBar::GetSubMenu(int position) { return Wrap(::GetSubMenu(m_hMenu, position)); }

BOOL CMenuBar::IsGreyed(int position) {
  const UINT state = ::GetMenuState(m_hMenu, static_cast<UINT>(position), MF_BYPOSITION);
  return state != kNoMenuItem && (state & MF_GRAYED) ? TRUE : FALSE;
}

BOOL CMenuBar::IsChecked(int position) {
  const UINT state = ::GetMenuState(m_hMenu, static_cast<UINT>(position), MF_BYPOSITION);
  return state != kNoMenuItem && (state & MF_CHECKED) ? TRUE : FALSE;
}

void CMenuBar::SetGreyed(int position, BOOL greyed) {
  ::EnableMenuItem(m_hMenu, static_cast<UINT>(position), MF_BYPOSITION | (greyed ? MF_GRAYED : MF_ENABLED));
}

void CMenuBar::SetChecked(int position, BOOL checked) {
  ::CheckMenuItem(m_hMenu, static_cast<UINT>(position), MF_BYPOSITION | (checked ? MF_CHECKED : MF_UNCHECKED));
}
