// Tokens of a DLL action's argument text, and their forms.
#include "behaviour/dll_arguments.h"

#include <cstdint>
#include <limits>

#include "platform/base/codepage.h"
#include "platform/base/number_text.h"

namespace {

bool IsSeparator(char c) { return c == ',' || c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The leading whole number as the C library's atoi reads it, wrapped to 32 bits.
std::uint32_t LeadingInteger(std::string_view token) {
  auto parsed = tvn::numtext::ParseIntegerPrefix(token);
  return parsed ? static_cast<std::uint32_t>(static_cast<std::uint64_t>(parsed->value)) : 0;
}

double LeadingDecimal(std::string_view token) {
  auto parsed = tvn::numtext::ParseDoublePrefix(token);
  return parsed ? parsed->value : 0.0;
}

// Beyond float's range the value becomes an infinity of its sign.
float ToFloat(double value) {
  constexpr double kMax = std::numeric_limits<float>::max();
  if (value > kMax) return std::numeric_limits<float>::infinity();
  if (value < -kMax) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

}  // namespace

std::vector<std::string> SplitDllArguments(std::string_view text) {
  std::vector<std::string> tokens;
  std::size_t i = 0;
  while (tokens.size() < kMaxDllArguments) {
    while (i < text.size() && IsSeparator(text[i])) ++i;
    if (i >= text.size()) break;
    std::string token;
    if (text[i] == '"') {
      ++i;
      while (i < text.size() && text[i] != '"') {
        token += IsSeparator(text[i]) ? ' ' : text[i];
        ++i;
      }
      if (i < text.size()) ++i;
    } else {
      while (i < text.size() && !IsSeparator(text[i])) token += text[i++];
    }
    tokens.push_back(std::move(token));
  }
  return tokens;
}

tvn::sys::ForeignArgument DllArgumentOf(const std::string& token, void* buffer) {
  using Kind = tvn::sys::ForeignArgument::Kind;
  tvn::sys::ForeignArgument arg;
  const bool number = !token.empty() && (IsDigit(token[0]) || (token[0] == '-' && token.size() > 1 && IsDigit(token[1])));
  if (number) {
    const bool decimal = token.find('.') != std::string::npos;
    const char last = token.back();
    if (decimal && last == 'L') {
      arg.kind = Kind::int64;
      double value = LeadingDecimal(token);
      // Truncated toward zero; beyond the range it saturates.
      arg.int64 = value >= 9.2233720368547758e18    ? INT64_MAX
                  : value <= -9.2233720368547758e18 ? INT64_MIN
                  : value != value                 ? 0
                                                   : static_cast<std::int64_t>(value);
    } else if (decimal) {
      arg.kind = Kind::float32;
      arg.float32 = ToFloat(LeadingDecimal(token));
    } else if (last == 'S') {
      arg.int32 = LeadingInteger(token) & 0xFFFF;
    } else {
      arg.int32 = LeadingInteger(token);
    }
    return arg;
  }
  if (tvn::codepage::CompareNoCase(token, "@buf") == 0) {
    arg.kind = Kind::pointer;
    arg.pointer = buffer;
    return arg;
  }
  if (!token.empty() && token[0] == '\'') {
    arg.int32 = token.size() > 1 ? static_cast<unsigned char>(token[1]) : 0;
    return arg;
  }
  arg.kind = Kind::pointer;
  arg.pointer = token.c_str();
  return arg;
}
