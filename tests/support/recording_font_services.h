// A stand-in for the drawing layer's font services that records what font descriptions ask of it.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "model/font_services.h"

namespace tvn::testing {

// Answers with settable resolutions, makes fonts that count themselves
// alive, and remembers every font made and every selection.
class RecordingFontServices : public IFontServices {
 public:
  class Font : public IGdiFont {
   public:
    Font(const LOGFONT& font, int& live) : logFont(font), m_live(live) { ++m_live; }
    ~Font() override { --m_live; }
    LOGFONT logFont;

   private:
    int& m_live;
  };

  int viewPixelsPerInch = 96;      // the plain context
  int preparedPixelsPerInch = 96;  // the context prepared for drawing
  int screenResolution = 96;
  int deviceScale = 1;             // logical to device: multiplies both coordinates
  bool failCreate = false;

  std::vector<LOGFONT> created;
  std::vector<std::pair<CDC*, IGdiFont*>> selections;
  IGdiFont* selected = nullptr;
  int liveFonts = 0;

  int GetViewPixelsPerInch(bool prepared) override { return prepared ? preparedPixelsPerInch : viewPixelsPerInch; }
  CPoint ViewLogicalToDevice(CPoint p) override { return CPoint(p.x * deviceScale, p.y * deviceScale); }
  int GetScreenResolution() override { return screenResolution; }
  std::unique_ptr<IGdiFont> CreateFontIndirect(const LOGFONT& font) override {
    created.push_back(font);
    if (failCreate) return nullptr;
    return std::make_unique<Font>(font, liveFonts);
  }
  IGdiFont* SelectFont(CDC* dc, IGdiFont* font) override {
    selections.emplace_back(dc, font);
    return std::exchange(selected, font);
  }
};

}  // namespace tvn::testing
