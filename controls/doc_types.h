// The document-type table of rich text: rows, their strings, and the lists the file dialogs show.
#pragma once

#include <array>

#include "platform/base/cstring.h"
#include "platform/base/win_types.h"

class CConverterRegistry;

namespace DocType {
constexpr int kNone = -1;
constexpr int kWord2 = 0;
constexpr int kWord6Summary = 1;  // a Word 6 document with summary information (read only)
constexpr int kWord6 = 2;
constexpr int kWrite = 3;
constexpr int kRtf = 4;
constexpr int kText = 5;
constexpr int kOemText = 6;
constexpr int kAll = 7;
constexpr int kExecutable = 8;
constexpr int kEmbedded = 9;
constexpr int kCount = 10;
}  // namespace DocType

constexpr const char* kWordConverter = "MSWD6_32.WPC";
constexpr const char* kWriteConverter = "WRITE32.WPC";

struct DocTypeRow {
  int code;
  UINT nameId;  // string of newline-separated fields: name, filter, pattern, document name
  BOOL read;
  BOOL write;
  BOOL hidden;  // not listed in file dialogs
  const char* converter;  // converter library, or null
};

// One table per owner (the application keeps one for the run). Its read and
// write flags are cleared once, by ScanForConverters, for converters that
// are not present and, on a double-byte system, for MS-DOS text.
class CDocTypeTable {
 public:
  explicit CDocTypeTable(const CConverterRegistry* converters = nullptr, bool doubleByteSystem = false);

  void ScanForConverters();
  const CConverterRegistry* Converters() const { return m_converters; }
  // The row of a type code; type 9's row for any code out of range.
  const DocTypeRow& Row(int type) const;

  // Field n of the type's name string; empty when it has none.
  CString GetDocTypeString(int type, int n) const;
  // Field 2 without its first character (".txt" from "*.txt").
  CString GetDocTypeExtension(int type) const;
  // The code of the n-th row listed (from 0), -1 when fewer are listed.
  int GetDocTypeIndex(int n, BOOL forOpening);
  // The position of the type among the rows listed, -1 when it is not listed.
  int GetDocTypeFilterPosition(int type, BOOL forOpening);
  // For each listed row: field 1 (opening) or 0 (saving), then field 2, each followed by a NUL.
  CString GetDocTypeFilters(BOOL forOpening);

 private:
  bool Listed(const DocTypeRow& row, BOOL forOpening) const;

  std::array<DocTypeRow, DocType::kCount> m_rows;
  const CConverterRegistry* m_converters;
  bool m_doubleByte;
  bool m_scanned = false;
};
