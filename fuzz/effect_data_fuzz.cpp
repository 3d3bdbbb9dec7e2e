// Fuzzes the stored transition in both of its forms with arbitrary bytes.
#include <cstdint>

#include "model/archive.h"
#include "platform/base/exceptions.h"
#include "platform/sys/file.h"
#include "page/effect_data.h"

// The first byte picks the form: odd the three bytes of old course files,
// even the transition with its class record.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  CMemFile file(data + 1, size - 1);
  CArchive ar(file);
  CEffectData effect;
  try {
    if (data[0] & 1)
      effect.LoadOldForm(ar, 0x4000);
    else
      effect.Serialize(ar);
  } catch (const CArchiveException&) {
  } catch (const CMemoryException&) {
  }
  return 0;
}
