// The text checksum of menu command ids.
#include "model/string_checksum.h"

WORD StringChecksum(std::string_view text) {
  if (text.empty()) return 0;
  WORD h = 0;
  for (char c : text) {
    // The byte as a signed value widened to 16 bits: 0x80 and above set the high byte.
    WORD b = static_cast<WORD>(static_cast<signed char>(c));
    h = static_cast<WORD>((h ^ b) << 1);
  }
  return static_cast<WORD>(h + 500);
}
