// The drawing layer's real fonts behind the font descriptions of courses.
#pragma once

#include <memory>
#include <mutex>
#include <unordered_map>

#include "model/font_services.h"

class CFont;

// Makes CFonts from logical fonts and selects them into device contexts. The
// page is laid out at 96 pixels per logical inch in text mapping mode.
// Selecting gives back the font that was replaced when it is one of these
// services' fonts; any other font (a context's own default) is given back as
// the default font, so that putting it back restores the default.
class CPlayerFontServices final : public IFontServices {
 public:
  CPlayerFontServices();
  ~CPlayerFontServices() override;
  CPlayerFontServices(const CPlayerFontServices&) = delete;
  CPlayerFontServices& operator=(const CPlayerFontServices&) = delete;

  int GetViewPixelsPerInch(bool preparedForDrawing) override;
  CPoint ViewLogicalToDevice(CPoint point) override { return point; }
  int GetScreenResolution() override;
  std::unique_ptr<IGdiFont> CreateFontIndirect(const LOGFONT& font) override;
  IGdiFont* SelectFont(CDC* dc, IGdiFont* font) override;

 private:
  class Font;
  void Forget(const CFont* font);

  std::mutex m_lock;  // fonts are made and selected by helper threads too
  std::unordered_map<const CFont*, Font*> m_fonts;
  std::unique_ptr<Font> m_default;
};
