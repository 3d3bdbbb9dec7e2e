// The table of built-in functions and the reading of their argument lists.
#include "model/builtin_table.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "model/builtin_functions.h"
#include "model/expression_evaluator.h"
#include "model/variable_context.h"
#include "platform/base/codepage.h"

namespace {

using namespace tvn::builtins;

constexpr BuiltinHandler kSystem = &SystemFunction;

constexpr BuiltinFunctionDef kFunctions[] = {
    {"LowerCase", 1, 0, &LowerCase},
    {"UpperCase", 1, 0, &UpperCase},
    {"StringLength", 1, 0, &StringLength},
    {"SubString", 2, 1, &SubString},
    {"StripTrailing", 1, 0, &StripTrailing},
    {"StripLeading", 1, 0, &StripLeading},
    {"Find", 2, 0, &Find},
    {"ReverseFind", 2, 0, &ReverseFind},
    {"Replace", 3, 0, &Replace},
    {"GetElement", 2, 2, &GetElement},
    {"FindElement", 2, 1, &FindElement},
    {"DeleteElement", 2, 2, &DeleteElement},
    {"ReplaceElement", 3, 1, &ReplaceElement},
    {"InsertElement", 3, 1, &InsertElement},
    {"ElementCount", 1, 1, &ElementCount},
    {"Random", 1, 0, &Random},
    {"GetCurrentDate", 0, 0, &GetCurrentDate},
    {"GetYear", 0, 1, &GetYear},
    {"GetMonth", 0, 1, &GetMonth},
    {"GetMonthName", 0, 1, &GetMonthName},
    {"GetDay", 0, 1, &GetDay},
    {"GetDayName", 0, 1, &GetDayName},
    {"GetHour", 0, 1, &GetHour},
    {"GetMinutes", 0, 1, &GetMinutes},
    {"GetSeconds", 0, 1, &GetSeconds},
    {"ShowCursor", 1, 0, kSystem},
    {"GotoTask", -1, -1, nullptr},
    {"IfThen", -1, -1, nullptr},
    {"IfThenElse", -1, -1, nullptr},
    {"Quit", 1, 0, kSystem},
    {"PlaySound", 1, 1, kSystem},
    {"MciCommand", 1, 1, kSystem},
    {"FileList", -1, -1, nullptr},
    {"CreateDirectory", 1, 0, kSystem},
    {"DeleteFile", 1, 0, kSystem},
    {"CopyFile", 2, 0, kSystem},
    {"RenameFile", 2, 0, kSystem},
    {"Abs", 1, 0, &Abs},
    {"Int", 1, 0, &Int},
    {"Sqrt", 1, 0, &Sqrt},
    {"Mod", 2, 0, &Mod},
    {"RoundUp", 1, 0, &RoundUp},
    {"RoundDown", 1, 0, &RoundDown},
    {"Cos", 1, 0, &Cos},
    {"Sin", 1, 0, &Sin},
    {"Tan", 1, 0, &Tan},
    {"Acos", 1, 0, &Acos},
    {"Asin", 1, 0, &Asin},
    {"Atan", 1, 0, &Atan},
    {"Exp", 1, 0, &Exp},
    {"Log", 1, 0, &Log},
    {"Log10", 1, 0, &Log10},
    {"Copy", 0, 0, kSystem},
    {"Cut", 0, 0, kSystem},
    {"Paste", 0, 0, kSystem},
    {"CheckFile", 1, 0, kSystem},
    {"CheckDiskette", 1, 0, kSystem},
    {"GetObjectWidth", 1, 0, kSystem},
    {"GetObjectHeight", 1, 0, kSystem},
    {"SetHorizScrollPosition", 1, 0, kSystem},
    {"SetVertScrollPosition", 1, 0, kSystem},
    {"RedrawWindow", 0, 0, kSystem},
    {"GetMediaPosition", 1, 0, kSystem},
    {"GetCurrentURL", 1, 0, kSystem},
    {"ReloadObject", 1, 0, kSystem},
    {"GetMediaLength", 1, 0, kSystem},
    {"SetObjectWidth", 2, 1, kSystem},
    {"SetObjectHeight", 2, 1, kSystem},
    {"GetObjectZLayer", 1, 0, kSystem},
    {"SetObjectZLayer", 2, 0, kSystem},
    {"GetCursorX", 0, 0, kSystem},
    {"GetCursorY", 0, 0, kSystem},
    {"SetCursorPosition", 2, 0, kSystem},
    {"EnableWindow", 2, 0, kSystem},
    {"SendEmail", 3, 1, kSystem},
    {"GetFocus", 0, 1, kSystem},
    {"SetFocus", 1, 0, kSystem},
    {"GetUserName", 0, 0, kSystem},
    {"GetComputerName", 0, 0, kSystem},
    {"GetWindowsDir", 0, 0, kSystem},
    {"GetWindowsSystemDir", 0, 0, kSystem},
};
static_assert(std::size(kFunctions) == BuiltinId::kCount);

// The ids grouped by name length, lowest id first within a length, so a
// lookup compares only names as long as the one it looks for, and of those
// only the ones with the same first letter in full. The names are ASCII,
// where code page 1252's upper case is the plain one.
constexpr std::size_t kLongestName = [] {
  std::size_t longest = 0;
  for (const BuiltinFunctionDef& def : kFunctions) longest = std::max(longest, std::string_view(def.name).size());
  return longest;
}();
struct NameIndex {
  std::array<std::size_t, kLongestName + 2> start{};  // ids of length n: order[start[n]] to order[start[n + 1]]
  std::array<int, std::size(kFunctions)> order{};
  std::array<char, std::size(kFunctions)> first{};  // upper-cased first letter, by id
};
constexpr NameIndex MakeNameIndex() {
  NameIndex index;
  for (std::size_t i = 0; i < std::size(kFunctions); ++i) {
    std::string_view name = kFunctions[i].name;
    for (char c : name) {
      if (static_cast<unsigned char>(c) >= 0x80) throw "built-in names are ASCII";
    }
    index.first[i] = tvn::codepage::ToUpperAscii(name.empty() ? '\0' : name[0]);
  }
  std::size_t next = 0;
  for (std::size_t length = 0; length <= kLongestName; ++length) {
    index.start[length] = next;
    for (std::size_t i = 0; i < std::size(kFunctions); ++i) {
      if (std::string_view(kFunctions[i].name).size() == length) index.order[next++] = static_cast<int>(i);
    }
  }
  index.start[kLongestName + 1] = next;
  return index;
}
constexpr NameIndex kNameIndex = MakeNameIndex();

}  // namespace

