// CMouseResponse: the response that fires on a chosen click of a chosen button anywhere on the page.
#pragma once

#include "behaviour/response.h"

// The mouse flags of the mouse and region responses.
namespace MouseFlag {
constexpr DWORD kLeft = 0x1;
constexpr DWORD kMiddle = 0x2;  // the mouse response only
constexpr DWORD kRight = 0x4;
constexpr DWORD kReleased = 0x8;
constexpr DWORD kPressed = 0x10;
constexpr DWORD kDoubleClick = 0x20;
constexpr DWORD kDefault = kLeft | kPressed;
}  // namespace MouseFlag

// TRUE when the button message is of a click kind the flags ask for. Only
// left and right button messages count; the middle button is judged by its
// key flag alone.
BOOL ClickKindMatches(UINT message, DWORD mouseFlags);

// On disk: the mouse flags (32-bit), then the response base.
class CMouseResponse : public CResponse {
  DECLARE_SERIAL(CMouseResponse)

 public:
  CMouseResponse() : CResponse(ResponseKind::kMouse) {}
  CMouseResponse(const CMouseResponse& other) : CResponse(other), m_dwMouseFlags(other.m_dwMouseFlags) {}

  DWORD GetMouseFlags() const { return m_dwMouseFlags; }
  void SetMouseFlags(DWORD flags) { m_dwMouseFlags = flags; }

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 68; }
  CIconManager* GetSubManager() override { return OwnActionList(); }
  // Accepts the current task's own offer of a click of the chosen kind with
  // the chosen button held (the view adds the released button's key flag to
  // button-up messages).
  BOOL OnMouseButton(UINT message, UINT keyFlags, CPoint point, int source, const CRect* rect) override;

 private:
  DWORD m_dwMouseFlags = MouseFlag::kDefault;
};
