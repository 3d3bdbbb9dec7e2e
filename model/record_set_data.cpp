// The stored form of a record-set binding.
#include "model/record_set_data.h"

#include "model/archive.h"

IMPLEMENT_SERIAL(CRecordSetData, CObject, VERSIONABLE_SCHEMA | 2)

CRecordSetData::CRecordSetData(const CRecordSetData& other)
    : CObject(other),
      m_arrFirst(other.m_arrFirst),
      m_arrColumnNames(other.m_arrColumnNames),
      m_arrColumnIndices(other.m_arrColumnIndices),
      m_strDataSource(other.m_strDataSource),
      m_strSecond(other.m_strSecond),
      m_strThird(other.m_strThird) {}

void CRecordSetData::Serialize(CArchive& ar) {
  ar.ReadClass(RUNTIME_CLASS(CRecordSetData));
  m_strDataSource = ar.ReadString();
  m_strSecond = ar.ReadString();
  m_strThird = ar.ReadString();
  ar.ReadStringArray(m_arrFirst);
  ar.ReadStringArray(m_arrColumnNames);
  WORD count = ar.ReadWord();
  ar.CheckAvailable(static_cast<ULONGLONG>(count) * 2);
  m_arrColumnIndices.clear();
  m_arrColumnIndices.reserve(count);
  for (WORD i = 0; i < count; ++i) {
    int v = ar.ReadWord();
    // The writer kept -1 ("no column") and its neighbours as WORDs near 65535.
    m_arrColumnIndices.push_back(v > 65000 ? 65534 - v : v);
  }
  m_nCurrentIndex = -1;
}
