// Fuzzes the packed data file: arbitrary bytes are opened as one, and every
// entry of a directory that reads is opened and read to its end.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "model/data_file.h"
#include "model/data_mem_file.h"
#include "platform/base/host_path.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = "/tmp/tvn-data-file-fuzz-" + std::to_string(::getpid()) + ".dat";
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);

  CDataFile dataFile;
  if (dataFile.Open(CString(path))) {
    std::vector<BYTE> buffer(4096);
    for (int i = 0; i < dataFile.GetCount(); ++i) {
      const CDataFileObject* entry = dataFile.GetEntry(i);
      dataFile.SeekToEntry(entry->m_strName.view());
      CDataMemFile file(&dataFile);
      try {
        if (!file.Open(entry->m_strName, CFile::modeRead | CDataMemFile::kMayBeMissing)) continue;
        ULONGLONG total = 0;
        while (UINT n = file.Read(buffer.data(), static_cast<UINT>(buffer.size()))) total += n;
        // The first entry of that name is the one opened; it reads exactly its own bytes.
        if (file.IsFromDataFile() && total != dataFile.FindEntry(entry->m_strName.view())->m_dwSize) __builtin_trap();
        file.Seek(-1, CFile::end);
      } catch (const CFileException&) {
      }
    }
  }
  ::unlink(path.c_str());
  return 0;
}
