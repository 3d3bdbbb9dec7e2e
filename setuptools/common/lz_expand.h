// The LZ expander of compressed setup files ("SZDD", the COMPRESS.EXE format) and their expanded names.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>


// The 14-byte head: "SZDD" 0x88 0xF0 0x27 0x33, mode 'A', the name's missing
// last character (0 when none was stored), the expanded size (32-bit, little-endian).
inline constexpr std::size_t kSzddHeaderSize = 14;

struct SzddHeader {
  char missingChar = 0;
  std::uint32_t expandedSize = 0;
};

// The head of a compressed file, or nothing when the bytes do not start with one.
std::optional<SzddHeader> ReadSzddHeader(std::string_view bytes);

// Expands a whole compressed file. Output stops at the stated size or at the
// input's end, whichever comes first, so a damaged file gives a short result,
// never a read or write outside the bytes or the 4 KiB window. Bytes without
// the head come back unchanged.
std::string ExpandSzdd(std::string_view bytes);

// The name a compressed file installs under: the stored character in place of
// a trailing '_' ("README.TX_" with 'T' gives "README.TXT"). A name without the
// '_', or a file without a stored character, keeps its name.
std::string SzddExpandedName(std::string_view compressedName, std::string_view bytes);

