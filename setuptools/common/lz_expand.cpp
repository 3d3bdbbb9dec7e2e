// The LZ expander of compressed setup files: the LZSS variant with a 4 KiB window of blanks.
#include "setuptools/common/lz_expand.h"

#include <array>

namespace {

constexpr std::string_view kSignature("SZDD\x88\xF0\x27\x33", 8);
constexpr std::size_t kWindowSize = 4096;
// Writing starts 16 bytes before the window's end, as the compressor's matcher does.
constexpr std::size_t kWindowStart = kWindowSize - 16;

}  // namespace

std::optional<SzddHeader> ReadSzddHeader(std::string_view bytes) {
  if (bytes.size() < kSzddHeaderSize || bytes.substr(0, 8) != kSignature || bytes[8] != 'A') return std::nullopt;
  SzddHeader header;
  header.missingChar = bytes[9];
  for (int i = 3; i >= 0; --i) {
    header.expandedSize = (header.expandedSize << 8) | static_cast<unsigned char>(bytes[10 + static_cast<std::size_t>(i)]);
  }
  return header;
}

std::string ExpandSzdd(std::string_view bytes) {
  auto header = ReadSzddHeader(bytes);
  if (!header) return std::string(bytes);
  const std::size_t limit = header->expandedSize;
  std::string out;
  // The stated size is outside data: reserve no more than the input could plausibly give.
  out.reserve(std::min<std::size_t>(limit, (bytes.size() - kSzddHeaderSize) * 9));
  std::array<char, kWindowSize> window;
  window.fill(' ');
  std::size_t pos = kWindowStart;
  std::size_t in = kSzddHeaderSize;
  const std::size_t end = bytes.size();
  while (in < end && out.size() < limit) {
    unsigned flags = static_cast<unsigned char>(bytes[in++]);
    for (int bit = 0; bit < 8 && out.size() < limit; ++bit, flags >>= 1) {
      if (flags & 1) {
        if (in >= end) return out;
        const char c = bytes[in++];
        out.push_back(c);
        window[pos] = c;
        pos = (pos + 1) & (kWindowSize - 1);
      } else {
        if (end - in < 2) return out;
        const unsigned b0 = static_cast<unsigned char>(bytes[in]);
        const unsigned b1 = static_cast<unsigned char>(bytes[in + 1]);
        in += 2;
        std::size_t from = b0 | ((b1 & 0xF0u) << 4);
        const unsigned length = (b1 & 0x0Fu) + 3;
        for (unsigned i = 0; i < length && out.size() < limit; ++i) {
          const char c = window[from];
          from = (from + 1) & (kWindowSize - 1);
          out.push_back(c);
          window[pos] = c;
          pos = (pos + 1) & (kWindowSize - 1);
        }
      }
    }
  }
  return out;
}

std::string SzddExpandedName(std::string_view compressedName, std::string_view bytes) {
  std::string name(compressedName);
  auto header = ReadSzddHeader(bytes);
  if (!header || header->missingChar == 0 || name.empty() || name.back() != '_') return name;
  name.back() = header->missingChar;
  return name;
}

