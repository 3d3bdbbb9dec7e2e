// Fuzzes ParseMeasurement on text a learner types into a measurement field, and the round trip the
// dialogs make with it: a value within the dialogs' range, printed with 2 decimals, reads back, and
// the value read back no longer moves when it is shown and read again (a dialog opened and closed
// with OK leaves its indents as they were).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/measurement_units.h"

namespace {

// The widest measurement a dialog accepts: 22 inches either way.
constexpr int kDialogLimit = 31680;

int ShownAndReadBack(int twips) {
  CString shown;
  PrintTwips(shown, twips, 2);
  int back = 0;
  if (!ParseMeasurement(shown, back)) std::abort();
  return back;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const CString text(std::string(reinterpret_cast<const char*>(data), size));
  int twips = 12345;
  if (!ParseMeasurement(text, twips)) {
    if (twips != 12345) std::abort();  // a failed read leaves the value alone
    return 0;
  }
  if (twips < -kDialogLimit || twips > kDialogLimit) return 0;
  const int stored = ShownAndReadBack(twips);
  if (ShownAndReadBack(stored) != stored) std::abort();
  return 0;
}
