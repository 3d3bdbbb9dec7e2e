// CMenuItem and CMenuItemList: a course's own menu tree, built into the presentation frame's menu.
#pragma once

#include <memory>
#include <vector>

#include "model/menu_handle.h"
#include "platform/base/cstring.h"
#include "platform/base/object.h"

class CArchive;
class CMenuItem;
class IScriptHost;

// An ordered list of menu items that owns them. Stored as the framework's
// object list: a count, then one object reference per item.
class CMenuItemList {
 public:
  CMenuItemList();
  ~CMenuItemList();
  CMenuItemList(const CMenuItemList&) = delete;
  CMenuItemList& operator=(const CMenuItemList&) = delete;

  int GetCount() const { return static_cast<int>(m_items.size()); }
  BOOL HasItems() const { return !m_items.empty(); }
  CMenuItem* GetAt(int index) const;
  void AddTail(std::unique_ptr<CMenuItem> item);
  // Inserts before the item at the position, or appends when there is none.
  void InsertAt(int position, std::unique_ptr<CMenuItem> item);

  // Deletes its items, then appends deep copies of the other's.
  void Copy(const CMenuItemList& other);
  void RemoveAll() { m_items.clear(); }
  void AppendToMenu(IMenuHandle& menu) const;
  // Brings every item's check mark and grey state up to date from its
  // conditions, item i at position i; TRUE when any item's state changed.
  BOOL UpdateMenuStates(IMenuHandle& menu, IScriptHost& script) const;
  // TRUE when any item (or sub-item) has a condition.
  BOOL AnyItemMatches() const;
  // Levels of items below and including these (0 for an empty list).
  int GetDepth() const;

  void Serialize(CArchive& ar);

 private:
  std::vector<std::unique_ptr<CMenuItem>> m_items;
};

// One item: a caption with the command id it sends, or a separator, or a
// pop-up of sub-items; a check condition and a disable condition in the
// expression language decide its check mark and grey state at each update.
class CMenuItem : public CObject {
  DECLARE_SERIAL(CMenuItem)

 public:
  static constexpr DWORD kSeparator = 0x800;
  // Deeper trees in a course file are refused: a hostile file must not
  // make building or updating the menu recurse without bound.
  static constexpr int kMaxDepth = 16;

  CMenuItem();
  // Keeps the low 16 bits of the flags; the command id comes from the caption.
  CMenuItem(const CString& caption, const CString& checkCondition, const CString& disableCondition, DWORD flags);
  CMenuItem(const CMenuItem& other);
  CMenuItem& operator=(const CMenuItem& other);
  ~CMenuItem() override;

  DWORD GetFlags() const { return m_dwFlags; }
  UINT GetCommandId() const { return m_nCommandId; }
  const CString& GetCaption() const { return m_strCaption; }
  const CString& GetCheckCondition() const { return m_strCheck; }
  const CString& GetDisableCondition() const { return m_strDisable; }
  const CMenuItemList& GetSubItems() const { return m_subItems; }

  // Inserts before the sub-item at the position when there is one, else appends; null is ignored.
  void AddSubItem(std::unique_ptr<CMenuItem> item, int position);
  BOOL HasSubItems() const { return m_subItems.HasItems(); }
  // A pop-up with its sub-items, a separator line, or a command item.
  void AppendToMenu(IMenuHandle& menu) const;
  // Sets the grey state and check mark of the item at the position from the
  // conditions; TRUE when either changed. A pop-up's sub-items are updated
  // too, but their changes do not count here.
  BOOL UpdateState(IMenuHandle& menu, int position, IScriptHost& script) const;
  BOOL HasConditions() const;

  void Serialize(CArchive& ar) override;

 private:
  void CopyFields(const CMenuItem& other);

  DWORD m_dwFlags = 0;
  UINT m_nCommandId = 0;
  CString m_strCaption;
  CString m_strCheck;
  CString m_strDisable;
  CMenuItemList m_subItems;
};
