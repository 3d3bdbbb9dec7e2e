// CRegionResponse: an invisible hot area, a rectangle or a polygon, that fires on a click inside it or on a key.
#pragma once

#include "behaviour/display_response.h"
#include "behaviour/keyboard.h"
#include "page/polyline.h"
#include "platform/user/cursor.h"

class IAnimationWaiter;

// Region flag bits.
namespace RegionFlag {
constexpr DWORD kOutline = 0x1;     // outline shown while playing
constexpr DWORD kOwnCursor = 0x2;
constexpr DWORD kInvertHover = 0x4;
constexpr DWORD kFlashOnce = 0x8;
constexpr DWORD kFlashThrice = 0x10;
constexpr DWORD kDefault = 0x20;
constexpr DWORD kPolygon = 0x40;
}  // namespace RegionFlag

// Run-time state bits.
namespace RegionState {
constexpr BYTE kOver = 0x1;
constexpr BYTE kInverted = 0x4;
}  // namespace RegionState

// On disk (schema 2): mouse flags, cursor file, region flags, outline, key,
// then the display response.
class CRegionResponse : public CDisplayResponse {
  DECLARE_SERIAL(CRegionResponse)

 public:
  CRegionResponse() : CDisplayResponse(ResponseKind::kRegion) {}
  CRegionResponse(const CRegionResponse& other);

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 68; }
  // Drawing codes beside painting the page.
  static constexpr int kDrawInvert = 4;
  static constexpr int kDrawFlashOnce = 8;
  static constexpr int kDrawFlashThrice = 16;
  static constexpr int kDrawRestore = 128;

  // Painting the page (any other code): the outline (flag 0x1) and, while
  // the area is shown inverted, the inversion. Codes 4 and 128 show and
  // take off the inversion; 8 and 16 flash. The inverted state is kept here
  // and applied whenever the page is composed.
  void Draw(CDC* dc, int code, const CRect* rect) override;
  CPolyline* GetPathObject() override { return &m_outline; }
  BOOL GetRegion(int code, int x, int y, const CRect* rect) override;
  BOOL ContainsPoint(int x, int y) override;
  void Unload() override { m_state = 0; }
  void SetRect(const CRect& rect) override;
  CIconManager* GetSubManager() override { return OwnActionList(); }
  BOOL Activate() override;
  int ExecuteResponse(int* target) override;
  BOOL OnMouseMove(UINT keyFlags, CPoint point, int source, const CRect* rect) override;
  BOOL OnMouseButton(UINT message, UINT keyFlags, CPoint point, int source, const CRect* rect) override;
  BOOL OnKey(int key, int state) override;
  BOOL CollectFiles(CStringArray* files, int flags) override;

  // Shows the area inverted flashes times, for ms each, each followed by the
  // same gap unless trailingGap is false for the last. Starts from the area
  // not inverted; waits on the page's waiter and takes no input meanwhile.
  void Flash(int flashes, DWORD ms, bool trailingGap);
  BOOL IsPolygon() const { return (m_dwRegionFlags & RegionFlag::kPolygon) != 0; }
  // A polygon needs three points; with fewer no point is ever inside.
  BOOL HasPolygon() const { return IsPolygon() && m_outline.GetPointCount() > 2; }

  DWORD m_dwRegionFlags = RegionFlag::kDefault;
  DWORD m_dwMouseFlags = 0x11;
  CPolyline m_outline;
  CString m_strCursorFile;
  CKeyboard m_key;
  BYTE m_state = 0;
  HCURSOR m_cursor = nullptr;  // from the application's list; not owned

 private:
  BOOL InsidePolygon(int x, int y, int fillMode) const;
  void SetInverted(bool inverted);
};
