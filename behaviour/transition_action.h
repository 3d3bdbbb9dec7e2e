// CTransitionAction: plays its transition over an area of the page, removing nothing.
#pragma once

#include "behaviour/area_selection.h"
#include "behaviour/display_action.h"

// On disk: the area selection, the display part, the common part.
class CTransitionAction : public CDisplayAction {
  DECLARE_SERIAL(CTransitionAction)

 public:
  static constexpr BYTE kDefaultLayer = 2;

  CTransitionAction() : CDisplayAction(ActionKind::kTransition, kDefaultLayer) {}
  CTransitionAction(const CTransitionAction& other) = default;

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 68; }
  BOOL Execute() override;

  CAreaSelection& Area() { return m_area; }

 private:
  CAreaSelection m_area;
};
