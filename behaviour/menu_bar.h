// CMenuBar: a window-layer menu (HMENU) seen through the course menu items' IMenuHandle.
#pragma once

#include <memory>
#include <vector>

#include "model/menu_handle.h"
#include "platform/user/menu.h"

// Does not own the menu; the pop-ups it hands out live as long as it does.
class CMenuBar final : public IMenuHandle {
 public:
  explicit CMenuBar(HMENU menu) : m_hMenu(menu) {}
  HMENU GetHandle() const { return m_hMenu; }

  void AppendItem(UINT commandId, const CString& caption) override;
  void AppendSeparator() override;
  IMenuHandle* AppendPopup(const CString& caption) override;
  IMenuHandle* GetSubMenu(int position) override;
  BOOL IsGreyed(int position) override;
  BOOL IsChecked(int position) override;
  void SetGreyed(int position, BOOL greyed) override;
  void SetChecked(int position, BOOL checked) override;

 private:
  IMenuHandle* Wrap(HMENU popup);

  HMENU m_hMenu;
  std::vector<std::unique_ptr<CMenuBar>> m_popups;
};
