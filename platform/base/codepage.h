// Conversions between the Windows ANSI code page 1252 and Unicode, and the letter-case folds of 8-bit text.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tvn::codepage {

// The Unicode character of one byte of code page 1252. The five bytes the code
// page leaves undefined map to the C1 control character of the same value, as
// Windows does, so every byte survives a round trip.
char16_t ToUnicode(unsigned char byte);

// The byte of one Unicode character, or '?' where code page 1252 has none.
unsigned char FromUnicode(char32_t ch);

// One Unicode character (up to 0x10FFFF) appended to out as UTF-8.
void AppendUtf8(std::string& out, char32_t ch);

std::u16string ToUtf16(std::string_view ansi);
std::string ToUtf8(std::string_view ansi);

// UTF-16 (surrogate pairs allowed) to code page 1252; characters it cannot hold become '?'.
std::string FromUtf16(std::u16string_view text);
// UTF-8 to code page 1252; malformed sequences and characters it cannot hold become '?'.
std::string FromUtf8(std::string_view text);

// Whether text is well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool IsValidUtf8(std::string_view text);
// Code page 437 (the DOS code page ZIP archives name files in) to UTF-8.
std::string Cp437ToUtf8(std::string_view text);

namespace detail {
constexpr unsigned char UpperOf(unsigned char b) {
  if (b >= 'a' && b <= 'z') return static_cast<unsigned char>(b - 32);
  if (b >= 0xE0 && b <= 0xFE && b != 0xF7) return static_cast<unsigned char>(b - 32);
  switch (b) {
    case 0x9A: return 0x8A;
    case 0x9C: return 0x8C;
    case 0x9E: return 0x8E;
    case 0xFF: return 0x9F;
    default: return b;
  }
}
// UpperOf of every byte: scanners fold case with one load a byte.
inline constexpr std::array<unsigned char, 256> kUpper = [] {
  std::array<unsigned char, 256> table{};
  for (int b = 0; b < 256; ++b) table[static_cast<std::size_t>(b)] = UpperOf(static_cast<unsigned char>(b));
  return table;
}();
}  // namespace detail

// Two letter-case folds. The code page's own (ToUpper, ToLower, Upper,
// CompareNoCase, EqualsNoCase, EndsWithNoCase) pairs every letter of code page
// 1252 with its capital, the accented ones too ("\xE9"/"\xC9", "\x9A"/"\x8A",
// "\xFF"/"\x9F"); the sharp s has no capital in it. The ASCII fold (the
// ...Ascii functions) pairs A-Z with a-z alone, for names that are ASCII by
// rule and for UTF-8 text, whose bytes above 0x7F are no letters on their own.
inline unsigned char ToUpper(unsigned char byte) { return detail::kUpper[byte]; }
unsigned char ToLower(unsigned char byte);
std::string Upper(std::string_view text);

// Compares a and b with letters folded to upper case: <0, 0 or >0.
int CompareNoCase(std::string_view a, std::string_view b);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool EndsWithNoCase(std::string_view text, std::string_view suffix);

constexpr char ToUpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
constexpr char ToLowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
std::string UpperAscii(std::string_view text);
std::string LowerAscii(std::string_view text);
bool EqualsNoCaseAscii(std::string_view a, std::string_view b);

}  // namespace tvn::codepage
