// Course menu items: building them into a menu, updating their states and their stored form.
#include "model/menu_item.h"

#include <algorithm>

#include "model/archive.h"
#include "model/text_helpers.h"
#include "model/task_services.h"

IMPLEMENT_SERIAL(CMenuItem, CObject, VERSIONABLE_SCHEMA | 2)

CMenuItemList::CMenuItemList() { m_items.reserve(10); }
CMenuItemList::~CMenuItemList() = default;

CMenuItem* CMenuItemList::GetAt(int index) const {
  if (index < 0 || index >= GetCount()) return nullptr;
  return m_items[static_cast<std::size_t>(index)].get();
}

void CMenuItemList::AddTail(std::unique_ptr<CMenuItem> item) {
  if (item) m_items.push_back(std::move(item));
}

void CMenuItemList::InsertAt(int position, std::unique_ptr<CMenuItem> item) {
  if (!item) return;
  if (position >= 0 && position < GetCount()) {
    m_items.insert(m_items.begin() + position, std::move(item));
  } else {
    m_items.push_back(std::move(item));
  }
}

void CMenuItemList::Copy(const CMenuItemList& other) {
  if (&other == this) return;
  RemoveAll();
  for (const auto& item : other.m_items) m_items.push_back(std::make_unique<CMenuItem>(*item));
}

void CMenuItemList::AppendToMenu(IMenuHandle& menu) const {
  for (const auto& item : m_items) item->AppendToMenu(menu);
}

BOOL CMenuItemList::UpdateMenuStates(IMenuHandle& menu, IScriptHost& script) const {
  BOOL changed = FALSE;
  for (int i = 0; i < GetCount(); ++i) {
    if (m_items[static_cast<std::size_t>(i)]->UpdateState(menu, i, script)) changed = TRUE;
  }
  return changed;
}

BOOL CMenuItemList::AnyItemMatches() const {
  return std::any_of(m_items.begin(), m_items.end(), [](const auto& item) { return item->HasConditions(); });
}

int CMenuItemList::GetDepth() const {
  int depth = 0;
  for (const auto& item : m_items) depth = std::max(depth, 1 + item->GetSubItems().GetDepth());
  return depth;
}

void CMenuItemList::Serialize(CArchive& ar) {
  RemoveAll();
  ar.ReadOwnedList(m_items);
}

CMenuItem::CMenuItem() = default;

CMenuItem::CMenuItem(const CString& caption, const CString& checkCondition, const CString& disableCondition,
                     DWORD flags)
    : m_dwFlags(flags & 0xFFFFu),
      m_nCommandId(StringChecksum(caption.str())),
      m_strCaption(caption),
      m_strCheck(checkCondition),
      m_strDisable(disableCondition) {}

CMenuItem::CMenuItem(const CMenuItem& other) : CObject(other) { CopyFields(other); }

CMenuItem& CMenuItem::operator=(const CMenuItem& other) {
  if (&other != this) CopyFields(other);
  return *this;
}

CMenuItem::~CMenuItem() = default;

void CMenuItem::CopyFields(const CMenuItem& other) {
  m_dwFlags = other.m_dwFlags;
  m_nCommandId = other.m_nCommandId;
  m_strCaption = other.m_strCaption;
  m_strCheck = other.m_strCheck;
  m_strDisable = other.m_strDisable;
  m_subItems.Copy(other.m_subItems);
}

void CMenuItem::AddSubItem(std::unique_ptr<CMenuItem> item, int position) { m_subItems.InsertAt(position, std::move(item)); }

void CMenuItem::AppendToMenu(IMenuHandle& menu) const {
  if (HasSubItems()) {
    if (IMenuHandle* popup = menu.AppendPopup(m_strCaption)) m_subItems.AppendToMenu(*popup);
  } else if (m_dwFlags & kSeparator) {
    menu.AppendSeparator();
  } else {
    menu.AppendItem(m_nCommandId, m_strCaption);
  }
}

BOOL CMenuItem::UpdateState(IMenuHandle& menu, int position, IScriptHost& script) const {
  BOOL changed = FALSE;
  const BOOL greyed = !m_strDisable.IsEmpty() && script.CheckCondition(m_strDisable) != 0;
  if (greyed != menu.IsGreyed(position)) {
    menu.SetGreyed(position, greyed);
    changed = TRUE;
  }
  const BOOL checked = !m_strCheck.IsEmpty() && script.CheckCondition(m_strCheck) != 0;
  if (checked != menu.IsChecked(position)) {
    menu.SetChecked(position, checked);
    changed = TRUE;
  }
  if (HasSubItems()) {
    if (IMenuHandle* popup = menu.GetSubMenu(position)) m_subItems.UpdateMenuStates(*popup, script);
  }
  return changed;
}

BOOL CMenuItem::HasConditions() const {
  return !m_strCheck.IsEmpty() || !m_strDisable.IsEmpty() || m_subItems.AnyItemMatches();
}

void CMenuItem::Serialize(CArchive& ar) {
  m_dwFlags = ar.ReadDword();
  m_nCommandId = ar.ReadDword();  // used as stored, never recomputed
  m_strCaption = ar.ReadString();
  m_strCheck = ar.ReadString();
  m_strDisable = ar.ReadString();
  m_subItems.Serialize(ar);
  // Each item checks once its sub-items are read, so the walk stays shallow.
  if (1 + m_subItems.GetDepth() > kMaxDepth) ar.Fail(CArchiveException::genericException);
}