std::span<const BuiltinFunctionDef> BuiltinFunctions() { return kFunctions; }

int FindBuiltinFunction(std::string_view name) {
  if (name.empty() || name.size() > kLongestName) return -1;
  const auto first = static_cast<char>(tvn::codepage::ToUpper(static_cast<unsigned char>(name[0])));
  for (std::size_t k = kNameIndex.start[name.size()]; k < kNameIndex.start[name.size() + 1]; ++k) {
    const int id = kNameIndex.order[k];
    if (kNameIndex.first[static_cast<std::size_t>(id)] == first &&
        tvn::codepage::CompareNoCase(std::string_view(kFunctions[id].name, name.size()), name) == 0)
      return id;
  }
  return -1;
}

void CallBuiltinFunction(CExpressionEvaluator& ev, CVariable& result, int id) {
  CVariable value;
  CExpressionEvaluator::Nesting nesting(ev);
  ev.SkipSpaces();
  if (!nesting) {
    // The error is set; the value stays empty.
  } else if (ev.Peek() != '(') {
    ev.SetError(ScriptError::kNoParenthesis);
  } else {
    ev.Advance();
    if (id == BuiltinId::kIfThen || id == BuiltinId::kIfThenElse) {
      EvaluateIfThen(ev, value, id);
    } else if (id < 0 || id >= BuiltinId::kCount || id == BuiltinId::kGotoTask || id == BuiltinId::kFileList) {
      // Accepted names that do nothing; their arguments are passed over so
      // an enclosing expression does not read them as its own.
      ev.SkipToClosingParenthesis();
    } else {
      const BuiltinFunctionDef& def = kFunctions[id];
      EvalBuiltinFunction(ev, value, id, def.required, def.optional);
    }
  }
  ev.SetTokenEnd(ev.Position());
  result = std::move(value);
}

