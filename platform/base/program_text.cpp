// The program's text encoding and the conversions that follow it.
#include "platform/base/program_text.h"

#include <atomic>

#include "platform/base/codepage.h"

namespace tvn::text {
namespace {

std::atomic<TextEncoding>& Chosen() {
  static std::atomic<TextEncoding> encoding{TextEncoding::kAnsi};
  return encoding;
}

}  // namespace

void SetProgramEncoding(TextEncoding encoding) { Chosen().store(encoding); }

TextEncoding GetProgramEncoding() { return Chosen().load(); }

bool IsProgramUtf8() { return GetProgramEncoding() == TextEncoding::kUtf8; }

std::string ProgramToUtf8(std::string_view text) { return IsProgramUtf8() ? std::string(text) : codepage::ToUtf8(text); }

std::string ProgramFromUtf8(std::string_view utf8) {
  return IsProgramUtf8() ? std::string(utf8) : codepage::FromUtf8(utf8);
}

std::string ProgramTextOfChar(UINT code) {
  std::string out;
  if (!IsProgramUtf8()) {
    if (code <= 0xFF) out += static_cast<char>(code);
  } else if (code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF)) {
    codepage::AppendUtf8(out, static_cast<char32_t>(code));
  }
  return out;
}

std::size_t ProgramCharStart(std::string_view text, std::size_t pos) {
  if (pos >= text.size()) return text.size();
  if (!IsProgramUtf8()) return pos;
  // Continuation bytes (10xxxxxx) belong to the character before them; at most three of them.
  for (int back = 0; back < 3 && pos > 0 && (static_cast<unsigned char>(text[pos]) & 0xC0) == 0x80; ++back) --pos;
  return pos;
}

}  // namespace tvn::text
