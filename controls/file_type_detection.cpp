// File-type detection: signatures in a fixed order, converters asked for Write and Word files.
#include "controls/file_type_detection.h"

#include <cstring>
#include <string>
#include <vector>

#include "controls/compound_file.h"
#include "controls/doc_types.h"
#include "controls/text_converter.h"
#include "controls/text_converter_registry.h"
#include "model/data_mem_file.h"
#include "platform/base/codepage.h"

namespace {

constexpr unsigned char kCompoundSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr ULONGLONG kLargestCompoundFile = 256u << 20;

}  // namespace

BOOL FileStartsWith(CFile& file, const void* pattern, UINT count) {
  std::vector<unsigned char> head(count, 0);
  try {
    file.Seek(0, CFile::begin);
    UINT got = 0;
    while (got < count) {
      const UINT n = file.Read(head.data() + got, count - got);
      if (n == 0) break;
      got += n;
    }
  } catch (const std::exception&) {
    return FALSE;
  }
  return std::memcmp(head.data(), pattern, count) == 0 ? TRUE : FALSE;
}

BOOL HasSummaryStream(const CString& path, const RichTextFiles& files) {
  CDataMemFile file(files.dataFile, files.cache);
  CFileException error;
  if (!file.Open(path, CFile::modeRead | CFile::shareExclusive, &error) || !file.IsOpen()) return FALSE;
  try {
    const ULONGLONG length = file.GetLength();
    if (length > kLargestCompoundFile) return FALSE;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
    std::size_t got = 0;
    while (got < bytes.size()) {
      const UINT n = file.Read(bytes.data() + got, static_cast<UINT>(std::min<std::size_t>(bytes.size() - got, 1u << 20)));
      if (n == 0) break;
      got += n;
    }
    bytes.resize(got);
    return CompoundFileHasStream(bytes, kSummaryStreamName) ? TRUE : FALSE;
  } catch (const std::exception&) {
    return FALSE;
  }
}

int GetDocTypeFromFile(const CString& path, CFileException& error, const RichTextFiles& files) {
  CDataMemFile file(files.dataFile, files.cache);
  if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite, &error) || !file.IsOpen()) return DocType::kNone;
  ULONGLONG length = 0;
  try {
    length = file.GetLength();
  } catch (const std::exception&) {
    length = 0;
  }
  if (length == 0) {
    file.Abort();
    // The fourth character from the end must be the extension's dot.
    const std::string_view name = path.view();
    if (name.size() >= 4 && name[name.size() - 4] == '.') {
      if (tvn::codepage::EndsWithNoCase(name, ".doc")) return DocType::kWord6;
      if (tvn::codepage::EndsWithNoCase(name, ".rtf")) return DocType::kRtf;
    }
    return DocType::kText;
  }
  if (FileStartsWith(file, "{\\rtf", 5)) return DocType::kRtf;
  if (FileStartsWith(file, "\xDB\xA5\x2D\x00", 4)) return DocType::kWord2;
  if (FileStartsWith(file, "MZ", 2)) return DocType::kExecutable;
  if (FileStartsWith(file, "\x31\xBE", 2) || FileStartsWith(file, "\x32\xBE", 2)) {
    file.Abort();
    return IsFormatCorrectFor(files.converters, kWriteConverter, path, files.dataFile, files.cache) ? DocType::kWrite
                                                                                                    : DocType::kText;
  }
  if (!FileStartsWith(file, kCompoundSignature, 8)) return DocType::kText;
  file.Abort();
  // Without a Word converter a Word file is still a Word file: it is refused
  // by name rather than shown as binary text.
  if (!(files.converters && files.converters->Has(kWordConverter))) return DocType::kWord6;
  if (!IsFormatCorrectFor(files.converters, kWordConverter, path, files.dataFile, files.cache)) return DocType::kText;
  return HasSummaryStream(path, files) ? DocType::kWord6Summary : DocType::kWord6;
}
