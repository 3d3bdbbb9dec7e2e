// Locale-free conversions on std::to_chars and std::from_chars.
#include "platform/base/number_text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace tvn::numtext {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

std::string ToChars(double value, std::chars_format fmt, int precision) {
  precision = std::clamp(precision, 0, 400);
  if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  std::string out(512, '\0');
  auto res = std::to_chars(out.data(), out.data() + out.size(), value, fmt, precision);
  if (res.ec != std::errc()) return "0";
  out.resize(static_cast<std::size_t>(res.ptr - out.data()));
  return out;
}

}  // namespace

std::optional<ParsedDouble> ParseDoublePrefix(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i >= text.size() || !(std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == '.')) return std::nullopt;
  double value = 0;
  auto res = std::from_chars(text.data() + i, text.data() + text.size(), value, std::chars_format::general);
  if (res.ec == std::errc::result_out_of_range) {
    // from_chars leaves value alone when out of range: decide between 0 and infinity.
    bool tiny = false;
    for (const char* p = text.data() + i; p < res.ptr; ++p) {
      if (*p == 'e' || *p == 'E') { tiny = p + 1 < res.ptr && p[1] == '-'; break; }
    }
    value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
  } else if (res.ec != std::errc()) {
    return std::nullopt;
  }
  return ParsedDouble{negative ? -value : value, static_cast<std::size_t>(res.ptr - text.data())};
}

std::optional<ParsedLong> ParseIntegerPrefix(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::size_t digits = i;
  unsigned long long value = 0;
  bool overflow = false;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
    unsigned d = static_cast<unsigned>(text[i] - '0');
    if (value > (std::numeric_limits<unsigned long long>::max() - d) / 10) overflow = true;
    else value = value * 10 + d;
    ++i;
  }
  if (i == digits) return std::nullopt;
  constexpr unsigned long long kMaxPos = static_cast<unsigned long long>(std::numeric_limits<long long>::max());
  long long result;
  if (negative) result = (overflow || value > kMaxPos + 1) ? std::numeric_limits<long long>::min()
                         : value == kMaxPos + 1       ? std::numeric_limits<long long>::min()
                                                      : -static_cast<long long>(value);
  else result = (overflow || value > kMaxPos) ? std::numeric_limits<long long>::max() : static_cast<long long>(value);
  return ParsedLong{result, i};
}

std::optional<double> ParseDouble(std::string_view text) {
  auto parsed = ParseDoublePrefix(text);
  if (!parsed) return std::nullopt;
  for (std::size_t i = parsed->consumed; i < text.size(); ++i)
    if (!IsBlank(text[i])) return std::nullopt;
  return parsed->value;
}

std::optional<long long> ParseInteger(std::string_view text) {
  auto parsed = ParseIntegerPrefix(text);
  if (!parsed) return std::nullopt;
  for (std::size_t i = parsed->consumed; i < text.size(); ++i)
    if (!IsBlank(text[i])) return std::nullopt;
  return parsed->value;
}

std::string FormatFixed(double value, int precision) { return ToChars(value, std::chars_format::fixed, precision); }

std::string FormatScientific(double value, int precision) {
  // to_chars writes "1e+39" with at least two exponent digits, as printf does.
  return ToChars(value, std::chars_format::scientific, precision);
}

std::string FormatGeneral(double value, int precision) {
  return ToChars(value, std::chars_format::general, precision == 0 ? 1 : precision);
}

std::string FormatInteger(long long value) { return std::to_string(value); }

}  // namespace tvn::numtext
