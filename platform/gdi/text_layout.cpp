#include "platform/gdi/text_layout.h"

#include <algorithm>

#include "platform/gdi/gdi_defs.h"

namespace gdi {

namespace {

bool IsSpace(char c) { return c == ' '; }

// Removes '&' prefixes: "&&" shows one '&', "&x" shows x underlined (the last
// such wins), a lone '&' at the end disappears.
std::string ResolvePrefixes(std::string_view text, int& underline) {
  std::string out;
  out.reserve(text.size());
  underline = -1;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      out += text[i];
      continue;
    }
    if (i + 1 >= text.size()) break;
    ++i;
    if (text[i] != '&') underline = static_cast<int>(out.size());
    out += text[i];
  }
  return out;
}

struct Span {
  std::size_t start;
  std::size_t length;
};

// Splits into paragraphs at CR LF, LF or CR.
std::vector<Span> SplitParagraphs(std::string_view text) {
  std::vector<Span> out;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    out.push_back({start, i - start});
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  out.push_back({start, text.size() - start});
  return out;
}

}  // namespace

int MeasureWithTabs(std::string_view text, bool expandTabs, int tabWidth, const MeasureText& measure) {
  if (!expandTabs || tabWidth <= 0 || text.find('\t') == std::string_view::npos) return measure(text);
  int x = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != '\t') continue;
    x += measure(text.substr(start, i - start));
    if (i < text.size()) x = (x / tabWidth + 1) * tabWidth;
    start = i + 1;
  }
  return x;
}

std::vector<TextLine> LayoutText(std::string_view source, UINT format, int boxWidth, int tabWidth,
                                 const MeasureText& measure) {
  int underline = -1;
  const std::string text = (format & DT_NOPREFIX) ? std::string(source) : ResolvePrefixes(source, underline);
  const bool expandTabs = (format & DT_EXPANDTABS) != 0;
  auto width = [&](std::string_view s) { return MeasureWithTabs(s, expandTabs, tabWidth, measure); };

  std::vector<TextLine> lines;
  auto emit = [&](std::size_t start, std::size_t length) {
    TextLine line;
    line.text = text.substr(start, length);
    line.width = width(line.text);
    if (underline >= 0 && static_cast<std::size_t>(underline) >= start &&
        static_cast<std::size_t>(underline) < start + length)
      line.underline = underline - static_cast<int>(start);
    lines.push_back(std::move(line));
  };

  if (format & DT_SINGLELINE) {
    emit(0, text.size());
    return lines;
  }
  for (const Span& para : SplitParagraphs(text)) {
    if (!(format & DT_WORDBREAK)) {
      emit(para.start, para.length);
      continue;
    }
    const std::string_view p = std::string_view(text).substr(para.start, para.length);
    std::size_t pos = 0;
    do {
      // Take words while the line still fits; the first word always goes on.
      std::size_t end = pos;
      int lineWidth = 0;
      while (end < p.size()) {
        std::size_t k = end;
        while (k < p.size() && IsSpace(p[k])) ++k;
        while (k < p.size() && !IsSpace(p[k])) ++k;
        const std::string_view run = p.substr(end, k - end);
        // Widths add up run by run except across tab stops.
        const int candidate = run.find('\t') == std::string_view::npos ? lineWidth + measure(run)
                                                                          : width(p.substr(pos, k - pos));
        if (end != pos && candidate > boxWidth) break;
        lineWidth = candidate;
        end = k;
      }
      std::size_t trimmed = end;
      while (trimmed > pos && IsSpace(p[trimmed - 1])) --trimmed;
      emit(para.start + pos, trimmed - pos);
      pos = end;
      while (pos < p.size() && IsSpace(p[pos])) ++pos;  // the spaces a line broke at are not shown
    } while (pos < p.size());
  }
  return lines;
}

}  // namespace gdi
