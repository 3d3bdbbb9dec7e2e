// CDisplayEvent: an event trigger with the display part; it answers none of the input tests.
#pragma once

#include "behaviour/display_part.h"
#include "behaviour/event_trigger.h"

// On disk: the display part, the trigger part, the common part.
class CDisplayEvent : public TDisplayObject<CEventTrigger> {
  DECLARE_SERIAL(CDisplayEvent)

 public:
  static constexpr int kKind = 5;
  static constexpr BYTE kDefaultLayer = 3;
  CDisplayEvent() : CDisplayEvent(kKind) {}
  explicit CDisplayEvent(int kind) : TDisplayObject<CEventTrigger>(kind, kDefaultLayer) {}
  CDisplayEvent(const CDisplayEvent& other) = default;

  void Serialize(CArchive& ar) override { SerializeDisplay(ar, RUNTIME_CLASS(CDisplayEvent)); }
};
