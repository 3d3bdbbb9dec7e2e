// A small LZSS compressor in the SZDD layout: greedy matches in the last 4 KiB, lengths 3 to 18.
#include "tests/support/szdd_writer.h"

#include <array>

namespace tvn::testing {

std::string BuildSzdd(std::string_view data, const SzddOptions& options) {
  std::string out("SZDD\x88\xF0\x27\x33", 8);
  out.push_back('A');
  out.push_back(options.missingChar);
  const std::uint32_t size = options.statedSize.value_or(static_cast<std::uint32_t>(data.size()));
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((size >> (8 * i)) & 0xFF));

  // The window as the expander keeps it: blanks, writing from 4096 - 16.
  std::array<char, 4096> window;
  window.fill(' ');
  std::size_t pos = 4096 - 16;
  std::size_t in = 0;
  while (in < data.size()) {
    const std::size_t flagAt = out.size();
    out.push_back(0);
    unsigned flags = 0;
    for (int bit = 0; bit < 8 && in < data.size(); ++bit) {
      std::size_t bestLength = 0, bestFrom = 0;
      if (options.useReferences) {
        const std::size_t most = std::min<std::size_t>(18, data.size() - in);
        // Only sources already written and not overwritten by this match.
        for (std::size_t back = 1; back <= 4096 - 18 && most >= 3; ++back) {
          const std::size_t from = (pos + 4096 - back) & 4095;
          std::size_t length = 0;
          while (length < most && length < back && window[(from + length) & 4095] == data[in + length]) ++length;
          if (length > bestLength) {
            bestLength = length;
            bestFrom = from;
            if (length == most) break;
          }
        }
      }
      if (bestLength >= 3) {
        out.push_back(static_cast<char>(bestFrom & 0xFF));
        out.push_back(static_cast<char>(((bestFrom >> 4) & 0xF0) | (bestLength - 3)));
        for (std::size_t i = 0; i < bestLength; ++i) {
          window[pos] = data[in++];
          pos = (pos + 1) & 4095;
        }
      } else {
        flags |= 1u << bit;
        out.push_back(data[in]);
        window[pos] = data[in++];
        pos = (pos + 1) & 4095;
      }
    }
    out[flagAt] = static_cast<char>(flags);
  }
  return out;
}

}  // namespace tvn::testing
