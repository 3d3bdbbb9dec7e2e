// Numbers to text and back in the C locale, whatever locale the process runs in.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tvn::numtext {

// Parses a decimal number at the start of text after optional blanks and sign
// ("12.5abc" gives 12.5 and consumed 6). Nothing when no digit is found.
struct ParsedDouble {
  double value;
  std::size_t consumed;
};
std::optional<ParsedDouble> ParseDoublePrefix(std::string_view text);
struct ParsedLong {
  long long value;
  std::size_t consumed;
};
// Integers out of the 64-bit range saturate.
std::optional<ParsedLong> ParseIntegerPrefix(std::string_view text);

// The whole text (blanks around allowed) must be the number.
std::optional<double> ParseDouble(std::string_view text);
std::optional<long long> ParseInteger(std::string_view text);

// Like printf's "%.*f", "%.*e" and "%.*g".
std::string FormatFixed(double value, int precision);
std::string FormatScientific(double value, int precision);
std::string FormatGeneral(double value, int precision);
std::string FormatInteger(long long value);

}  // namespace tvn::numtext
