// The MCI command-string parser: words split at blanks, double quotes around names with blanks.
#include "platform/mm/mci_command.h"

#include <algorithm>

#include "platform/base/codepage.h"
#include "platform/mm/mci_errors.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

bool ParseMciNumber(std::string_view text, DWORD& out) {
  if (text.empty() || text.size() > 9) return false;
  DWORD value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<DWORD>(c - '0');
  }
  out = value;
  return true;
}

const std::string* CMciCommand::ValueAfter(std::string_view keyword) const {
  for (std::size_t i = 0; i + 1 < words.size(); ++i)
    if (tvn::codepage::EqualsNoCaseAscii(words[i], keyword)) return &words[i + 1];
  return nullptr;
}

bool CMciCommand::Has(std::string_view keyword) const {
  return std::any_of(words.begin(), words.end(),
                     [keyword](const std::string& w) { return tvn::codepage::EqualsNoCaseAscii(w, keyword); });
}

DWORD ParseMciCommand(std::string_view text, CMciCommand& out, bool withDevice) {
  out = CMciCommand{};
  std::vector<std::string> tokens;
  std::size_t i = 0;
  while (i < text.size()) {
    if (IsBlank(text[i])) {
      ++i;
      continue;
    }
    std::string token;
    if (text[i] == '"') {
      const std::size_t close = text.find('"', i + 1);
      if (close == std::string_view::npos) return MciError::kNoClosingQuote;
      token.assign(text.substr(i + 1, close - i - 1));
      i = close + 1;
    } else {
      while (i < text.size() && !IsBlank(text[i]) && text[i] != '"') token.push_back(text[i++]);
    }
    tokens.push_back(std::move(token));
  }
  if (tokens.empty()) return MciError::kMissingCommandString;
  out.verb = tvn::codepage::LowerAscii(tokens[0]);
  std::size_t first = 1;
  if (withDevice) {
    if (tokens.size() < 2) return MciError::kMissingDeviceName;
    out.device = tokens[1];
    first = 2;
  }
  for (std::size_t t = first; t < tokens.size(); ++t) {
    if (tvn::codepage::EqualsNoCaseAscii(tokens[t], "notify")) out.notify = true;
    else if (tvn::codepage::EqualsNoCaseAscii(tokens[t], "wait")) out.wait = true;
    else out.words.push_back(std::move(tokens[t]));
  }
  return MciError::kNone;
}
