// The script language through its entry points: statements, arithmetic, conditions, placeholders.
#include "model/expression_evaluator.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>

#include "model/builtin_table.h"
#include "model/script.h"
#include "tests/model/test_variable_context.h"

using tvn::testing::Evaluate;
using tvn::testing::Outcome;
using tvn::testing::TestVariableContext;

namespace {

double Number(TestVariableContext& ctx, const std::string& expression) {
  Outcome o = Evaluate(ctx, expression);
  EXPECT_EQ(o.error, 0) << expression;
  EXPECT_EQ(o.value.GetType(), VarType::kNumber) << expression;
  return o.value.GetReal();
}

std::string Text(TestVariableContext& ctx, const std::string& expression) {
  Outcome o = Evaluate(ctx, expression);
  EXPECT_EQ(o.error, 0) << expression;
  return o.value.GetString().str();
}

}  // namespace

TEST(ScriptArithmetic, LeftToRightWithoutPrecedence) {
  TestVariableContext ctx;
  struct Row { const char* expression; double value; };
  const Row rows[] = {
      {"2 + 3 * 4", 20},  {"10 - 2 - 3", 5}, {"(1 + 2) * 3", 9}, {"2 * (3 + 4)", 14}, {"7 / 2", 3.5},
      {"7 / 0", 7},       {"2 ^ 10", 1024},  {"-5", -5},         {"1 + -5", -4},      {"5 +", 5},
      {"3.25", 3.25},     {"2e5", 200000},   {"12abc", 12},      {"((4))", 4},        {"1 + 2)", 3},
      {"2e-1", 1},  // the token stops at "-": 2 minus 1
  };
  for (std::size_t i = 0; i < std::size(rows); ++i)
    EXPECT_DOUBLE_EQ(Number(ctx, rows[i].expression), rows[i].value) << "row " << i << ": " << rows[i].expression;
}

TEST(ScriptArithmetic, TheRightOperandChoosesTheKindOfValue) {
  TestVariableContext ctx;
  ctx.Var("ClickX").SetLong(7);
  // The left value is converted to the right's kind: integer counters add up.
  EXPECT_DOUBLE_EQ(Number(ctx, "ClickX + 10"), 17);
  Outcome sum = Evaluate(ctx, "10.5 + ClickX");
  EXPECT_EQ(sum.value.GetType(), VarType::kInteger);
  EXPECT_EQ(sum.value.GetLong(), 17);
  CVariable& counter = ctx.Declare("Counter", VarType::kInteger);
  for (int i = 0; i < 3; ++i) ExecuteScript(ctx, CString("Counter = Counter + 1"));
  EXPECT_EQ(counter.GetLong(), 3);

  EXPECT_EQ(Text(ctx, "\"ab\" + \"cd\""), "abcd");
  EXPECT_EQ(Evaluate(ctx, "\"ab\" - \"cd\"").value.GetType(), VarType::kNone);

  CVariable& big = ctx.Declare("Big", VarType::kInteger);
  big.SetLong(INT_MAX);
  CVariable& minusOne = ctx.Declare("MinusOne", VarType::kInteger);
  minusOne.SetLong(-1);
  CVariable& smallest = ctx.Declare("Smallest", VarType::kInteger);
  smallest.SetLong(INT_MIN);
  CVariable& zero = ctx.Declare("Zero", VarType::kInteger);
  // 32-bit integer arithmetic wraps; division by 0 leaves the left value.
  EXPECT_EQ(Evaluate(ctx, "Big + Big").value.GetLong(), -2);
  EXPECT_EQ(Evaluate(ctx, "Big * Big").value.GetLong(), 1);
  EXPECT_EQ(Evaluate(ctx, "Smallest / MinusOne").value.GetLong(), INT_MIN);
  EXPECT_EQ(Evaluate(ctx, "Big / Zero").value.GetLong(), INT_MAX);
  // The left value is converted before it is kept.
  EXPECT_DOUBLE_EQ(Evaluate(ctx, "ClickX / 0.0").value.GetReal(), 7);
  EXPECT_EQ(Evaluate(ctx, "7.9 / Zero").value.GetLong(), 7);
  zero.SetLong(3);
  EXPECT_EQ(Evaluate(ctx, "Zero ^ Zero").value.GetLong(), 27);
  EXPECT_EQ(Evaluate(ctx, "Big ^ Big").value.GetLong(), INT_MAX);  // saturates

  CVariable& when = ctx.Declare("When", VarType::kDateTime);
  when.SetDateTime(1000);
  CVariable& span = ctx.Declare("Span", VarType::kTimeSpan);
  span.SetTimeSpan(60);
  when.SetTimeSpan(5);
  Outcome later = Evaluate(ctx, "When + When");  // the right side's time-span seconds
  EXPECT_EQ(later.value.GetType(), VarType::kDateTime);
  EXPECT_EQ(later.value.GetDateTime(), 1005);
  Outcome spans = Evaluate(ctx, "Span - Span + 1:02:05");
  EXPECT_EQ(spans.value.GetType(), VarType::kTimeSpan);
  EXPECT_EQ(spans.value.GetTimeSpan(), 3725);
}

