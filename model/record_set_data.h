// CRecordSetData: the binding of a record-set variable to a data source.
#pragma once

#include <vector>

#include "platform/base/collections.h"
#include "platform/base/object.h"

// No data source is opened by the runtime: the binding is kept so that column
// variables can be made from it and so that it survives copying.
class CRecordSetData : public CObject {
  DECLARE_SERIAL(CRecordSetData)

 public:
  CRecordSetData() = default;
  // Copies the strings, both string lists and the column indices; the
  // pointer list is left empty.
  CRecordSetData(const CRecordSetData& other);
  CRecordSetData& operator=(const CRecordSetData&) = delete;

  void Serialize(CArchive& ar) override;

  CStringArray m_arrFirst;
  CStringArray m_arrColumnNames;
  std::vector<int> m_arrColumnIndices;  // stored as WORDs; values above 65000 are negative
  std::vector<void*> m_arrPointers;     // never filled in this runtime
  CString m_strDataSource;
  CString m_strSecond;
  CString m_strThird;
  int m_nCurrentIndex = -1;
};
