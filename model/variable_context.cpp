// Lookups across the course and global tables, and the error variables.
#include "model/variable_context.h"

#include "model/variable_table.h"
#include "platform/base/local_time.h"

std::int64_t CVariableContext::Now() { return tvn::localtime::Now(); }

BOOL CVariableContext::GetMciErrorText(DWORD, CString&) { return FALSE; }

BOOL CVariableContext::RunSystemFunction(int, CBuiltinCall&) { return FALSE; }

CVariable* FindVariable(CVariableContext& context, std::string_view name) {
  const auto hash = static_cast<std::uint32_t>(CVariable::ComputeId(name));
  if (CVariableTable* course = context.GetCourseTable()) {
    if (CVariable* v = course->FindByName(name, hash)) return v;
  }
  CVariableTable* global = context.GetGlobalTable();
  return global ? global->FindByName(name, hash) : nullptr;
}

CVariable* FindVariableById(CVariableContext& context, LONG id) {
  if (CVariableTable* course = context.GetCourseTable()) {
    if (CVariable* v = course->FindById(id)) return v;
  }
  CVariableTable* global = context.GetGlobalTable();
  return global ? global->FindById(id) : nullptr;
}

int SetErrorVariables(CVariableContext& context, int code, const char* text) {
  if (CVariable* number = FindVariable(context, "ErrorNumber")) number->SetLong(code);
  CVariable* message = FindVariable(context, "ErrorMessage");
  if (!message) return 0;
  message->SetString(text ? text : "");
  return 1;
}

void SetMciError(CVariableContext& context, DWORD code) {
  CString text;
  if (code != 0 && !context.GetMciErrorText(code, text)) text = "Unknown MCI Error";
  // An MCI error text is at most 255 bytes.
  if (text.GetLength() > 255) text = text.Left(255);
  SetErrorVariables(context, static_cast<int>(code), text.GetString());
}

void CVariableContext::SetErrorVariables(LONG number, const CString& message) {
  ::SetErrorVariables(*this, number, message.GetString());
}
