// CMenuAction: replaces the presentation frame's menu bar with one built from its items.
#pragma once

#include "behaviour/action.h"
#include "model/menu_item.h"

// On disk: the item list, then the common part.
class CMenuAction : public CAction {
  DECLARE_SERIAL(CMenuAction)

 public:
  CMenuAction() : CAction(ActionKind::kMenu) {}
  CMenuAction(const CMenuAction& other) : CAction(other) { m_items.Copy(other.m_items); }

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 65; }
  BOOL Execute() override;

  CMenuItemList& Items() { return m_items; }

 private:
  CMenuItemList m_items;
};
