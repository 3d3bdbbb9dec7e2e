// CDisplayAction, CDisplayEvent and CDisplayResponse: the three families with the display part.
#pragma once

#include "behaviour/action.h"
#include "behaviour/display_part.h"

// On disk a display action is: the kind's own fields, the display part, the common part.
class CDisplayAction : public TDisplayObject<CAction> {
  DECLARE_SERIAL(CDisplayAction)

 public:
  static constexpr BYTE kDefaultLayer = 6;
  CDisplayAction() : CDisplayAction(ActionKind::kAction, kDefaultLayer) {}
  CDisplayAction(int kind, BYTE layer = kDefaultLayer) : TDisplayObject<CAction>(kind, layer) {}
  CDisplayAction(const CDisplayAction& other) = default;

  void Serialize(CArchive& ar) override { SerializeDisplay(ar, RUNTIME_CLASS(CDisplayAction)); }
};
