// The off-screen view's display list: adding, finding, removing and selecting draw objects.
#include <algorithm>

#include "model/icon_object.h"
#include "page/off_screen_view.h"

namespace {

std::unique_ptr<CDrawObj> MakeDrawObj(CIconObject* owner, DWORD flags, IDrawObjHost* host) {
  if (flags & (DrawFlag::kPathLine | DrawFlag::kPathShape)) return std::make_unique<CDrawPoly>(owner, flags, host);
  if (flags & DrawFlag::kOle) return std::make_unique<CDrawOleObj>(owner, flags, host);
  return std::make_unique<CDrawRect>(owner, flags, host);
}

CRect Normalized(CRect r) {
  r.NormalizeRect();
  return r;
}

}  // namespace

CDrawObj* COffScreenView::AddObject(CIconObject* owner, DWORD flags) {
  if (CDrawObj* existing = FindDisplayItem(owner)) return existing;
  if ((flags & DrawFlag::kTransition) && !(flags & DrawFlag::kFlushAround)) FlushInvalidRects();

  CDrawObj* obj;
  {
    std::lock_guard lock(m_listLock);
    if (CDrawObj* existing = m_list.FindByOwner(owner)) return existing;  // added meanwhile
    obj = m_list.AddInLayerOrder(MakeDrawObj(owner, flags, this));
  }
  if (m_bRunning && (flags & DrawFlag::kHidden)) return obj;
  const CRect rect = m_bRunning ? obj->GetOwnerRect() : *obj->GetRect();
  if (rect.IsRectEmpty()) return obj;

  if (flags & DrawFlag::kTransition) {
    FinishEffect(owner, rect);
    if (flags & DrawFlag::kFlushAround) FlushInvalidRects();
    if (!IsDisplayItem(obj)) return nullptr;  // the transition's course took it off again
    if (m_hWnd) {
      // What the transition showed needs no paint; a paint asked for
      // meanwhile elsewhere (the whole window, resized during it) still comes.
      CRect shown = rect;
      LogicalToClientRect(&shown);
      ValidateRect(&shown);
    }
  }
  InvalidateRect(&rect);
  return obj;
}

void COffScreenView::SetPageSettings(std::unique_ptr<IPageSettings> settings) {
  std::lock_guard lock(m_listLock);
  m_pPageSettings = settings ? std::move(settings) : std::make_unique<CPlainPageSettings>();
}

CDrawObj* COffScreenView::FindObjectByName(const CString& name) {
  std::lock_guard lock(m_listLock);
  for (CDrawObj* obj : m_list.Snapshot())
    if (obj->GetOwner() && obj->GetOwner()->GetName() == name) return obj;
  return nullptr;
}

CDrawObj* COffScreenView::FindDisplayItem(const CIconObject* owner) {
  std::lock_guard lock(m_listLock);
  return m_list.FindByOwner(owner);
}

BOOL COffScreenView::IsDisplayItem(const CDrawObj* obj) {
  std::lock_guard lock(m_listLock);
  return m_list.Contains(obj);
}

int COffScreenView::GetObjectCount() {
  std::lock_guard lock(m_listLock);
  return m_list.GetCount();
}

std::vector<CDrawObj*> COffScreenView::GetObjects() {
  std::lock_guard lock(m_listLock);
  return m_list.Snapshot();
}

void COffScreenView::KillThreads(CDrawObj* obj) {
  std::vector<CDrawObj*> targets;
  {
    std::lock_guard lock(m_listLock);
    if (obj && !m_list.Contains(obj)) return;  // not on this page (any more)
    targets = obj ? std::vector<CDrawObj*>{obj} : m_list.Snapshot();
    for (CDrawObj* o : targets) o->KillThread(FALSE);
  }
  // Waiting happens outside the lock: a thread may be waiting for it.
  for (CDrawObj* o : targets) o->KillThread(TRUE);
  if (!obj) JoinEndingThreads();
}

void COffScreenView::AdoptEndingThread(std::unique_ptr<CAnimateThread> thread) {
  std::lock_guard lock(m_endingLock);
  m_endingThreads.push_back(std::move(thread));
}

void COffScreenView::JoinEndingThreads() {
  std::vector<std::unique_ptr<CAnimateThread>> ending;
  {
    std::lock_guard lock(m_endingLock);
    ending.swap(m_endingThreads);
  }
  ending.clear();  // each one joins its thread as it goes
}

std::vector<CDrawObj*> COffScreenView::StopMovers(const CDrawObj* obj) {
  std::vector<CDrawObj*> movers;
  for (CDrawObj* o : m_list.Snapshot()) {
    auto* mover = dynamic_cast<IObjectMover*>(o->GetOwner());
    if (!mover || o == obj || mover->GetMovedObject() != obj) continue;
    o->GetOwner()->Unload();
    o->KillThread(FALSE);
    movers.push_back(o);
  }
  return movers;
}

void COffScreenView::KillMoveThread(CDrawObj* drawObj) {
  std::vector<CDrawObj*> movers;
  {
    std::lock_guard lock(m_listLock);
    if (!drawObj) return;
    movers = StopMovers(drawObj);
  }
  // Joined outside the lock: a step may be waiting for it.
  for (CDrawObj* o : movers)
    if (IsDisplayItem(o)) o->KillThread(TRUE);
}

