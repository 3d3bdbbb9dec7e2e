// A small reader of RFC 5322 header sections for tests: folded lines joined, names and values split.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tvn::testing {

struct ParsedMail {
  std::vector<std::pair<std::string, std::string>> fields;  // in order, values unfolded
  std::string body;

  const std::string* Field(std::string_view name) const {
    for (const auto& [n, v] : fields)
      if (n == name) return &v;
    return nullptr;
  }
};

// Nothing when the text is no message: a bare CR or LF, a line without a
// name and colon, a folded line before the first field, or no empty line.
inline std::optional<ParsedMail> ParseMail(std::string_view text) {
  ParsedMail mail;
  std::size_t at = 0;
  for (;;) {
    const std::size_t end = text.find("\r\n", at);
    if (end == std::string_view::npos) return std::nullopt;
    const std::string_view line = text.substr(at, end - at);
    at = end + 2;
    if (line.find_first_of("\r\n") != std::string_view::npos) return std::nullopt;
    if (line.empty()) break;
    if (line[0] == ' ' || line[0] == '\t') {
      if (mail.fields.empty()) return std::nullopt;
      mail.fields.back().second += line;
      continue;
    }
    const std::size_t colon = line.find(':');
    if (colon == 0 || colon == std::string_view::npos) return std::nullopt;
    for (char c : line.substr(0, colon))
      if (c <= ' ' || c > '~') return std::nullopt;
    std::string_view value = line.substr(colon + 1);
    if (!value.empty() && value[0] == ' ') value.remove_prefix(1);
    mail.fields.emplace_back(std::string(line.substr(0, colon)), std::string(value));
  }
  mail.body = std::string(text.substr(at));
  return mail;
}

}  // namespace tvn::testing
