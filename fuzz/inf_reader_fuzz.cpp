// Fuzzes the script reader: any bytes are compacted (both encodings) and every query is asked of every section.
#include <cstdint>
#include <string>

#include "setuptools/common/inf_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (auto encoding : {CInfReader::Encoding::kAnsi, CInfReader::Encoding::kUtf8}) {
    CInfReader inf;
    if (inf.LoadBytes(bytes, encoding, true) != 0) continue;
    std::string_view text = inf.Compacted();
    // Every header names a section to look up; every line is walked and split.
    for (std::size_t pos = 0; pos < text.size();) {
      std::size_t end = text.find('\0', pos);
      if (end == std::string_view::npos) break;
      std::string_view line = text.substr(pos, end - pos);
      if (line.size() > 2 && line.front() == '[') {
        std::string name(line.substr(1, line.find(']') == std::string_view::npos ? 0 : line.find(']') - 1));
        const char* first = inf.GetSection(name);
        inf.CountFiles(first);
        for (const char* l = first; l; l = inf.NextLine(l)) {
          CString key = CInfReader::GetField(l, 0);
          CString value;
          inf.FindKeyValue(first, key.view(), value);
          inf.GetString(name + "." + key.str());
          for (int n = 1; n <= 7; ++n) CInfReader::GetField(l, n);
        }
      }
      pos = end + 1;
    }
  }
  return 0;
}