TEST(ScriptArithmetic, ErrorsStopTheScriptAfterEarlierLines) {
  TestVariableContext ctx;
  struct Row { const char* script; int error; };
  const Row rows[] = {
      {"R = 3 *-2", 9},       {"R = 1 2", 9},         {"R = nothing", 13},    {"R 5", 14},
      {"   ", 1},             {"=5", 1},              {"R = \"ab\"\"", 12},   {" ; comment", 14},
      {"R = * 2", 13},        {"R = 1 + , 2", 13},
      {"; comment\nR = 1", 0}, {"R = 1\r\n\r\nR = 2", 0}, {"R = \"open", 0},
  };
  ctx.Declare("R", VarType::kNone);
  for (std::size_t i = 0; i < std::size(rows); ++i)
    EXPECT_EQ(ExecuteScript(ctx, rows[i].script), rows[i].error) << "row " << i << ": " << rows[i].script;
  EXPECT_EQ(ctx.course->GetErrorCode(), 0);

  CVariable& a = ctx.Declare("A", VarType::kNumber);
  EXPECT_EQ(ExecuteScript(ctx, "A = 1\nA = bogus\nA = 3"), 13);
  EXPECT_EQ(a.GetReal(), 1);
  EXPECT_EQ(ctx.course->GetErrorCode(), 13);
}

TEST(ScriptStatements, AssignmentConvertsToTheTargetType) {
  TestVariableContext ctx;
  CVariable& s = ctx.Declare("S", VarType::kString);
  CVariable& n = ctx.Declare("N", VarType::kNumber);
  CVariable& i = ctx.Declare("I", VarType::kInteger);
  CVariable& p2 = ctx.Declare("P2", VarType::kNumber, 2);
  CVariable& p3 = ctx.Declare("P3", VarType::kNumber, 3);
  p2.SetReal(2.75);
  p3.SetReal(2.75);
  ASSERT_EQ(ExecuteScript(ctx, "S = 2.75"), 0);
  EXPECT_EQ(s.GetString(), "3");
  ExecuteScript(ctx, "S = P2");
  EXPECT_EQ(s.GetString(), "2.75");
  ExecuteScript(ctx, "S = P3");
  EXPECT_EQ(s.GetString(), "2.750");
  ExecuteScript(ctx, "S = 1e39");
  EXPECT_EQ(s.GetString(), "1e+39");
  ExecuteScript(ctx, "N = \"12.5kg\"\nI = \"-42x\"");
  EXPECT_EQ(n.GetReal(), 12.5);
  EXPECT_EQ(i.GetLong(), -42);
  ExecuteScript(ctx, "I = -2.9\nS = I");
  EXPECT_EQ(i.GetLong(), -2);
  EXPECT_EQ(s.GetString(), "-2");
  ExecuteScript(ctx, "I = 1e12");
  EXPECT_EQ(i.GetLong(), INT_MAX);
  ExecuteScript(ctx, "x = -5\nN = x\nN = N + 1");
  EXPECT_EQ(n.GetReal(), -4);
  ExecuteScript(ctx, "x=-5\nN = x");
  EXPECT_EQ(n.GetReal(), -5);
  ExecuteScript(ctx, "S = \"a\"\"b\"");
  EXPECT_EQ(s.GetString(), "a\"b");
  EXPECT_EQ(n.GetPrecision(), 0);  // the target keeps its own precision
}

