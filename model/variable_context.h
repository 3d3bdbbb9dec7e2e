// CVariableContext: what scripts and lookups need of the running program.
#pragma once

#include <cstdint>
#include <string_view>

#include "model/error_variables.h"
#include "model/script_random.h"
#include "platform/base/cstring.h"

class CVariable;
class CVariableTable;
struct CBuiltinCall;

// Filled by the application: the current course's table, the global table
// and the services that built-in functions reach. One context serves a whole
// run; it holds no evaluator state, so scripts may nest.
class CVariableContext : public IErrorVariables {
 public:
  ~CVariableContext() override = default;

  // The current course's table, null when no course is current.
  virtual CVariableTable* GetCourseTable() = 0;
  virtual CVariableTable* GetGlobalTable() = 0;

  // Seconds since 1970; tests inject their own clock.
  virtual std::int64_t Now();
  // The run's generator for Random.
  CScriptRandom& Random() { return m_random; }

  // A script set one of the score counters to 0: the course resets the
  // answers of its tasks and recounts its questions.
  virtual void OnScoreCounterCleared() {}

  // The multimedia system's text for an MCI error code; FALSE when it has none.
  virtual BOOL GetMciErrorText(DWORD code, CString& text);

  // Runs a built-in that acts outside the values (program, files, windows,
  // page objects, media). FALSE when this context does not provide it.
  virtual BOOL RunSystemFunction(int id, CBuiltinCall& call);

  // File and media helpers report their errors through this.
  void SetErrorVariables(LONG number, const CString& message) override;

 private:
  CScriptRandom m_random;
};

// Current course's table first (skipping its global variables), then the global table.
CVariable* FindVariable(CVariableContext& context, std::string_view name);
CVariable* FindVariableById(CVariableContext& context, LONG id);

// "ErrorNumber" gets code, "ErrorMessage" text (empty for null); 0 when
// "ErrorMessage" does not exist.
int SetErrorVariables(CVariableContext& context, int code, const char* text);
// The MCI error code and the multimedia system's text for it.
void SetMciError(CVariableContext& context, DWORD code);
