// A variable context for tests: a course table, a global table and a fixed clock.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "model/script.h"
#include "model/variable_context.h"
#include "model/variable_table.h"

namespace tvn::testing {

class TestVariableContext : public CVariableContext {
 public:
  TestVariableContext() : course(std::make_unique<CVariableTable>(1)), global(0) {}

  CVariableTable* GetCourseTable() override { return courseCurrent ? course.get() : nullptr; }
  CVariableTable* GetGlobalTable() override { return &global; }
  std::int64_t Now() override { return now; }
  void OnScoreCounterCleared() override { ++scoreResets; }

  CVariable& Var(std::string_view name) {
    CVariable* v = FindVariable(*this, name);
    if (!v) throw std::runtime_error("no variable " + std::string(name));
    return *v;
  }
  // Declares a course variable of a type.
  CVariable& Declare(const char* name, DWORD type, int precision = 0) {
    auto v = std::make_unique<CVariable>();
    v->SetName(name);
    v->SetType(type);
    v->SetPrecision(precision);
    return *course->Append(std::move(v));
  }

  std::unique_ptr<CVariableTable> course;
  CVariableTable global;
  bool courseCurrent = true;
  std::int64_t now = 946684799;  // Friday 31 December 1999 23:59:59 UTC
  int scoreResets = 0;
};

// What a script assigning an expression to the untyped course variable R left.
struct Outcome {
  int error;
  CVariable value;
};
inline Outcome Evaluate(TestVariableContext& ctx, const std::string& expression) {
  CVariable* r = ctx.course->FindByName("R");
  if (!r) r = &ctx.Declare("R", VarType::kNone);
  r->Clear(TRUE);
  r->SetType(VarType::kNone);
  int error = ExecuteScript(ctx, CString("R = " + expression));
  return {error, *r};
}

}  // namespace tvn::testing
