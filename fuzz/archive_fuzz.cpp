// Fuzzes the archive reader over every registered class: the first byte picks
// the class whose record opens the stream, the second the course file version,
// and the rest is read as that object's fields and whatever objects follow.
#include <cstdint>
#include <new>
#include <vector>

#include "model/archive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  std::vector<const CRuntimeClass*> classes = CRuntimeClass::AllRegistered();
  if (classes.empty()) return 0;
  const CRuntimeClass* cls = classes[data[0] % classes.size()];
  std::string_view name(cls->m_lpszClassName);

  std::vector<std::uint8_t> stream = {0xFF, 0xFF, static_cast<std::uint8_t>(cls->GetSchema()),
                                      static_cast<std::uint8_t>(cls->GetSchema() >> 8),
                                      static_cast<std::uint8_t>(name.size()), 0};
  stream.insert(stream.end(), name.begin(), name.end());
  stream.insert(stream.end(), data + 2, data + size);

  CMemFile file(stream.data(), stream.size());
  try {
    CArchive ar(file);
    ar.SetCourseVersion(3 + data[1] % 3);
    while (ar.BytesRemaining() > 0) ar.ReadObject(RUNTIME_CLASS(CObject));
  } catch (const CArchiveException&) {
  } catch (const CFileException&) {
  } catch (const CMemoryException&) {
  }
  return 0;
}
