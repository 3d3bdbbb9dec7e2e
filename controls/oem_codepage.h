// The OEM code page of MS-DOS text files (850) against the ANSI code page 1252, in place.
#pragma once

#include <cstddef>

namespace tvn::oem {

// Bytes of code page 850 to code page 1252; characters 1252 lacks become '?'.
void OemToAnsi(unsigned char* bytes, std::size_t count);
// Bytes of code page 1252 to code page 850; characters 850 lacks become '?'.
void AnsiToOem(unsigned char* bytes, std::size_t count);

}  // namespace tvn::oem
