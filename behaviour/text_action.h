// CTextAction: puts a piece of text on the page, variables expanded, aligned, shadowed, filled or rotated.
#pragma once

#include "behaviour/display_action.h"
#include "model/font_object.h"
#include "model/var_or_value.h"

// Text flag bits.
namespace TextFlag {
constexpr DWORD kLeft = 0x1;
constexpr DWORD kCentre = 0x2;
constexpr DWORD kRight = 0x4;  // wins over kCentre
constexpr DWORD kShadow = 0x8;
constexpr DWORD kFilled = 0x10;  // the rectangle is painted and counts whole as the object
constexpr DWORD kAlignmentBits = 0x7;
}  // namespace TextFlag

// Display flag bit the text action reads: repaint at once even with a transition.
constexpr DWORD kTextRepaintAtOnce = 0x4000;

class COffScreenView;
// Puts a text object on the page: its transition draws it, unless it has none
// or its display flags ask for the repaint at once.
void AddTextToPage(COffScreenView& view, CIconObject* text, bool hasEffect, DWORD displayFlags);

// Degrees to radians as the text has always turned them: a factor a little
// short of pi / 180. Authored pages were laid out with it.
constexpr double kTextRadiansPerDegree = 0.017453292519444445;

// Where rotated text is drawn from, and how it is aligned there.
struct RotatedTextAnchor {
  CPoint point;
  UINT align = 0;
};

// The anchor of text turned by angle degrees (above 0) in rect, moved right by
// the offset |sin(angle) * height|.
RotatedTextAnchor RotatedAnchor(const CRect& rect, int angle, int characterHeight);

// The shadow's rectangle and the text's, split from one rectangle by the offsets.
void SplitShadow(CRect& text, CRect& shadow, int dx, int dy);

// On disk: text flags, three colours, text, shadow offsets and colour, the
// rotation (inline), the font (inline), the display part, the common part.
class CTextAction : public CDisplayAction {
  DECLARE_SERIAL(CTextAction)

 public:
  static constexpr BYTE kDefaultLayer = 4;

  CTextAction();
  CTextAction(const CTextAction& other);

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 330; }
  BOOL Execute() override;
  void Draw(CDC* dc, int code, const CRect* rect) override;
  BOOL GetRegion(int code, int x, int y, const CRect* rect) override;
  CRect* GetRect(CRect* inout) override;
  void Unload() override;
  int GetStateValue() override { return static_cast<int>(m_dwTextFlags); }
  int GetTextStyle() override { return static_cast<int>(m_backColour); }
  BOOL IsOpaque() override { return (m_dwTextFlags & TextFlag::kFilled) == 0; }
  BOOL SetFont(const LOGFONT& font, int size, COLORREF colour) override;
  CFontObject* GetFontObject() override { return &m_font; }
  const LOGFONT* GetFont(int* size, COLORREF* colour) override {
    return GetFontAndColour(m_font, m_textColour, size, colour);
  }
  void SetAlignment(int alignment) override;
  int GetAlignment() override;

  const CString& GetText() const { return m_strText; }
  void SetText(const CString& text) { m_strText = text; }
  const CString& GetShownText() const { return m_strShown; }
  DWORD GetTextFlags() const { return m_dwTextFlags; }
  void SetTextFlags(DWORD flags) { m_dwTextFlags = flags; }
  void SetColours(COLORREF text, COLORREF back, COLORREF shadow);
  void SetShadowOffset(signed char dx, signed char dy) {
    m_shadowX = dx;
    m_shadowY = dy;
  }
  CVarOrValue& Rotation() { return m_rotation; }

 private:
  int RotationDegrees();
  // DrawText's format for the alignment bits.
  UINT AlignmentFormat() const;

  CString m_strText;
  COLORREF m_textColour;
  COLORREF m_backColour;
  COLORREF m_shadowColour = 0;
  signed char m_shadowX = 3;
  signed char m_shadowY = 3;
  DWORD m_dwTextFlags = TextFlag::kLeft;
  CFontObject m_font;
  CVarOrValue m_rotation;
  CString m_strShown;  // made when the action runs; never stored
};