void EvalBuiltinFunction(CExpressionEvaluator& ev, CVariable& result, int id, int required, int optional) {
  CBuiltinCall call(ev.Context(), id);
  auto fail = [&](int code) {
    if (code) ev.SetError(code);
    result = std::move(call.Result());
  };
  for (int n = 0; n < required; ++n) {
    DWORD type = ev.ParseOperand(call.slots[n]);
    if (type == 0) return fail(ScriptError::kArgument);
    if (ev.Error()) return fail(0);
    ++call.argumentCount;
    ev.SkipSpaces();
    if (ev.AtEnd()) return fail(ScriptError::kArgumentList);
    if (n + 1 < required) {
      if (ev.Peek() != ',') return fail(ScriptError::kArgument);
      ev.Advance();
    }
  }
  ev.SkipSpaces();
  if (ev.AtEnd()) return fail(ScriptError::kArgumentList);
  if (optional == 0) {
    if (ev.Peek() != ')') return fail(ScriptError::kArgumentList);
    ev.Advance();
  } else {
    if (ev.Peek() == ',') ev.Advance();
    for (int k = 0; k < optional; ++k) {
      // An operand that cannot be read is an absent optional argument.
      if (ev.ParseOperand(call.slots[required + k]) == 0 || ev.Error()) ev.SetError(0);
      else ++call.argumentCount;
      ev.SkipSpaces();
      if (ev.AtEnd()) return fail(ScriptError::kArgumentList);
      if (ev.Peek() == ',') {
        ev.Advance();
      } else if (ev.Peek() == ')') {
        ev.Advance();
        break;
      }
    }
  }
  kFunctions[id].handler(call);
  result = std::move(call.Result());
}

void EvaluateIfThen(CExpressionEvaluator& ev, CVariable& result, int id) {
  result = CVariable();
  result.SetReal(0.0);
  result.SetType(VarType::kNumber);
  auto skipOrFail = [&ev]() {
    ev.SkipSpaces();
    if (ev.AtEnd()) ev.SetError(ScriptError::kArgument);
    return ev.Error() == 0;
  };
  auto comma = [&ev]() {
    if (ev.Peek() != ',') {
      ev.SetError(ScriptError::kArgument);
      return false;
    }
    ev.Advance();
    return true;
  };

  // The condition must begin with a name, a quoted text or an unsigned number.
  if (ev.ScanToken() == 0) return ev.SetError(ScriptError::kArgument);
  BOOL truth = ev.EvaluateCondition();
  if (ev.Error()) return;
  if (!skipOrFail()) return;
  while (!ev.AtEnd() && ev.Peek() != ',') ev.Advance();
  if (!comma()) return;

  const bool twoWay = id == BuiltinId::kIfThenElse;
  if (!truth && !twoWay) {
    // Nothing more is read: pass over the value so the enclosing expression goes on after the call.
    ev.SkipToClosingParenthesis();
    return;
  }
  CVariable first;
  if (!skipOrFail()) return;
  if (!ev.EvaluateExpression(first) || ev.Error()) return;
  if (!twoWay) {
    result.Copy(first);
    return;
  }
  if (!skipOrFail() || !comma()) return;
  CVariable second;
  if (!ev.EvaluateExpression(second) || ev.Error()) return;
  result.Copy(truth ? first : second);
}
