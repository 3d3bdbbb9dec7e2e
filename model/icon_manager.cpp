// Ownership, stored form and input dispatch of the course object lists.
#include "model/icon_manager.h"

#include "model/archive.h"
#include "model/page_access.h"

IMPLEMENT_SERIAL(CIconManager, CIconObject, VERSIONABLE_SCHEMA | 2)

CIconManager::~CIconManager() { DeleteAll(); }

void CIconManager::Serialize(CArchive& ar) {
  CIconObject::Serialize(ar);
  ar.ReadOwnedList(m_children);
  SetParentOfChildren();
}

void CIconManager::SetParentOfChildren() {
  for (auto& child : m_children) child->SetParent(this);
}

CIconObject* CIconManager::GetChild(int index) const {
  if (index < 0 || index >= GetCount()) return nullptr;
  return m_children[static_cast<std::size_t>(index)].get();
}

void CIconManager::AddChild(std::unique_ptr<CIconObject> child) {
  if (!child) return;
  child->SetParent(this);
  m_children.push_back(std::move(child));
}

std::unique_ptr<CIconObject> CIconManager::RemoveChild(int index) {
  if (index < 0 || index >= GetCount()) return nullptr;
  auto it = m_children.begin() + index;
  std::unique_ptr<CIconObject> child = std::move(*it);
  m_children.erase(it);
  return child;
}

void CIconManager::DeleteAll() {
  // The list is empty before any child is freed, so no child sees a half-emptied list.
  std::vector<std::unique_ptr<CIconObject>> doomed = std::move(m_children);
  m_children.clear();
  doomed.clear();
}

BOOL CIconManager::Contains(const CIconObject* obj) const {
  if (obj == this) return TRUE;
  for (const auto& child : m_children) {
    if (child.get() == obj) return TRUE;
    if (CIconManager* sub = child->GetSubManager(); sub && sub->Contains(obj)) return TRUE;
  }
  return FALSE;
}

void CIconManager::RemoveChildrenFromPage(IPageAccess* page) {
  for (auto& child : m_children) {
    if (page && page->RemoveObjectOf(child.get())) continue;
    if (page && child->GetKind() == IconKind::kAudioAction) page->StopSound(child.get());
    child->Unload();
  }
}

BOOL CIconManager::CollectFiles(CStringArray* files, int flags) {
  BOOL any = FALSE;
  for (auto& child : m_children) {
    if (!child->IsEnabled()) continue;
    if (child->CollectFiles(files, flags)) any = TRUE;
    if (CIconManager* sub = child->GetSubManager(); sub && sub->CollectFiles(files, flags)) any = TRUE;
  }
  return any;
}

template <class Offer>
CIconObject* CIconManager::FindTarget(const Offer& offer) {
  for (auto& child : m_children) {
    if (!child->IsEnabled()) continue;
    if (offer(*child)) return child.get();
    if (CIconManager* sub = child->GetSubManager()) {
      if (CIconObject* found = sub->FindTarget(offer)) return found;
    }
  }
  return nullptr;
}

CIconObject* CIconManager::FindMouseMoveTarget(UINT keyFlags, CPoint point, int source) {
  return FindTarget([&](CIconObject& o) { return o.OnMouseMove(keyFlags, point, source, nullptr); });
}

CIconObject* CIconManager::FindMouseButtonTarget(UINT message, UINT keyFlags, CPoint point, int source) {
  return FindTarget([&](CIconObject& o) { return o.OnMouseButton(message, keyFlags, point, source, nullptr); });
}

CIconObject* CIconManager::FindKeyTarget(int key, int state) {
  return FindTarget([&](CIconObject& o) { return o.OnKey(key, state); });
}

CIconObject* CIconManager::FindCommandTarget(int id, LPARAM lParam) {
  return FindTarget([&](CIconObject& o) { return o.OnCommand(id, lParam); });
}

CIconObject* CIconManager::FindTimerTarget(int id) {
  return FindTarget([&](CIconObject& o) { return o.OnTimer(id); });
}

CIconObject* CIconManager::FindMediaNotifyTarget(WPARAM wParam, LPARAM lParam) {
  return FindTarget([&](CIconObject& o) { return o.OnNotify(wParam, lParam); });
}

CIconObject* CIconManager::FindControlNotifyTarget(LONG controlId, void* eventRecord) {
  return FindTarget([&](CIconObject& o) { return o.OnControlEvent(controlId, eventRecord); });
}
