// A recording view and a hypertext owner for the rich-text display's tests.
#pragma once

#include <cstring>
#include <vector>

#include "controls/hypertext_notify.h"
#include "controls/rich_text_view.h"
#include "model/icon_object.h"

namespace tvn::testing {

class RecordingRichTextView : public IRichTextView {
 public:
  BOOL IsPlaying() override { return playing; }
  void ShowHandCursor() override { hand = true; }
  void RestoreCursor() override {
    hand = false;
    ++restores;
  }
  void PostHyperTextClick(const HyperTextNotify& click) override { clicks.push_back(click); }
  CWnd* GetViewWindow() override { return nullptr; }

  BOOL playing = TRUE;
  bool hand = false;
  int restores = 0;
  std::vector<HyperTextNotify> clicks;
};

// An object whose hypertext font is Arial 12 points, underlined, in blue;
// or one without a font.
class HyperTextOwner : public CIconObject {
 public:
  explicit HyperTextOwner(bool withFont = true) : m_withFont(withFont) {
    std::strcpy(m_font.lfFaceName, "Arial");
    m_font.lfUnderline = 1;
    m_font.lfWeight = 400;
    m_font.lfPitchAndFamily = 0x22;
  }
  const LOGFONT* GetFont(int* size, COLORREF* colour) override {
    if (!m_withFont) return nullptr;
    if (size) *size = 12;
    if (colour) *colour = RGB(0, 0, 255);
    return &m_font;
  }

 private:
  bool m_withFont;
  LOGFONT m_font;
};

// RTF whose font 0 and colour 1 are the owner's hypertext font and colour.
inline const char* kHyperTextHeader =
    "{\\rtf1{\\fonttbl{\\f0\\fswiss\\fprq2 Arial;}}{\\colortbl ;\\red0\\green0\\blue255;}\\f0\\fs24 ";

}  // namespace tvn::testing
