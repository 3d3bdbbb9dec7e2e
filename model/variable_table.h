// CVariableTable: the ordered variables of one course, or of the whole run.
#pragma once

#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "model/system_variables.h"
#include "model/variable.h"

// Owns its variables. A course table hides variables flagged global from its
// lookups: those are reached through the global table. The table keeps the
// error code of the last script or condition run on it.
class CVariableTable : public CObject {
  DECLARE_SERIAL(CVariableTable)

 public:
  // A table as an archive creates it: no system variables. Tables read from
  // a file are course tables.
  CVariableTable();
  // 1 for a course table, 0 for the global table; starts with its system variables.
  explicit CVariableTable(int courseFlag);
  ~CVariableTable() override;
  CVariableTable(const CVariableTable&) = delete;
  CVariableTable& operator=(const CVariableTable&) = delete;

  BOOL IsCourseTable() const { return m_nCourseFlag != 0; }

  // Where a course's global variables are merged while it is read; null
  // merges nothing.
  void SetGlobalTable(CVariableTable* global) { m_pGlobalTable = global; }

  void CreateSystemVariables();
  CVariable* AddVariable(const CString& name, DWORD type, BOOL global, int precision, int formatIndex);
  // Appends a variable and gives it back.
  CVariable* Append(std::unique_ptr<CVariable> variable);

  // Exact, case-sensitive match of the whole name; empty names never match.
  CVariable* FindByName(std::string_view name) const;
  // The same, with the name's hash (CVariable::ComputeId) already known.
  CVariable* FindByName(std::string_view name, std::uint32_t nameHash) const;
  CVariable* FindById(LONG id) const;
  CVariable* FindByIdOf(const CVariable& variable) const { return FindById(variable.GetId()); }

  void ClearAllValues();
  void RefreshSystemVariables(const SystemValues& values);
  void DeleteAll();
  // Deletes the given temporaries of one script run (and no others).
  void RemoveTemporaries(std::span<CVariable* const> temporaries);

  int GetCount() const { return static_cast<int>(m_variables.size()); }
  CVariable* GetAt(int index) const;
  const std::vector<std::unique_ptr<CVariable>>& Variables() const { return m_variables; }

  // The error code of the last script or condition evaluated on this table.
  int GetErrorCode() const { return m_nErrorCode; }
  void SetErrorCode(int code) { m_nErrorCode = code; }

  void Serialize(CArchive& ar) override;

 private:
  BOOL Hidden(const CVariable& v) const { return IsCourseTable() && v.IsGlobal(); }
  void BindRecordSetColumns(CVariable& variable);
  // Appends a copy of v to the global table unless one with its id is there.
  void MergeIntoGlobal(const CVariable& v);

  int m_nCourseFlag = 1;
  std::vector<std::unique_ptr<CVariable>> m_variables;
  CVariableTable* m_pGlobalTable = nullptr;
  int m_nErrorCode = 0;
};
