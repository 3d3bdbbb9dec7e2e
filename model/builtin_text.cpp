// Built-in text functions: case, length, substrings, stripping, searching and replacing.
#include <algorithm>

#include "model/builtin_functions.h"
#include "model/expression_evaluator.h"
#include "model/value_conversion.h"

namespace tvn::builtins {

void LowerCase(CBuiltinCall& call) {
  CString text = call.Arg(1).GetString();
  call.SetText(text.MakeLower());
}

void UpperCase(CBuiltinCall& call) {
  CString text = call.Arg(1).GetString();
  call.SetText(text.MakeUpper());
}

void StringLength(CBuiltinCall& call) { call.SetNumber(call.Arg(1).GetString().GetLength()); }

void SubString(CBuiltinCall& call) {
  const std::string& text = call.Arg(1).GetString().str();
  long long start = std::max<LONG>(values::TruncateToLong(call.Arg(2).GetReal()), 0);
  long long count = static_cast<long long>(text.size());
  if (call.argumentCount >= 3) count = std::max<LONG>(values::TruncateToLong(call.Arg(3).GetReal()), 0);
  CString part;
  if (start < static_cast<long long>(text.size()))
    part = CString(text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(count)));
  call.SetText(part);
}

void StripTrailing(CBuiltinCall& call) {
  std::string_view text = call.Arg(1).GetString().view();
  while (!text.empty() && CExpressionEvaluator::IsSpace(text.back())) text.remove_suffix(1);
  call.SetText(CString(text));
}

void StripLeading(CBuiltinCall& call) {
  std::string_view text = call.Arg(1).GetString().view();
  while (!text.empty() && CExpressionEvaluator::IsSpace(text.front())) text.remove_prefix(1);
  call.SetText(CString(text));
}

void Find(CBuiltinCall& call) {
  std::size_t at = call.Arg(1).GetString().view().find(call.Arg(2).GetString().view());
  call.SetNumber(at == std::string_view::npos ? 0.0 : static_cast<double>(at) + 1);
}

void ReverseFind(CBuiltinCall& call) {
  std::string_view text = call.Arg(1).GetString().view();
  std::string_view what = call.Arg(2).GetString().view();
  // Only the first byte is looked for; an empty text finds the terminator.
  if (what.empty()) {
    call.SetNumber(static_cast<double>(text.size()) + 1);
    return;
  }
  std::size_t at = text.rfind(what.front());
  call.SetNumber(at == std::string_view::npos ? 0.0 : static_cast<double>(at) + 1);
}

void Replace(CBuiltinCall& call) {
  CString text = call.Arg(1).GetString();
  text.Replace(call.Arg(2).GetString().view(), call.Arg(3).GetString().view());
  call.SetText(text);
}

}  // namespace tvn::builtins
