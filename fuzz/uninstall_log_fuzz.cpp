// Fuzzes the UNINSTAL.INF writer against its reader: every path the writer
// accepts must read back exactly, and any caption gives a head that reads.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "setuptools/common/uninstall_log.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string file = "[default.files]\r\n";
  std::vector<CString> written;
  for (std::size_t pos = 0; pos <= text.size();) {
    std::size_t end = std::min(text.find('\x01', pos), text.size());
    CString path(text.substr(pos, end - pos));
    if (auto line = CUninstallLog::FormatPathLine(path)) {
      file += *line + "\r\n";
      written.push_back(path);
    }
    pos = end + 1;
  }
  CInfReader reader;
  if (reader.LoadBytes(CUninstallLog::FormatHead(CString(text)) + "\r\n" + file.substr(17), CInfReader::Encoding::kUtf8,
                       false) != 0) {
    return 0;
  }
  reader.GetString("dialog.caption");
  // All lines together read back as they were written, in order.
  CInfReader all;
  if (all.LoadBytes(file, CInfReader::Encoding::kUtf8, false) != 0) return 0;
  const char* line = all.GetSection("default.files");
  for (const CString& path : written) {
    if (!line || CInfReader::GetField(line, 1) != path) std::abort();
    line = all.NextLine(line);
  }
  if (line) std::abort();
  return 0;
}
