// The document-type table: its ten rows, the converter scan, the strings and the file-dialog lists.
#include "controls/doc_types.h"

#include "controls/text_converter_registry.h"
#include "model/string_table.h"

namespace {

constexpr std::array<DocTypeRow, DocType::kCount> kRows{{
    {DocType::kWord2, StringId::kDocTypeWord2, FALSE, FALSE, FALSE, nullptr},
    {DocType::kWord6Summary, StringId::kDocTypeWord6, TRUE, FALSE, TRUE, kWordConverter},
    {DocType::kWord6, StringId::kDocTypeWord6, TRUE, TRUE, FALSE, kWordConverter},
    {DocType::kWrite, StringId::kDocTypeWrite, TRUE, FALSE, FALSE, kWriteConverter},
    {DocType::kRtf, StringId::kDocTypeRtf, TRUE, TRUE, FALSE, nullptr},
    {DocType::kText, StringId::kDocTypeText, TRUE, TRUE, FALSE, nullptr},
    {DocType::kOemText, StringId::kDocTypeOemText, TRUE, TRUE, FALSE, nullptr},
    {DocType::kAll, StringId::kDocTypeAll, TRUE, FALSE, FALSE, nullptr},
    {DocType::kExecutable, StringId::kDocTypeExecutable, FALSE, FALSE, FALSE, nullptr},
    {DocType::kEmbedded, 0, FALSE, FALSE, FALSE, nullptr},
}};

}  // namespace

CDocTypeTable::CDocTypeTable(const CConverterRegistry* converters, bool doubleByteSystem)
    : m_rows(kRows), m_converters(converters), m_doubleByte(doubleByteSystem) {}

void CDocTypeTable::ScanForConverters() {
  if (m_scanned) return;
  m_scanned = true;
  for (DocTypeRow& row : m_rows) {
    if (row.converter && !(m_converters && m_converters->Has(row.converter))) row.read = row.write = FALSE;
  }
  if (m_doubleByte) m_rows[DocType::kOemText].read = m_rows[DocType::kOemText].write = FALSE;
}

const DocTypeRow& CDocTypeTable::Row(int type) const {
  return m_rows[type >= 0 && type < DocType::kCount ? static_cast<std::size_t>(type) : DocType::kEmbedded];
}

CString CDocTypeTable::GetDocTypeString(int type, int n) const {
  const CString text = Row(type).nameId ? LoadStringText(Row(type).nameId) : CString();
  std::string_view rest = text.view();
  for (int field = 0; field < n; ++field) {
    const std::size_t newline = rest.find('\n');
    if (newline == std::string_view::npos) return CString();
    rest.remove_prefix(newline + 1);
  }
  return CString(rest.substr(0, rest.find('\n')));
}

CString CDocTypeTable::GetDocTypeExtension(int type) const {
  const CString pattern = GetDocTypeString(type, 2);
  return pattern.IsEmpty() ? CString() : CString(pattern.view().substr(1));
}

bool CDocTypeTable::Listed(const DocTypeRow& row, BOOL forOpening) const {
  return !row.hidden && (forOpening ? row.read : row.write);
}

int CDocTypeTable::GetDocTypeIndex(int n, BOOL forOpening) {
  ScanForConverters();
  for (const DocTypeRow& row : m_rows) {
    if (Listed(row, forOpening) && n-- == 0) return row.code;
  }
  return DocType::kNone;
}

int CDocTypeTable::GetDocTypeFilterPosition(int type, BOOL forOpening) {
  ScanForConverters();
  int position = 0;
  for (const DocTypeRow& row : m_rows) {
    if (!Listed(row, forOpening)) continue;
    if (row.code == type) return position;
    ++position;
  }
  return -1;
}

CString CDocTypeTable::GetDocTypeFilters(BOOL forOpening) {
  ScanForConverters();
  std::string filters;
  for (const DocTypeRow& row : m_rows) {
    if (!Listed(row, forOpening)) continue;
    filters += GetDocTypeString(row.code, forOpening ? 1 : 0).view();
    filters += '\0';
    filters += GetDocTypeString(row.code, 2).view();
    filters += '\0';
  }
  return CString(filters);
}
