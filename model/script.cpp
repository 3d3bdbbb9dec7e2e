// Running scripts and conditions of the current course, and expanding placeholders.
#include "model/script.h"

#include "model/expression_evaluator.h"
#include "model/variable_context.h"
#include "model/variable_table.h"

namespace {

// Whether position pos of a script lies inside a string literal opened on its line.
bool InsideLiteral(const std::string& text, std::size_t pos) {
  std::size_t lineStart = 0;
  if (pos > 0) {
    std::size_t lineEnd = text.find_last_of("\r\n", pos - 1);
    if (lineEnd != std::string::npos) lineStart = lineEnd + 1;
  }
  bool open = false;
  for (std::size_t i = lineStart; i < pos; ++i) {
    if (text[i] == '"') open = !open;
  }
  return open;
}

void ExpandTable(CVariableContext& context, const CVariableTable& table, std::string& text, ExpandMode mode) {
  const bool rich = mode == ExpandMode::kRichText;
  for (const auto& v : table.Variables()) {
    if (v->GetName().IsEmpty() || (table.IsCourseTable() && v->IsGlobal())) continue;
    std::string placeholder = rich ? "\\{" + v->GetName().str() + "\\}" : "{" + v->GetName().str() + "}";
    std::size_t at = text.find(placeholder);
    if (at == std::string::npos) continue;
    CString value;
    if (!v->GetValueText(value, context.Now())) continue;
    std::string quoted;
    for (; at != std::string::npos; at = text.find(placeholder, at)) {
      const std::string* insert = &value.str();
      if (mode == ExpandMode::kScript && InsideLiteral(text, at)) {
        // Learner input must not end the literal and run as script.
        quoted = value.str();
        for (std::size_t q = quoted.find('"'); q != std::string::npos; q = quoted.find('"', q + 2)) quoted.insert(q, 1, '"');
        insert = &quoted;
      }
      text.replace(at, placeholder.size(), *insert);
      at += insert->size();
    }
  }
}

}  // namespace

CString ExpandVariables(CVariableContext& context, const CString& text, ExpandMode mode) {
  if (text.Find(mode == ExpandMode::kRichText ? "\\{" : "{") < 0) return text;
  std::string out = text.str();
  if (const CVariableTable* course = context.GetCourseTable()) ExpandTable(context, *course, out, mode);
  if (const CVariableTable* global = context.GetGlobalTable()) ExpandTable(context, *global, out, mode);
  return CString(std::move(out));
}

WORD ExecuteScript(CVariableContext& context, const CString& script) {
  CVariableTable* table = context.GetCourseTable();
  if (!table) return 0;
  CString expanded = ExpandVariables(context, script, ExpandMode::kScript);
  CExpressionEvaluator evaluator(context, *table);
  return static_cast<WORD>(evaluator.RunStatements(expanded.view()));
}

WORD CheckCondition(CVariableContext& context, const CString& condition) {
  CVariableTable* table = context.GetCourseTable();
  if (!table) return 0;
  CString expanded = ExpandVariables(context, condition, ExpandMode::kScript);
  CExpressionEvaluator evaluator(context, *table);
  return evaluator.CheckConditionText(expanded.view()) ? 1 : 0;
}