TEST(ScriptStatements, TemporariesLiveForOneRunAndScoreCountersReset) {
  TestVariableContext ctx;
  const int before = ctx.course->GetCount();
  CVariable& n = ctx.Declare("N", VarType::kNumber);
  ASSERT_EQ(ExecuteScript(ctx, "t = 4\nt = t * 2\nN = t"), 0);
  EXPECT_EQ(n.GetReal(), 8);
  EXPECT_EQ(ctx.course->GetCount(), before + 1);
  EXPECT_EQ(FindVariable(ctx, "t"), nullptr);

  ExecuteScript(ctx, "QuestionsCorrect = 5");
  EXPECT_EQ(ctx.scoreResets, 0);
  ExecuteScript(ctx, "QuestionsCorrect = 0");
  EXPECT_EQ(ctx.scoreResets, 1);

  ctx.courseCurrent = false;
  EXPECT_EQ(ExecuteScript(ctx, "StudentName = \"x\""), 0);
  EXPECT_EQ(ctx.Var("StudentName").GetString(), "");
  EXPECT_EQ(CheckCondition(ctx, "1 = 1"), 0);
}

TEST(ScriptConditions, ComparisonsAndLogicalWords) {
  TestVariableContext ctx;
  ctx.Declare("a", VarType::kNumber).SetReal(2);
  ctx.Declare("Name", VarType::kString).SetString("Bob");
  ctx.Var("ClickX").SetLong(3);
  struct Row { const char* condition; int truth; };
  const Row rows[] = {
      {"1.01 = 1.02", 1},           {"1.01 < 1.02", 1},          {"1.01 <> 1.02", 0},
      {"1.5 >= 1.51", 1},           {"2 > 1", 1},                {"a = 2", 1},
      {"a = 1 and b = 2 or c = 3", 0},  // stops at "and" without reading the rest
      {"a = 2 or a = 1", 1},        {"a = 1 or a = 2", 1},       {"a = 2 not a = 3", 0},
      {"a = 3 not a = 2", 1},       {"a = 2 and", 1},            {"Name = \"Bob\"", 1},
      {"Name < \"Bobby\"", 1},      {"Name = \"bob\"", 0},       {"ClickX = 3", 1},
      {"ClickX > 2.5", 1},          {"a = 2 and (a = 1)", 0},    {"a = 2 AND a = 2", 1},
      {"1e12 = 1e12", 1},           {"a > -1e300", 1},       {"\"x\" = ClickX", 0},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i)
    EXPECT_EQ(CheckCondition(ctx, rows[i].condition), rows[i].truth) << "row " << i << ": " << rows[i].condition;
}

TEST(ScriptConditions, ErrorsReadAsFalseAndStayInTheTable) {
  TestVariableContext ctx;
  ctx.Declare("x", VarType::kNumber).SetReal(-5);
  struct Row { const char* condition; int error; };
  const Row rows[] = {
      {"x=-5", 2}, {"x = 1 xor x = 2", 3}, {"", 1}, {"   ", 1}, {"(x = -5)", 1}, {"x = y", 13}, {"x = -5", 0},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    WORD truth = CheckCondition(ctx, rows[i].condition);
    EXPECT_EQ(ctx.course->GetErrorCode(), rows[i].error) << "row " << i << ": " << rows[i].condition;
    if (rows[i].error) {
      EXPECT_EQ(truth, 0) << "row " << i;
    }
  }
}

