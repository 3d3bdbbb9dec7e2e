// CFontObject: a logical font and a point size from which the drawing layer makes a real font.
#pragma once

#include <memory>

#include "model/font_services.h"
#include "platform/gdi/gdi_types.h"
#include "platform/base/object.h"

class CArchive;
class CDC;

// Course files store the point size and the 60 bytes of the logical font,
// never a colour. The colour member is for callers that hand one along with
// the font; it is copied with the font and never stored.
class CFontObject : public CObject {
  DECLARE_SERIAL(CFontObject)

 public:
  static constexpr int kDefaultPointSize = 20;

  CFontObject();
  // Copies the description; the real font is made again on demand.
  CFontObject(const CFontObject& other);
  CFontObject& operator=(const CFontObject& other);
  ~CFontObject() override;

  // Drops the real font, then takes the other's logical font, point size and colour.
  void CopyFrom(const CFontObject& other);
  void SetLogFont(const CFontObject& other) { CopyFrom(other); }
  // Drops the real font and takes the logical font; the face is cut to 31 characters.
  void SetLogFont(const LOGFONT& font);

  const LOGFONT& GetLogFont() const { return m_logFont; }
  int GetPointSize() const { return m_nPointSize; }
  void SetSize(int pointSize) { m_nPointSize = pointSize; }
  COLORREF GetColour() const { return m_colour; }
  void SetColour(COLORREF colour) { m_colour = colour; }
  // The real font, null until CreateFont made one.
  IGdiFont* GetGdiFont() const { return m_font.get(); }

  // Sets the logical font's height from the point size for the presentation
  // view: mode 1 measures on the context as prepared for drawing and converts
  // to device units; every other mode uses the plain context.
  void SetPointSize(int mode);
  // Makes the real font anew; a non-zero angle (degrees) turns it for the
  // creation only. TRUE when the drawing layer made one.
  BOOL CreateFont(int mode, int angle);
  void DeleteFont();
  // Selects the real font into dc and gives the one it replaced; with no
  // real font nothing happens and the result is null.
  IGdiFont* Select(CDC* dc);

  void Serialize(CArchive& ar) override;

 private:
  LOGFONT m_logFont;
  int m_nPointSize = kDefaultPointSize;
  COLORREF m_colour = 0;  // never stored
  std::unique_ptr<IGdiFont> m_font;
};

// GetFont and SetFont of an object that keeps its text colour beside its font
// object. Getting gives the logical font, with the point size and the colour
// where asked; setting takes the logical font, the point size and the colour
// and drops the real font.
const LOGFONT* GetFontAndColour(const CFontObject& font, COLORREF textColour, int* size, COLORREF* colour);
void SetFontAndColour(CFontObject& font, COLORREF& textColour, const LOGFONT& logFont, int size, COLORREF colour);
