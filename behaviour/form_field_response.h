// CFormFieldResponse: what the edit-field, list and rich-text editor responses
// share: a control window over the page, drawn in a font and two colours.
#pragma once

#include "behaviour/display_response.h"
#include "model/font_object.h"
#include "platform/gdi/font.h"

class CArchive;

// Each kind stores its font and colours among its own fields, at its own
// places, and reads them there with ReadColours and the font object. The
// class has no class record of its own: stored objects name their kind.
class CFormFieldResponse : public CDisplayResponse {
 public:
  CFormFieldResponse(int kind, COLORREF textColour, COLORREF backColour)
      : CDisplayResponse(kind), m_textColour(textColour), m_backColour(backColour) {}
  // A copy has no real font or control font.
  CFormFieldResponse(const CFormFieldResponse& other)
      : CDisplayResponse(other), m_font(other.m_font), m_textColour(other.m_textColour),
        m_backColour(other.m_backColour) {}

  // Moves the control window, if there is one, over the page rectangle.
  void SizeObject(const CRect& rect) override;
  // Takes the font and the text colour, then lets the kind show them (FontChanged).
  BOOL SetFont(const LOGFONT& font, int size, COLORREF colour) override;
  CFontObject* GetFontObject() override { return &m_font; }
  const LOGFONT* GetFont(int* size, COLORREF* colour) override {
    return GetFontAndColour(m_font, m_textColour, size, colour);
  }

  COLORREF GetBackColour() const { return m_backColour; }
  COLORREF GetTextColour() const { return m_textColour; }

  CFontObject m_font;
  COLORREF m_textColour;
  COLORREF m_backColour;

 protected:
  // After SetFont: a kind whose control is open gives it the new font here.
  virtual void FontChanged() {}
  // The text colour, then the back colour, as every kind stores them.
  void ReadColours(CArchive& ar);
  // Takes the other's font and colours.
  void CopyLookFrom(const CFormFieldResponse& other);
  // The page rectangle in the page window's client coordinates; FALSE when the task shows no page.
  BOOL ToClient(const CRect& pageRect, CRect* client);
  // Makes the real font for the page, then m_controlFont from its logical font.
  void MakeControlFont();
  // Drops the real font and the control font.
  void DropFonts();
  // The rectangle a Draw covers: the one given, else the object's own.
  CRect DrawArea(const CRect* rect);

  CFont m_controlFont;  // the font object's face and size as a control window takes it
};
