// CDragDropResponse: makes a page object draggable and judges where it is
// dropped: on a target area, along a slider path, or kept inside an area.
#pragma once

#include "behaviour/display_response.h"
#include "model/var_or_value.h"
#include "page/drag_partner.h"
#include "page/polyline.h"

// On disk (schema 2): mode (byte), drag flags, object name, the four values
// (offset x or minimum, offset y or maximum, range low, range high), the
// path, then the display response.
class CDragDropResponse : public CDisplayResponse, public IDragPartner {
  DECLARE_SERIAL(CDragDropResponse)

 public:
  // Flattened slider paths take this many steps per curve.
  static constexpr int kCurveSteps = 20;

  CDragDropResponse() : CDisplayResponse(ResponseKind::kDragDrop) {}
  CDragDropResponse(const CDragDropResponse& other);
  ~CDragDropResponse() override;

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 0x44; }
  void Draw(CDC*, int, const CRect*) override {}  // nothing of its own on the page
  CPolyline* GetPathObject() override { return &m_path; }
  BOOL GetRegion(int code, int x, int y, const CRect* rect) override;
  void Unload() override { m_flatPath.RemoveAll(); }
  CIconManager* GetSubManager() override { return OwnActionList(); }
  BOOL Activate() override;
  BOOL OnMouseButton(UINT message, UINT keyFlags, CPoint point, int source, const CRect* rect) override;

  // IDragPartner
  int GetDragMode() override { return m_mode; }
  CPoint GetHotSpot() override;
  void ConstrainToPath(CPoint point, CRect& rect) override;
  void ConstrainToArea(CPoint point, CRect& rect) override;
  BOOL AcceptDrop(UINT keyFlags, CPoint point) override;

  // The slider's value where the object lies now (minimum to maximum).
  LONG SliderValue();

  BYTE m_mode = kFree;
  DWORD m_dwDragFlags = 0;  // stored and copied, never read
  CString m_strObjectName;
  CPolyline m_path;
  CVarOrValue m_offsetOrMinimum;
  CVarOrValue m_offsetOrMaximum;
  CVarOrValue m_rangeLow;
  CVarOrValue m_rangeHigh;

  int m_segment = -1;
  int m_segmentOffset = 0;
  int m_pathLength = 0;
  CPolyline m_flatPath;

 private:
  LONG Value(const CVarOrValue& value);
};