void COffScreenView::TakeOut(CDrawObj* obj, Doomed& doomed) {
  auto taken = m_list.Remove(obj);
  if (!taken) return;
  // Its movers stop here; their threads are joined when their objects go.
  StopMovers(obj);
  // Out of the list before the owner unloads, so that an owner taking itself
  // off the page from there finds nothing left to free.
  m_dirty.Add(*taken->GetRect());
  taken->KillThread(FALSE);
  ForgetSelected(obj);
  if (CIconObject* owner = taken->GetOwner()) owner->Unload();
  doomed.push_back(std::move(taken));
}

template <class Pick>
CRect COffScreenView::RemoveWhere(Pick&& pick, BOOL keepOnly, bool clearSelection) {
  CRect all;
  Doomed doomed;
  {
    std::lock_guard lock(m_listLock);
    if (clearSelection && !keepOnly) Select(nullptr, FALSE);
    for (CDrawObj* obj : m_list.Snapshot()) {
      if (!m_list.Contains(obj) || !pick(obj)) continue;
      all.UnionRect(all, Normalized(*obj->GetRect()));
      if (!keepOnly) TakeOut(obj, doomed);
    }
  }
  const bool removed = !doomed.empty();
  doomed.clear();  // each object waits for its thread here, outside the lock
  if (removed) DestroyCourse();
  return all;
}

void COffScreenView::RemoveObject(CIconObject* owner, BOOL deselect) {
  CRect rect;
  Doomed doomed;
  {
    std::lock_guard lock(m_listLock);
    CDrawObj* obj = m_list.FindByOwner(owner);
    if (!obj) return;  // already gone: nothing is freed twice
    if (m_bRunning && owner && m_pPageSettings->IsLayerKept(owner->GetLayer())) return;
    if (deselect) Deselect(obj);
    rect = Normalized(*obj->GetRect());
    TakeOut(obj, doomed);
  }
  doomed.clear();
  rect.InflateRect(1, 1);
  InvalidateRect(&rect);
  OnPageEmptyHook();
  DestroyCourse();
}

CRect COffScreenView::RemoveObjectByName(const CString& name, BOOL keepOnly) {
  return RemoveWhere([&](CDrawObj* o) { return o->GetOwner() && o->GetOwner()->GetName() == name; }, keepOnly, true);
}

CRect COffScreenView::RemoveObjectsOfLayer(BYTE layer, BOOL keepOnly) {
  if (m_pPageSettings->IsLayerKept(layer)) return CRect();
  return RemoveWhere([&](CDrawObj* o) { return o->GetOwner() && o->GetOwner()->GetLayer() == layer; }, keepOnly,
                     true);
}

void COffScreenView::RemoveObjectsInRect(const CRect& rect, CIconObject* except) {
  RemoveWhere(
      [&](CDrawObj* o) {
        return o->GetOwner() != except && !m_pPageSettings->IsLayerKept(o->GetLayer()) && o->Intersects(rect);
      },
      FALSE, true);
}

void COffScreenView::FreeAllObjects(CDocument* course, BOOL allLayers) {
  Doomed doomed;
  {
    std::lock_guard lock(m_listLock);
    Select(nullptr, FALSE);
    for (CDrawObj* obj : m_list.Snapshot()) {
      if (!m_list.Contains(obj)) continue;
      if (course && obj->GetCourse() != course) continue;
      if (!allLayers && m_pPageSettings->IsLayerKept(obj->GetLayer())) continue;
      TakeOut(obj, doomed);
    }
  }
  doomed.clear();
  if (!course && allLayers) DestroyCourse();
}

void COffScreenView::RemoveTaskObjects() {
  Doomed doomed;
  {
    std::lock_guard lock(m_listLock);
    Select(nullptr, FALSE);
    for (CDrawObj* obj : m_list.Snapshot()) {
      if (!m_list.Contains(obj)) continue;
      if (obj->GetFlags() & DrawFlag::kTaskOnly) {
        TakeOut(obj, doomed);
      } else {
        obj->ClearLink();
      }
    }
  }
  doomed.clear();
}

// --- selection ---

void COffScreenView::ForgetSelected(const CDrawObj* obj) {
  m_selection.erase(std::remove(m_selection.begin(), m_selection.end(), obj), m_selection.end());
}

void COffScreenView::Select(CDrawObj* obj, BOOL add) {
  if (!add) {
    for (CDrawObj* o : m_selection) InvalidateItem(o);
    m_selection.clear();
  }
  if (obj && !IsSelected(obj)) {
    m_selection.push_back(obj);
    InvalidateItem(obj);
  }
}

void COffScreenView::SelectWithinRect(const CRect& rect, BOOL add) {
  if (!add) Select(nullptr, FALSE);
  for (CDrawObj* obj : GetObjects())
    if (obj->Intersects(rect)) Select(obj, TRUE);
}

void COffScreenView::Deselect(CDrawObj* obj) {
  if (!IsSelected(obj)) return;
  ForgetSelected(obj);
  InvalidateItem(obj);
}

BOOL COffScreenView::IsSelected(const CDrawObj* obj) const {
  return std::find(m_selection.begin(), m_selection.end(), obj) != m_selection.end();
}
