// White space, replacing and line access in 8-bit texts.
#include "model/text_helpers.h"

#include <optional>

namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

struct LineSpan {
  std::size_t start;
  std::size_t length;
};

std::optional<LineSpan> FindLine(std::string_view text, int n) {
  if (n < 0) return std::nullopt;
  std::size_t pos = 0;
  for (int line = 0;; ++line) {
    if (pos >= text.size()) return std::nullopt;
    std::size_t end = pos;
    while (end < text.size() && !IsLineEnd(text[end])) ++end;
    if (line == n) return LineSpan{pos, end - pos};
    pos = end;
    for (int skipped = 0; skipped < 2 && pos < text.size() && IsLineEnd(text[pos]); ++skipped) ++pos;
  }
}

}  // namespace

const char* SkipWhiteSpace(const char* text) {
  if (!text) return "";
  while (IsSpace(*text)) ++text;
  return text;
}

CString& ReplaceSubstring(CString& text, std::string_view old, std::string_view replacement) {
  if (old.empty()) return text;
  std::string_view source = text.view();
  std::string out;
  std::size_t pos = 0;
  bool changed = false;
  for (std::size_t hit; (hit = source.find(old, pos)) != std::string_view::npos; pos = hit + old.size()) {
    out.append(source.substr(pos, hit - pos));
    out.append(replacement);
    changed = true;
  }
  if (!changed) return text;
  out.append(source.substr(pos));
  text = CString(std::move(out));
  return text;
}

CString& ReplaceChar(CString& text, char from, char to) {
  text.Replace(from, to);
  return text;
}

BOOL HasTextLine(std::string_view text, int n, int* length) {
  auto line = FindLine(text, n);
  if (!line) return FALSE;
  if (length) *length = static_cast<int>(line->length);
  return TRUE;
}

BOOL GetTextLine(std::string_view text, int n, CString& out) {
  auto line = FindLine(text, n);
  if (!line) return FALSE;
  out = CString(text.substr(line->start, line->length));
  return TRUE;
}

WORD StringChecksum(std::string_view text) {
  if (text.empty()) return 0;
  WORD h = 0;
  for (char c : text) {
    auto widened = static_cast<WORD>(static_cast<std::int16_t>(static_cast<signed char>(c)));
    h = static_cast<WORD>((h ^ widened) << 1);
  }
  return static_cast<WORD>(h + 500);
}
