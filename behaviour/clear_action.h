// CClearAction: takes objects off the page, all of them or by area, layer and name, with a transition.
#pragma once

#include "behaviour/area_selection.h"
#include "behaviour/display_action.h"

// On disk: the area selection, the display part, the common part.
class CClearAction : public CDisplayAction {
  DECLARE_SERIAL(CClearAction)

 public:
  static constexpr BYTE kDefaultLayer = 2;

  CClearAction() : CDisplayAction(ActionKind::kClear, kDefaultLayer) {}
  CClearAction(const CClearAction& other) = default;

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 68; }
  BOOL Execute() override;

  CAreaSelection& Area() { return m_area; }

 private:
  CAreaSelection m_area;
};
