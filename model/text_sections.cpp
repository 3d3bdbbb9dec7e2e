// Finding a marked section in a text.
#include "model/text_sections.h"

namespace {

bool AtLineStart(std::string_view text, std::size_t at) {
  return at == 0 || text[at - 1] == '\r' || text[at - 1] == '\n';
}

// The next marker at or after from that begins a line, or npos.
std::size_t NextLineMarker(std::string_view text, std::string_view marker, std::size_t from) {
  while (from <= text.size()) {
    std::size_t at = text.find(marker, from);
    if (at == std::string_view::npos || AtLineStart(text, at)) return at;
    from = at + 1;
  }
  return std::string_view::npos;
}

// The text without the one line break it ends in ("\r\n", "\n" or "\r").
std::string_view WithoutFinalLineBreak(std::string_view text) {
  if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  return text;
}

}  // namespace

std::optional<std::string_view> FindSection(std::string_view text, std::string_view marker, std::string_view name) {
  if (marker.empty() || name.empty()) return std::nullopt;
  for (std::size_t at = NextLineMarker(text, marker, 0); at != std::string_view::npos;
       at = NextLineMarker(text, marker, at + 1)) {
    std::size_t pos = at + marker.size();
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
    if (text.substr(pos, name.size()) != name) continue;
    std::size_t lineEnd = text.find('\n', pos + name.size());
    if (lineEnd == std::string_view::npos) return text.substr(text.size());  // the header is the last line
    const std::size_t start = lineEnd + 1;
    const std::size_t next = NextLineMarker(text, marker, start);
    if (next == std::string_view::npos) return WithoutFinalLineBreak(text.substr(start));
    // The line break before the next header, which starts at or after the text's first byte.
    return WithoutFinalLineBreak(text.substr(start, next - start));
  }
  return std::nullopt;
}
