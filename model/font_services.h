// The drawing services a font description needs: the view's device context and real fonts.
#pragma once

#include <memory>

#include "platform/gdi/gdi_types.h"
#include "platform/base/geometry.h"

class CDC;

// A font made from a logical font; the drawing layer's own type stands behind it.
class IGdiFont {
 public:
  virtual ~IGdiFont() = default;
};

// What the application gives font descriptions. The drawing layer installs
// the real services at start-up; until then a stand-in answers for a 96 dpi
// screen and makes no fonts.
class IFontServices {
 public:
  virtual ~IFontServices() = default;
  // Vertical pixels per logical inch of a device context of the presentation
  // view; preparedForDrawing asks for the context after the view set its
  // mapping mode.
  virtual int GetViewPixelsPerInch(bool preparedForDrawing) = 0;
  // Logical to device units on the view's context prepared for drawing.
  virtual CPoint ViewLogicalToDevice(CPoint point) = 0;
  // The screen resolution the application recorded at start-up, in pixels
  // per logical inch; 0 or less when it has none.
  virtual int GetScreenResolution() = 0;
  // The font the logical font describes, or null when none can be made.
  virtual std::unique_ptr<IGdiFont> CreateFontIndirect(const LOGFONT& font) = 0;
  // Selects font into dc and gives the font it replaced (not owned), or null.
  virtual IGdiFont* SelectFont(CDC* dc, IGdiFont* font) = 0;
};

// The services installed for the run, or the stand-in.
IFontServices& GetFontServices();

// Installs services for as long as the scope lives and puts back the ones
// it replaced; the application holds one for the whole run, tests their fakes.
class CFontServicesScope {
 public:
  explicit CFontServicesScope(IFontServices& services);
  ~CFontServicesScope();
  CFontServicesScope(const CFontServicesScope&) = delete;
  CFontServicesScope& operator=(const CFontServicesScope&) = delete;

 private:
  IFontServices* m_previous;
};
