// The DDE command parser: the word before the first parenthesis and the argument up to the matching one.
#include "controls/dde_command.h"

#include <array>
#include <utility>

#include "platform/base/codepage.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

constexpr std::array<std::pair<std::string_view, DdeCommandWord>, 5> kWords{{
    {"open", DdeCommandWord::kOpen},
    {"start", DdeCommandWord::kStart},
    {"close", DdeCommandWord::kClose},
    {"quit", DdeCommandWord::kQuit},
    {"event", DdeCommandWord::kEvent},
}};

}  // namespace

std::optional<DdeCommand> ParseDdeCommand(std::string_view text) {
  if (const std::size_t end = text.find('\0'); end != std::string_view::npos) text = text.substr(0, end);
  text = Trimmed(text);
  if (!text.empty() && text.front() == '[') text.remove_prefix(1);

  const std::size_t open = text.find('(');
  if (open == std::string_view::npos) return std::nullopt;
  const std::string_view word = Trimmed(text.substr(0, open));
  const auto* found = kWords.end();
  for (auto it = kWords.begin(); it != kWords.end(); ++it)
    if (tvn::codepage::CompareNoCase(word, it->first) == 0) found = it;
  if (found == kWords.end()) return std::nullopt;

  // The argument runs to the ")" that closes the first "(".
  int depth = 1;
  std::size_t close = open + 1;
  for (; close < text.size(); ++close) {
    if (text[close] == '(') ++depth;
    if (text[close] == ')' && --depth == 0) break;
  }
  if (close >= text.size()) return std::nullopt;
  std::string_view argument = Trimmed(text.substr(open + 1, close - open - 1));
  if (argument.size() >= 2 && argument.front() == '"' && argument.back() == '"')
    argument = Trimmed(argument.substr(1, argument.size() - 2));

  DdeCommand command;
  command.word = found->second;
  command.argument = CString(argument);
  if (argument.empty() && command.word != DdeCommandWord::kQuit) return std::nullopt;
  return command;
}