TEST(ScriptPlaceholders, ExpansionOrderModesAndQuoting) {
  TestVariableContext ctx;
  ctx.Var("StudentName").SetString("Ann");
  ctx.Declare("Score", VarType::kNumber, 1).SetReal(9.25);
  EXPECT_EQ(ExpandVariables(ctx, "Hi {StudentName}, {Score} {Unknown} {StudentName}", FALSE),
            "Hi Ann, 9.2 {Unknown} Ann");
  EXPECT_EQ(ExpandVariables(ctx, "{StudentName} \\{StudentName\\}", TRUE), "{StudentName} Ann");
  EXPECT_EQ(ExpandVariables(ctx, "no braces", TRUE), "no braces");

  // A course variable flagged global does not expand from the course table.
  CVariable& hidden = ctx.Declare("Hidden", VarType::kString);
  hidden.SetString("secret");
  hidden.SetFlags(hidden.GetFlags() | VarFlag::kGlobal);
  EXPECT_EQ(ExpandVariables(ctx, "{Hidden}", FALSE), "{Hidden}");
  // Inserted text is not scanned again for the same variable.
  ctx.Var("StudentName").SetString("{StudentName}");
  EXPECT_EQ(ExpandVariables(ctx, "{StudentName}!", FALSE), "{StudentName}!");

  // Learner input inside a literal of a script cannot end the literal.
  CVariable& s = ctx.Declare("S", VarType::kString);
  ctx.Var("AnswerText").SetString("x\" + LowerCase(\"Y");
  ASSERT_EQ(ExecuteScript(ctx, "S = \"Hello {AnswerText}\""), 0);
  EXPECT_EQ(s.GetString(), "Hello x\" + LowerCase(\"Y");
  ctx.Var("StudentName").SetString("Ann");
  ASSERT_EQ(ExecuteScript(ctx, "S = \"Hello \" + \"{StudentName}\""), 0);
  EXPECT_EQ(s.GetString(), "Hello Ann");
  // Outside a literal a placeholder is plain text substitution.
  ctx.Var("AnswerText").SetString("2 + 3");
  CVariable& n = ctx.Declare("N", VarType::kNumber);
  ExecuteScript(ctx, "N = {AnswerText} * 2");
  EXPECT_EQ(n.GetReal(), 10);
}

TEST(ScriptNesting, DeepNestingIsAnErrorNotACrash) {
  TestVariableContext ctx;
  std::string deep = std::string(5000, '(') + "1" + std::string(5000, ')');
  EXPECT_EQ(Evaluate(ctx, deep).error, ScriptError::kUnknownOperand);
  std::string calls;
  for (int i = 0; i < 5000; ++i) calls += "Abs(";
  calls += "1" + std::string(5000, ')');
  EXPECT_EQ(Evaluate(ctx, calls).error, ScriptError::kUnknownOperand);
  std::string conditions = std::string(5000, '(');
  EXPECT_EQ(CheckCondition(ctx, "a = 1 and " + conditions), 0);
  std::string fine = std::string(100, '(') + "1" + std::string(100, ')');
  EXPECT_DOUBLE_EQ(Number(ctx, fine), 1);
}

TEST(ScriptNesting, AnInnerScriptLeavesTheOuterRunAlone) {
  // A system built-in that runs another script while the outer one is busy.
  struct Reentrant : TestVariableContext {
    BOOL RunSystemFunction(int, CBuiltinCall& call) override {
      innerError = ExecuteScript(*this, "inner = 1\nN = N + 100\nbroken line");
      call.SetNumber(1);
      return TRUE;
    }
    int innerError = -1;
  } ctx;
  CVariable& n = ctx.Declare("N", VarType::kNumber);
  ASSERT_EQ(ExecuteScript(ctx, "outer = 5\nN = GetCursorX() + outer\nN = N + outer"), 0);
  EXPECT_EQ(ctx.innerError, 14);
  EXPECT_EQ(n.GetReal(), 11);
  EXPECT_EQ(FindVariable(ctx, "outer"), nullptr);
  EXPECT_EQ(FindVariable(ctx, "inner"), nullptr);
}

TEST(ScriptNumbers, ReadAndPrintedInTheCLocaleWhateverTheProcessLocale) {
  std::string saved = std::setlocale(LC_ALL, nullptr);
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "no German locale installed";
  TestVariableContext ctx;
  CVariable& s = ctx.Declare("S", VarType::kString);
  CVariable& n = ctx.Declare("N", VarType::kNumber, 2);
  EXPECT_EQ(ExecuteScript(ctx, "N = 1.5 + 2.25\nS = N\nN = \"0.5\""), 0);
  EXPECT_EQ(s.GetString(), "3.75");
  EXPECT_EQ(n.GetReal(), 0.5);
  EXPECT_EQ(CheckCondition(ctx, "N = 0.5"), 1);
  std::setlocale(LC_ALL, saved.c_str());
}
