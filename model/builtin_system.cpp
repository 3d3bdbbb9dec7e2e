// Built-ins that act outside the values, handed to the context that can run them.
#include "model/builtin_functions.h"
#include "model/variable_context.h"

namespace tvn::builtins {
namespace {

// The system's "not supported" error code, as a missing library function reports.
constexpr int kNotSupported = 120;

}  // namespace

void SystemFunction(CBuiltinCall& call) {
  if (call.context.RunSystemFunction(call.id, call)) return;
  CString message = CString(BuiltinFunctions()[static_cast<std::size_t>(call.id)].name) +
                    ": this function is not supported on this system.";
  SetErrorVariables(call.context, kNotSupported, message.GetString());
  call.Result() = CVariable();
  call.SetNumber(0);
}

}  // namespace tvn::builtins
