// The built-in table: names, argument counts, argument-list errors and the conditional functions.
#include "model/builtin_table.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "model/expression_evaluator.h"
#include "tests/model/test_variable_context.h"

using tvn::testing::Evaluate;
using tvn::testing::TestVariableContext;

TEST(BuiltinTable, NamesAndArgumentCountClasses) {
  auto functions = BuiltinFunctions();
  ASSERT_EQ(functions.size(), 81u);
  EXPECT_STREQ(functions[0].name, "LowerCase");
  EXPECT_STREQ(functions[37].name, "Abs");
  EXPECT_STREQ(functions[80].name, "GetWindowsSystemDir");
  // Every id outside these classes takes exactly one argument.
  const std::map<std::pair<int, int>, std::vector<int>> classes = {
      {{2, 1}, {3, 10, 66, 67}},
      {{2, 0}, {6, 7, 35, 36, 40, 69, 72, 73}},
      {{3, 0}, {8}},
      {{2, 2}, {9, 11}},
      {{3, 1}, {12, 13, 74}},
      {{1, 1}, {14, 30, 31}},
      {{0, 0}, {16, 52, 53, 54, 61, 70, 71, 77, 78, 79, 80}},
      {{0, 1}, {17, 18, 19, 20, 21, 22, 23, 24, 75}},
      {{-1, -1}, {26, 27, 28, 32}},
  };
  std::map<int, std::pair<int, int>> expected;
  for (const auto& [counts, ids] : classes)
    for (int id : ids) expected[id] = counts;
  for (int id = 0; id < 81; ++id) {
    auto want = expected.count(id) ? expected[id] : std::make_pair(1, 0);
    EXPECT_EQ(std::make_pair(functions[id].required, functions[id].optional), want) << functions[id].name;
  }
  EXPECT_EQ(FindBuiltinFunction("lowerCASE"), 0);
  EXPECT_EQ(FindBuiltinFunction("LowerCaseX"), -1);
  EXPECT_EQ(FindBuiltinFunction("Lower"), -1);
  EXPECT_EQ(FindBuiltinFunction(""), -1);
}

TEST(BuiltinDispatch, ArgumentListErrors) {
  TestVariableContext ctx;
  ctx.Declare("s", VarType::kString).SetString("abcdef");
  ctx.Declare("t", VarType::kString).SetString("cd");
  ctx.Declare("x", VarType::kNumber).SetReal(3);
  struct Row { const char* expression; int error; };
  const Row rows[] = {
      {"LowerCase s", 16},        {"Find(s)", 18},            {"Find(s, t", 17},
      {"StringLength(x+1)", 17},  {"Sqrt(x+1)", 17},          {"Find(, t)", 18},
      {"GetCursorX( 1)", 17},     {"Find(s t)", 18},          {"SubString(s, 2", 17},
      {"IfThen((x = 1), 5)", 18}, {"IfThen(-1 < x, 5)", 18},  {"IfThen(x = 3)", 18},
      {"IfThenElse(x = 3, 5)", 18}, {"IfThenElse(x = 3, 5,", 0}, {"IfThen()", 18},
      {"Find(s, t)", 0},          {"GetYear()", 0},           {"GetYear(  )", 0},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i)
    EXPECT_EQ(Evaluate(ctx, rows[i].expression).error, rows[i].error) << "row " << i << ": " << rows[i].expression;
}

TEST(BuiltinDispatch, OptionalArgumentsAreCounted) {
  TestVariableContext ctx;
  ctx.Declare("s", VarType::kString).SetString("abcdef");
  EXPECT_EQ(Evaluate(ctx, "SubString(s, 2)").value.GetString(), "cdef");
  EXPECT_EQ(Evaluate(ctx, "SubString(s, 2, 3)").value.GetString(), "cde");
  EXPECT_EQ(Evaluate(ctx, "SubString(s, 2,)").value.GetString(), "cdef");
  EXPECT_EQ(Evaluate(ctx, "GetElement(\"a;b;c\", 2, 3, \";\")").value.GetString(), "b;c");
  EXPECT_EQ(Evaluate(ctx, "upperCASE(s) + \"!\"").value.GetString(), "ABCDEF!");
}

TEST(BuiltinDispatch, StatementsCallBuiltinsFirstAndOperandsVariablesFirst) {
  TestVariableContext ctx;
  CVariable& shadow = ctx.Declare("Abs", VarType::kNumber);
  shadow.SetReal(42);
  EXPECT_EQ(Evaluate(ctx, "Abs + 1").value.GetReal(), 43);
  // As a statement the line calls the built-in and ignores the rest.
  EXPECT_EQ(ExecuteScript(ctx, "Abs(-3) = 7"), 0);
  EXPECT_EQ(shadow.GetReal(), 42);
  EXPECT_EQ(ExecuteScript(ctx, "Abs -3"), ScriptError::kNoParenthesis);
}

TEST(BuiltinConditional, IfThenAndIfThenElse) {
  TestVariableContext ctx;
  ctx.Declare("a", VarType::kNumber).SetReal(1);
  EXPECT_EQ(Evaluate(ctx, "IfThenElse(1 = 1, 5, 7)").value.GetReal(), 5);
  EXPECT_EQ(Evaluate(ctx, "IfThenElse(1 = 2, 5, 7)").value.GetReal(), 7);
  EXPECT_EQ(Evaluate(ctx, "IfThenElse(a = 1, \"yes\", \"no\") + \"!\"").value.GetString(), "yes!");
  EXPECT_EQ(Evaluate(ctx, "IfThen(a = 1, 2 + 3) * 2").value.GetReal(), 10);
  // A false IfThen is 0 and its value is passed over, however it is written.
  EXPECT_EQ(Evaluate(ctx, "IfThen(a = 2, \"),\" + (1 + 2)) + 4").value.GetReal(), 4);
  EXPECT_EQ(Evaluate(ctx, "GotoTask(3, \")\") + 4").value.GetString(), "");
  EXPECT_EQ(Evaluate(ctx, "1 + FileList((1), 2) + 4").value.GetReal(), 5);

  // Both branches of IfThenElse run; IfThen runs its value only when true.
  struct Counting : TestVariableContext {
    BOOL RunSystemFunction(int, CBuiltinCall& call) override {
      ++calls;
      call.SetNumber(calls);
      return TRUE;
    }
    int calls = 0;
  } counting;
  Evaluate(counting, "IfThenElse(1 = 1, GetCursorX(), GetCursorY())");
  EXPECT_EQ(counting.calls, 2);
  EXPECT_EQ(ExecuteScript(counting, "IfThen(1 = 2, GetCursorX())"), 0);
  EXPECT_EQ(counting.calls, 2);
  EXPECT_EQ(ExecuteScript(counting, "IfThen(1 = 1, GetCursorX())"), 0);
  EXPECT_EQ(counting.calls, 3);
}

TEST(BuiltinSystem, UnavailableFunctionsReportAndGiveZero) {
  TestVariableContext ctx;
  auto outcome = Evaluate(ctx, "GetUserName()");
  EXPECT_EQ(outcome.error, 0);
  EXPECT_EQ(outcome.value.GetType(), VarType::kNumber);
  EXPECT_EQ(outcome.value.GetReal(), 0);
  EXPECT_EQ(ctx.Var("ErrorNumber").GetLong(), 120);
  EXPECT_EQ(ctx.Var("ErrorMessage").GetString(), "GetUserName: this function is not supported on this system.");
  EXPECT_EQ(ExecuteScript(ctx, "ShowCursor(1)"), 0);
  EXPECT_EQ(ExecuteScript(ctx, "Copy()"), 0);
}
