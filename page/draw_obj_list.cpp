// The layer-ordered list of draw objects.
#include "page/draw_obj_list.h"

#include <algorithm>

#include "model/archive.h"

CDrawObjList::~CDrawObjList() { DeleteAll(); }

CDrawObj* CDrawObjList::AddInLayerOrder(std::unique_ptr<CDrawObj> obj) {
  CDrawObj* raw = obj.get();
  auto at = std::find_if(m_objects.begin(), m_objects.end(),
                         [&](const auto& o) { return o->GetLayer() < raw->GetLayer(); });
  m_objects.insert(at, std::move(obj));
  return raw;
}

std::unique_ptr<CDrawObj> CDrawObjList::Remove(CDrawObj* obj) {
  auto at = std::find_if(m_objects.begin(), m_objects.end(), [&](const auto& o) { return o.get() == obj; });
  if (at == m_objects.end()) return nullptr;
  std::unique_ptr<CDrawObj> taken = std::move(*at);
  m_objects.erase(at);
  return taken;
}

void CDrawObjList::Reorder(CDrawObj* obj) {
  if (auto taken = Remove(obj)) AddInLayerOrder(std::move(taken));
}

CDrawObj* CDrawObjList::HitTest(int x, int y, int arg) const {
  for (auto it = m_objects.rbegin(); it != m_objects.rend(); ++it)
    if ((*it)->HitTest(x, y, FALSE, arg)) return it->get();
  return nullptr;
}

CDrawObj* CDrawObjList::FindByOwner(const CIconObject* owner) const {
  for (const auto& o : m_objects)
    if (o->GetOwner() == owner) return o.get();
  return nullptr;
}

bool CDrawObjList::Contains(const CDrawObj* obj) const {
  return std::any_of(m_objects.begin(), m_objects.end(), [&](const auto& o) { return o.get() == obj; });
}

std::vector<std::unique_ptr<CDrawObj>> CDrawObjList::TakeAll() {
  std::vector<std::unique_ptr<CDrawObj>> all;
  all.swap(m_objects);
  return all;
}

void CDrawObjList::DeleteAll() {
  // Animation threads end first, then the objects go.
  for (auto& o : m_objects) o->KillThread(FALSE);
  m_objects.clear();
}

std::vector<CDrawObj*> CDrawObjList::Snapshot() const {
  std::vector<CDrawObj*> all;
  all.reserve(m_objects.size());
  for (const auto& o : m_objects) all.push_back(o.get());
  return all;
}

void CDrawObjList::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar.WriteCount(static_cast<DWORD>(m_objects.size()));
    for (const auto& o : m_objects) ar.WriteObject(o.get());
    return;
  }
  // A stored page means nothing to a new one. The objects stay with the
  // archive, which frees them: a later back-reference must still find them.
  const DWORD count = ar.ReadCount();
  ar.CheckAvailable(static_cast<ULONGLONG>(count) * 2);
  for (DWORD i = 0; i < count; ++i) ar.ReadObject(RUNTIME_CLASS(CDrawObj));
}
