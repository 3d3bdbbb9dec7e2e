// The built-in functions of the script language: their table, argument reading and dispatch.
#pragma once

#include <span>
#include <string_view>

#include "model/variable.h"

class CExpressionEvaluator;
class CVariableContext;

// One call's arguments. Slot 1 doubles as the result: a function writes its
// value and type there, and one that writes nothing yields its first
// argument (an empty string when it takes none).
struct CBuiltinCall {
  CBuiltinCall(CVariableContext& ctx, int functionId) : context(ctx), id(functionId) {}

  CVariable& Arg(int n) { return slots[n - 1]; }
  CVariable& Result() { return slots[0]; }
  void SetNumber(double value) {
    slots[0].SetReal(value);
    slots[0].SetType(VarType::kNumber);
  }
  void SetText(const CString& text) {
    slots[0].SetString(text);
    slots[0].SetType(VarType::kString);
  }

  CVariableContext& context;
  int id;
  CVariable slots[4];
  int argumentCount = 0;  // operands actually read, optional ones included
};

using BuiltinHandler = void (*)(CBuiltinCall& call);

struct BuiltinFunctionDef {
  const char* name;
  int required;  // -1 for the functions that read their own arguments
  int optional;
  BuiltinHandler handler;  // null where the dispatch itself gives the value
};

namespace BuiltinId {
constexpr int kGotoTask = 26;
constexpr int kIfThen = 27;
constexpr int kIfThenElse = 28;
constexpr int kFileList = 32;
constexpr int kCount = 81;
}  // namespace BuiltinId

// The 81 functions in id order.
std::span<const BuiltinFunctionDef> BuiltinFunctions();
// The id of a name (any case, exact length), or -1.
int FindBuiltinFunction(std::string_view name);

// Runs function id with the evaluator standing just after its name; the
// evaluator's token end is left at the position reached and its error code
// tells whether the argument list was sound.
void CallBuiltinFunction(CExpressionEvaluator& ev, CVariable& result, int id);
void EvalBuiltinFunction(CExpressionEvaluator& ev, CVariable& result, int id, int required, int optional);
void EvaluateIfThen(CExpressionEvaluator& ev, CVariable& result, int id);
