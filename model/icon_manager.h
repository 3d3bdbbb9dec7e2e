// CIconManager: a course object that owns an ordered list of child objects.
#pragma once

#include <memory>
#include <vector>

#include "model/icon_object.h"

class IPageAccess;

// Owns its children and deletes them with itself. Input is offered to the
// children in order, recursing into children that own a manager of their own;
// disabled children are never offered input and never name files.
class CIconManager : public CIconObject {
  DECLARE_SERIAL(CIconManager)

 public:
  CIconManager() = default;
  CIconManager(int kind, int iconId) : CIconObject(kind, iconId) {}
  ~CIconManager() override;

  void Serialize(CArchive& ar) override;
  CIconManager* AsManager() override { return this; }
  BOOL CollectFiles(CStringArray* files, int flags) override;

  int GetCount() const { return static_cast<int>(m_children.size()); }
  CIconObject* GetChild(int index) const;
  const std::vector<std::unique_ptr<CIconObject>>& Children() const { return m_children; }
  // Appends a child and makes the manager its parent.
  void AddChild(std::unique_ptr<CIconObject> child);
  // Gives up the child at index; null when there is none.
  std::unique_ptr<CIconObject> RemoveChild(int index);

  void DeleteAll();
  // TRUE for the manager itself, one of its children or anything inside a child's sub-manager.
  BOOL Contains(const CIconObject* obj) const;
  // Takes each child off the page, or stops and unloads it when it is not on it.
  void RemoveChildrenFromPage(IPageAccess* page);
  void SetParentOfChildren();

  // The first child (or child of a sub-manager) that accepts the input, or null.
  CIconObject* FindMouseMoveTarget(UINT keyFlags, CPoint point, int source);
  CIconObject* FindMouseButtonTarget(UINT message, UINT keyFlags, CPoint point, int source);
  CIconObject* FindKeyTarget(int key, int state);
  CIconObject* FindCommandTarget(int id, LPARAM lParam);
  CIconObject* FindTimerTarget(int id);
  CIconObject* FindMediaNotifyTarget(WPARAM wParam, LPARAM lParam);
  CIconObject* FindControlNotifyTarget(LONG controlId, void* eventRecord);

 private:
  template <class Offer>
  CIconObject* FindTarget(const Offer& offer);

  std::vector<std::unique_ptr<CIconObject>> m_children;
};
