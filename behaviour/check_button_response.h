// CCheckButtonResponse: a check box or radio button the page draws itself;
// clicks and its access key change its state, which is judged when the task is scored.
#pragma once

#include "behaviour/display_response.h"
#include "behaviour/push_button_response.h"
#include "model/font_object.h"

// Style bits.
namespace CheckStyle {
constexpr DWORD kBoxRight = 0x01;
constexpr DWORD kCheckedAtStart = 0x08;
constexpr DWORD kFilled = 0x10;
constexpr DWORD kGroupStart = 0x20;
constexpr DWORD kSquare = 0x40;
constexpr DWORD kRound = 0x80;
constexpr DWORD kDefault = 0x44;
}  // namespace CheckStyle

// Run-time state bits.
namespace CheckState {
constexpr WORD kOutside = 0x04;  // the pointer left while the button is held
constexpr WORD kPressed = 0x08;
constexpr WORD kChecked = 0x10;
}  // namespace CheckState

// Where the box and the label go in the rectangle, for a text height.
struct CheckButtonLayout {
  CRect box;
  CRect label;
};
CheckButtonLayout LayOutCheckButton(const CRect& rect, int textHeight, DWORD style);

// On disk (schema 2): font, label, condition, access key (byte), style, text
// and back colours, then the display response.
class CCheckButtonResponse : public CDisplayResponse {
  DECLARE_SERIAL(CCheckButtonResponse)

 public:
  CCheckButtonResponse() : CDisplayResponse(ResponseKind::kCheckButton) {}
  CCheckButtonResponse(const CCheckButtonResponse& other);
  ~CCheckButtonResponse() override;

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 0x145; }
  int GetStateValue() override { return 0; }
  void Draw(CDC* dc, int code, const CRect* rect) override;
  void Unload() override;
  // Known elsewhere as IsTransparent: TRUE unless the rectangle is filled.
  BOOL IsOpaque() override { return (m_dwStyle & CheckStyle::kFilled) == 0; }
  BOOL SetFont(const LOGFONT& font, int size, COLORREF colour) override;
  CFontObject* GetFontObject() override { return &m_font; }
  const LOGFONT* GetFont(int* size, COLORREF* colour) override {
    return GetFontAndColour(m_font, m_textColour, size, colour);
  }
  BOOL Activate() override;
  void UpdateFromControl() override { RunCheckedScript(); }
  // 1 when checked with mark 1 or unchecked with mark 2 (right); 2 otherwise.
  BYTE IsRightAnswer() override;
  BOOL OnMouseButton(UINT message, UINT keyFlags, CPoint point, int source, const CRect* rect) override;
  BOOL OnKey(int key, int state) override;

  // The back colour; TRUE when it changed.
  BOOL SetBackColour(COLORREF colour);
  COLORREF GetBackColour() const { return m_backColour; }
  BOOL IsChecked() const { return (m_wState & CheckState::kChecked) != 0; }
  // Flips the checked state and shows it.
  void Toggle();
  // Follows the held button; a release on it checks a round button (and
  // clears the rest of its group) and toggles any other. TRUE when released on it.
  BOOL TrackPress(IPressTrackingHost& host);
  // Clears the other round buttons of this one's group on the page.
  void UncheckGroup();
  // A checked button runs its expression as a script.
  int RunCheckedScript();

  CFontObject m_font;
  CString m_strLabel;
  BYTE m_accessKey = 0;
  DWORD m_dwStyle = CheckStyle::kDefault;
  COLORREF m_textColour = 0;
  COLORREF m_backColour = 0xFFFFFF;
  CString m_strCondition;
  WORD m_wState = 0;
  CString m_strShownLabel;

 private:
  CRect Area(const CRect* rect);
  void ShowNow();
};
