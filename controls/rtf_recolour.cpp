// The RTF colour rewrite: one pass over the tokens, the colour table replaced, colour words pointed at entry 0.
#include "controls/rtf_recolour.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace {

constexpr bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The end of the group that opens at text[open] (just past its '}'), or npos
// when it never closes. Escaped braces and \bin data do not count.
std::size_t GroupEnd(std::string_view text, std::size_t open) {
  int depth = 0;
  for (std::size_t i = open; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\\') {
      ++i;  // the escaped character or the word's first letter
      continue;
    }
    if (c == '{') ++depth;
    else if (c == '}' && --depth == 0) return i + 1;
  }
  return std::string_view::npos;
}

}  // namespace

BOOL RecolourRtfText(CString& text, COLORREF colour) {
  const std::string_view in = text.view();
  std::string out;
  out.reserve(in.size() + 64);
  bool tableFound = false;
  std::size_t i = 0;
  while (i < in.size()) {
    const char c = in[i];
    if (c == '{' && !tableFound && in.substr(i + 1).starts_with("\\colortbl") &&
        (i + 10 >= in.size() || !IsLetter(in[i + 10]))) {
      const std::size_t end = GroupEnd(in, i);
      if (end == std::string_view::npos) return FALSE;
      out += "{\\colortbl\\red" + std::to_string(GetRValue(colour)) + "\\green" + std::to_string(GetGValue(colour)) +
             "\\blue" + std::to_string(GetBValue(colour)) + ";}";
      tableFound = true;
      i = end;
      continue;
    }
    if (c != '\\' || i + 1 >= in.size()) {
      out += c;
      ++i;
      continue;
    }
    if (!IsLetter(in[i + 1])) {
      // A control symbol (escaped brace, backslash, \'hh...) goes through whole.
      out.append(in.substr(i, 2));
      i += 2;
      continue;
    }
    std::size_t j = i + 1;
    while (j < in.size() && IsLetter(in[j])) ++j;
    const std::string_view word = in.substr(i + 1, j - i - 1);
    std::size_t k = j;
    if (k < in.size() && in[k] == '-') ++k;
    const std::size_t digitsStart = k;
    while (k < in.size() && IsDigit(in[k])) ++k;
    const bool hasNumber = k > digitsStart;
    if (!hasNumber) k = j;
    if (word == "cf" && hasNumber) {
      out += "\\cf0";
    } else if (word == "plain" && !hasNumber) {
      out += "\\plain\\cf0";
    } else if (word == "bin" && hasNumber) {
      // Binary data is copied as it is, never read as words.
      out.append(in.substr(i, k - i));
      std::size_t count = 0;
      const bool negative = digitsStart > j;
      for (std::size_t d = digitsStart; d < k && count < in.size() && !negative; ++d)
        count = count * 10 + static_cast<std::size_t>(in[d] - '0');
      if (k < in.size() && in[k] == ' ') out += in[k++];
      const std::size_t take = std::min(count, in.size() - k);
      out.append(in.substr(k, take));
      i = k + take;
      continue;
    } else {
      out.append(in.substr(i, k - i));
    }
    i = k;
  }
  if (!tableFound) return FALSE;
  text = CString(out);
  return TRUE;
}
