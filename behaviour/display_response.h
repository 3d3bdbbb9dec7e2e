// CDisplayResponse: a response with the display part.
#pragma once

#include "behaviour/display_part.h"
#include "behaviour/response.h"

// On disk: the kind's own fields, the display part, the response part.
class CDisplayResponse : public TDisplayObject<CResponse> {
  DECLARE_SERIAL(CDisplayResponse)

 public:
  static constexpr int kKind = 7;
  static constexpr BYTE kDefaultLayer = 2;
  CDisplayResponse() : CDisplayResponse(kKind) {}
  explicit CDisplayResponse(int kind) : TDisplayObject<CResponse>(kind, kDefaultLayer) {}
  CDisplayResponse(const CDisplayResponse& other) = default;

  void Serialize(CArchive& ar) override { SerializeDisplay(ar, RUNTIME_CLASS(CDisplayResponse)); }
};
