// CDrawObjList: the page's draw objects, highest layer number first.
#pragma once

#include <memory>
#include <vector>

#include "page/draw_obj.h"

class CArchive;
class CIconObject;

// Owns its objects. Objects of one layer keep the order they were added in,
// so painting from the head puts lower layer numbers and later additions in
// front, and hit testing walks from the tail.
class CDrawObjList {
 public:
  CDrawObjList() = default;
  CDrawObjList(const CDrawObjList&) = delete;
  CDrawObjList& operator=(const CDrawObjList&) = delete;
  ~CDrawObjList();

  // Inserts before the first object of a strictly lower layer; returns the object.
  CDrawObj* AddInLayerOrder(std::unique_ptr<CDrawObj> obj);
  // Takes the object out and gives it back; null when it is not listed.
  std::unique_ptr<CDrawObj> Remove(CDrawObj* obj);
  // Moves the object to its place after its layer changed.
  void Reorder(CDrawObj* obj);
  // From the tail: the first object whose own hit test accepts the point.
  CDrawObj* HitTest(int x, int y, int arg) const;
  CDrawObj* FindByOwner(const CIconObject* owner) const;
  bool Contains(const CDrawObj* obj) const;
  // Takes every object out, for the caller to free outside any lock.
  std::vector<std::unique_ptr<CDrawObj>> TakeAll();
  void DeleteAll();
  // Stores the count and every object. Loading reads as many objects and
  // keeps none: the archive frees them, and the list stays as it was.
  void Serialize(CArchive& ar);

  int GetCount() const { return static_cast<int>(m_objects.size()); }
  bool IsEmpty() const { return m_objects.empty(); }
  CDrawObj* GetAt(int i) const { return m_objects[static_cast<std::size_t>(i)].get(); }
  // Head to tail.
  std::vector<CDrawObj*> Snapshot() const;

 private:
  std::vector<std::unique_ptr<CDrawObj>> m_objects;
};
