// Breaking DrawText's text into lines: line ends, word wrap, tabs and '&' prefixes.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/win_types.h"

namespace gdi {

struct TextLine {
  std::string text;    // 8-bit text of the line, prefixes resolved
  int width = 0;       // in pixels, tabs expanded
  int underline = -1;  // byte in text marked by a '&' prefix, or -1
};

// Width in pixels of a run of text holding no tab.
using MeasureText = std::function<int(std::string_view)>;

// Lays text out for a box of the given width by the DT_ flags that shape
// lines: DT_SINGLELINE, DT_WORDBREAK, DT_EXPANDTABS, DT_NOPREFIX. tabWidth is
// the distance between tab stops in pixels. A word wider than the box stays
// whole on a line of its own.
std::vector<TextLine> LayoutText(std::string_view text, UINT format, int boxWidth, int tabWidth,
                                 const MeasureText& measure);

// The width of a run that may hold tabs, starting at a tab stop.
int MeasureWithTabs(std::string_view text, bool expandTabs, int tabWidth, const MeasureText& measure);

}  // namespace gdi
