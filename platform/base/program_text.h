// The encoding of the 8-bit texts a program hands the layer to show and gets
// back from it: window captions, controls, message boxes, menus, the
// clipboard and drawn text. Course programs speak code page 1252; a program
// whose texts are file names of the host (the setup tools) chooses UTF-8.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/win_types.h"

namespace tvn::text {

enum class TextEncoding { kAnsi, kUtf8 };

// Chosen once at start-up, before the first window; code page 1252 until then.
void SetProgramEncoding(TextEncoding encoding);
TextEncoding GetProgramEncoding();
// Whether the program chose UTF-8.
bool IsProgramUtf8();

// A program text as UTF-8, and UTF-8 as a program text (under code page
// 1252 what it cannot hold becomes '?').
std::string ProgramToUtf8(std::string_view text);
std::string ProgramFromUtf8(std::string_view utf8);

// The program text of one typed character (the WM_CHAR code: a byte of code
// page 1252, or a Unicode code point under UTF-8); empty when there is none.
std::string ProgramTextOfChar(UINT code);

// Where the character that holds byte pos of a program text begins (under
// UTF-8 a cut never splits a character).
std::size_t ProgramCharStart(std::string_view text, std::size_t pos);

}  // namespace tvn::text
