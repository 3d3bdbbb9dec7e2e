// CAction: the common base of every action kind.
#pragma once

#include "behaviour/action_kinds.h"
#include "model/icon_object.h"

// Adds no field to the course object: it fixes the icon id every action
// shares. The kind is never stored; each action class's constructor sets it.
// On disk an action kind's own fields come first, then the common part.
class CAction : public CIconObject {
  DECLARE_SERIAL(CAction)

 public:
  // A course file that names "CAction" itself gets kind 6.
  CAction() : CAction(ActionKind::kAction) {}
  explicit CAction(int kind) : CIconObject(kind, ActionKind::kAction) {}
  CAction(const CAction& other) : CIconObject(other) {}

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 0; }
};
