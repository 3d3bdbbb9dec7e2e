// CVariableTable: system variables, lookups, refreshing and the stored declarations.
#include "model/variable_table.h"

#include <algorithm>

#include "model/archive.h"
#include "model/record_set_data.h"
#include "platform/base/number_text.h"

IMPLEMENT_SERIAL(CVariableTable, CObject, VERSIONABLE_SCHEMA | 2)

namespace {

// The smallest stored declaration: class tag, empty name, precision, flags,
// id, format index, empty format and the record-set byte.
constexpr ULONGLONG kMinStoredVariable = 2 + 1 + 1 + 4 + 4 + 1 + 1 + 1;

}  // namespace

CVariableTable::CVariableTable() = default;

CVariableTable::CVariableTable(int courseFlag) : m_nCourseFlag(courseFlag) { CreateSystemVariables(); }

CVariableTable::~CVariableTable() = default;

void CVariableTable::CreateSystemVariables() {
  DeleteAll();
  for (const SystemVariableDef& def : SystemVariableDefs()) {
    if ((def.global != FALSE) == IsCourseTable()) continue;
    AddVariable(def.name, def.type, def.global, def.precision, def.formatIndex);
  }
}

CVariable* CVariableTable::AddVariable(const CString& name, DWORD type, BOOL global, int precision,
                                       int formatIndex) {
  auto v = std::make_unique<CVariable>();
  v->SetName(name);
  v->SetFlags((global ? VarFlag::kSystem | VarFlag::kGlobal : VarFlag::kSystem) | type);
  v->SetPrecision(precision);
  v->SetFormatIndex(formatIndex);
  return Append(std::move(v));
}

CVariable* CVariableTable::Append(std::unique_ptr<CVariable> variable) {
  m_variables.push_back(std::move(variable));
  return m_variables.back().get();
}

CVariable* CVariableTable::FindByName(std::string_view name) const {
  return FindByName(name, static_cast<std::uint32_t>(CVariable::ComputeId(name)));
}

CVariable* CVariableTable::FindByName(std::string_view name, std::uint32_t nameHash) const {
  if (name.empty()) return nullptr;
  for (const auto& v : m_variables) {
    if (v->GetNameHash() == nameHash && !Hidden(*v) && v->GetName().view() == name) return v.get();
  }
  return nullptr;
}

CVariable* CVariableTable::FindById(LONG id) const {
  for (const auto& v : m_variables) {
    if (!Hidden(*v) && v->GetId() == id) return v.get();
  }
  return nullptr;
}

CVariable* CVariableTable::GetAt(int index) const {
  if (index < 0 || index >= GetCount()) return nullptr;
  return m_variables[static_cast<std::size_t>(index)].get();
}

void CVariableTable::ClearAllValues() {
  for (auto& v : m_variables) v->Clear(FALSE);
}

void CVariableTable::RefreshSystemVariables(const SystemValues& values) {
  auto setString = [this](std::string_view name, const CString& text) {
    if (CVariable* v = FindByName(name)) v->SetString(text);
  };
  auto setLong = [this](std::string_view name, LONG value) {
    if (CVariable* v = FindByName(name)) v->SetLong(value);
  };
  if (IsCourseTable()) {
    if (!values.courseCurrent) return;
    setString("CourseTitle", values.courseTitle);
    setString("CoursePath", values.coursePath);
    // A drive letter and its colon; a path without a drive has none.
    const std::string_view path = values.coursePath.view();
    const bool drive = path.size() >= 2 && path[1] == ':' &&
                       ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    setString("CourseDrive", drive ? values.coursePath.Left(2) : CString());
    return;
  }
  setLong("WindowHandle", values.windowHandle);
  setLong("InstanceHandle", values.instanceHandle);
  setLong("ColourDepth", values.colourDepth);
  setLong("ScreenWidth", values.screenWidth);
  setLong("PreloadBufferSize", values.preloadBufferSize);
  setString("CD_Drive", values.cdDrive);
  setString("CR", "\r\n");
  setString("DoubleQuote", "\"");
  if (CVariable* v = FindByName("WindowsVersion")) {
    // The number is read back from its "%d.%d" text.
    std::string text = tvn::numtext::FormatInteger(values.windowsMajor) + "." +
                       tvn::numtext::FormatInteger(values.windowsMinor < 0 ? 0 : values.windowsMinor);
    auto parsed = tvn::numtext::ParseDoublePrefix(text);
    v->SetReal(parsed ? parsed->value : 0.0);
  }
}

void CVariableTable::DeleteAll() { m_variables.clear(); }

void CVariableTable::RemoveTemporaries(std::span<CVariable* const> temporaries) {
  if (temporaries.empty()) return;
  std::erase_if(m_variables, [&](const std::unique_ptr<CVariable>& v) {
    return v->IsTemporary() && std::find(temporaries.begin(), temporaries.end(), v.get()) != temporaries.end();
  });
}

void CVariableTable::MergeIntoGlobal(const CVariable& v) {
  if (!m_pGlobalTable || m_pGlobalTable == this || m_pGlobalTable->FindByIdOf(v)) return;
  CVariable* copy = m_pGlobalTable->Append(std::make_unique<CVariable>(v));
  if (v.IsColumn()) copy->SetRecordSet(v.SharedRecordSet());
}

void CVariableTable::BindRecordSetColumns(CVariable& variable) {
  CRecordSetData* recordSet = variable.GetRecordSet();
  if (!recordSet) return;
  if (variable.IsGlobal() && m_pGlobalTable && m_pGlobalTable != this) {
    CVariable* shared = m_pGlobalTable->FindByName(variable.GetName().view());
    if (shared && shared->IsRecordSet()) shared->Assign(variable);
  }
  const int columns = recordSet->m_arrColumnNames.GetSize();
  for (int i = 0; i < columns; ++i) {
    CString name = variable.GetName() + "." + recordSet->m_arrColumnNames.GetAt(i);
    name.Replace(' ', '_');
    auto column = std::make_unique<CVariable>();
    column->SetName(name);
    // No column types come from a data source in this runtime.
    DWORD flags = (variable.GetFlags() & 0xFFu) | VarFlag::kSystem | VarFlag::kColumn;
    if (variable.IsGlobal()) flags |= VarFlag::kGlobal;
    column->SetFlags(flags);
    column->SetPrecision(2);
    column->SetFormatIndex(1);
    column->SetRecordSet(variable.SharedRecordSet());
    CVariable* added = Append(std::move(column));
    if (added->IsGlobal()) MergeIntoGlobal(*added);
  }
}

void CVariableTable::Serialize(CArchive& ar) {
  ar.ReadClass(RUNTIME_CLASS(CVariableTable));
  WORD count = ar.ReadWord();
  ar.CheckAvailable(count * kMinStoredVariable);
  CVariable stored;
  for (WORD i = 0; i < count; ++i) {
    stored.Clear(TRUE);
    stored.Serialize(ar);
    if (stored.IsSystem()) continue;
    CVariable* added = Append(std::make_unique<CVariable>(stored));
    if (added->IsGlobal()) MergeIntoGlobal(*added);
    if (added->GetType() == VarType::kRecordSet) BindRecordSetColumns(*added);
  }
}
