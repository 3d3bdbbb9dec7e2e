// The value built-ins: text, list elements, numbers, random numbers, dates and times.
#include "model/builtin_functions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <set>

#include "model/builtin_lists.h"
#include "tests/model/test_variable_context.h"

using tvn::testing::Evaluate;
using tvn::testing::TestVariableContext;
namespace lists = tvn::lists;

namespace {

const bool kUtc = [] {
  setenv("TZ", "UTC", 1);
  tzset();
  return true;
}();

std::string Text(TestVariableContext& ctx, const std::string& expression) {
  auto o = Evaluate(ctx, expression);
  EXPECT_EQ(o.error, 0) << expression;
  EXPECT_EQ(o.value.GetType(), VarType::kString) << expression;
  return o.value.GetString().str();
}

double Number(TestVariableContext& ctx, const std::string& expression) {
  auto o = Evaluate(ctx, expression);
  EXPECT_EQ(o.error, 0) << expression;
  EXPECT_EQ(o.value.GetType(), VarType::kNumber) << expression;
  return o.value.GetReal();
}

}  // namespace

TEST(BuiltinText, Functions) {
  TestVariableContext ctx;
  struct Row { const char* expression; const char* text; };
  const Row texts[] = {
      {"SubString(\"abcdef\", 2, 3)", "cde"}, {"SubString(\"abcdef\", 10)", ""}, {"SubString(\"abcdef\", -3, 2)", "ab"},
      {"SubString(\"abcdef\", 4, -1)", ""},  {"SubString(\"abcdef\", 4, 99)", "ef"},
      {"LowerCase(\"AbC\xC9\")", "abc\xE9"},  {"UpperCase(\"abc\")", "ABC"},
      {"StripTrailing(\" a \t\")", " a"},    {"StripLeading(\" \ta \")", "a "},
      {"Replace(\"aaa\", \"aa\", \"b\")", "ba"}, {"Replace(\"abc\", \"\", \"x\")", "abc"},
  };
  for (std::size_t i = 0; i < std::size(texts); ++i)
    EXPECT_EQ(Text(ctx, texts[i].expression), texts[i].text) << "row " << i;
  struct NumberRow { const char* expression; double value; };
  const NumberRow numbers[] = {
      {"StringLength(\"abc\")", 3},       {"Find(\"abcb\", \"b\")", 2},      {"Find(\"abcb\", \"x\")", 0},
      {"Find(\"abc\", \"\")", 1},         {"ReverseFind(\"abcb\", \"b\")", 4}, {"ReverseFind(\"abcb\", \"xyz\")", 0},
      {"ReverseFind(\"abc\", \"\")", 4},  {"ReverseFind(\"abcb\", \"bz\")", 4},
  };
  for (std::size_t i = 0; i < std::size(numbers); ++i)
    EXPECT_EQ(Number(ctx, numbers[i].expression), numbers[i].value) << "row " << i;
  // Arguments bring one value each: a number literal has an empty string.
  EXPECT_EQ(Number(ctx, "StringLength(123)"), 0);
}

TEST(BuiltinLists, ElementsAndSeparators) {
  const std::string crlf = "\r\n";
  EXPECT_EQ(lists::CountElements("a\r\nb\nc", ""), 3u);
  EXPECT_EQ(lists::CountElements("a\r\rb", ""), 3u);
  EXPECT_EQ(lists::CountElements("a\r\nb\r\n", ""), 2u);
  EXPECT_EQ(lists::CountElements("", ","), 0u);
  EXPECT_EQ(lists::CountElements("a,,b", ",;extra"), 3u);
  EXPECT_EQ(lists::GetElementSpan("a\r\nb\r\nc\r\nd", 2, 3, ""), "b\r\nc");
  EXPECT_EQ(lists::GetElementSpan("a,b,c", 2, 9, ","), "b");
  EXPECT_EQ(lists::GetElementSpan("a,b,c", 0, 2, ","), "");
  EXPECT_EQ(lists::GetElementSpan("a,b,c", 4, 0, ","), "");
  EXPECT_EQ(lists::GetElementSpan("a,b,c", 3, 1, ","), "c");
  EXPECT_EQ(lists::GetElementSpan("a,,c", 2, 0, ","), "");
  EXPECT_EQ(lists::GetElementSpan("a,b", static_cast<DWORD>(-1), 0, ","), "");

  EXPECT_EQ(lists::FindElementIndex("a,b", "B", ","), 0u);
  EXPECT_EQ(lists::FindElementIndex("a,b", "b", ","), 2u);
  EXPECT_EQ(lists::FindElementIndex("a,,b", "", ","), 2u);
  EXPECT_EQ(lists::FindElementIndex("ab,a", "a", ","), 2u);

  EXPECT_EQ(lists::DeleteElementSpan("a,b,c", 2, 0, ","), "a,c");
  EXPECT_EQ(lists::DeleteElementSpan("a,b,c", 3, 0, ","), "a,b,");
  EXPECT_EQ(lists::DeleteElementSpan("a,b,c", 1, 2, ","), "c");
  EXPECT_EQ(lists::DeleteElementSpan("a,b,c", 2, 7, ","), "a,c");
  EXPECT_EQ(lists::DeleteElementSpan("a,b,c", 5, 0, ","), "a,b,c");

  EXPECT_EQ(lists::ReplaceElementAt("a,b", 5, "x", ","), "a,x");
  EXPECT_EQ(lists::ReplaceElementAt("a,b,", 5, "x", ","), "a,b,x");
  EXPECT_EQ(lists::ReplaceElementAt("a,b,c", 2, "xy", ","), "a,xy,c");
  EXPECT_EQ(lists::ReplaceElementAt("", 1, "x", ","), "x");

  EXPECT_EQ(lists::InsertElementAt("a,b,c", 2, "x", ","), "a,x,b,c");
  EXPECT_EQ(lists::InsertElementAt("a\r\nb", 1, "x", ""), "x\r\na\r\nb");
  EXPECT_EQ(lists::InsertElementAt("a,b", 9, "x", ","), "a,x,b");
  EXPECT_EQ(lists::InsertElementAt("a,b,", 9, "x", ","), "a,b,x,");
  EXPECT_EQ(lists::InsertElementAt("", 1, "x", ""), "x" + crlf);

  // Through the script language, with numbers truncated and compared unsigned.
  TestVariableContext ctx;
  EXPECT_EQ(Text(ctx, "DeleteElement(\"a,b,c\", 3, 0, \",\")"), "a,b,");
  EXPECT_EQ(Text(ctx, "GetElement(\"a,b,c\", 2.9, 0, \",\")"), "b");
  EXPECT_EQ(Text(ctx, "GetElement(\"a,b,c\", -1, 0, \",\")"), "");
  EXPECT_EQ(Text(ctx, "ReplaceElement(\"a,b\", 1, \"z\", \",\")"), "z,b");
  EXPECT_EQ(Text(ctx, "InsertElement(\"a,b\", 2, \"z\", \",\")"), "a,z,b");
  EXPECT_EQ(Number(ctx, "FindElement(\"a;b\", \"b\", \";\")"), 2);
  EXPECT_EQ(Number(ctx, "ElementCount(\"a;b;c\", \";\")"), 3);
  ctx.Declare("Lines", VarType::kString).SetString("a\r\nb\nc");
  EXPECT_EQ(Number(ctx, "ElementCount(Lines)"), 3);
}

TEST(BuiltinNumbers, ArithmeticFunctions) {
  TestVariableContext ctx;
  struct Row { const char* expression; double value; };
  const Row rows[] = {
      {"Abs(-2.5)", 2.5},   {"Int(-2.7)", -2},     {"Int(2.7)", 2},         {"Int(1e20)", 2147483647},
      {"Sqrt(-16)", 4},     {"Mod(-7, 3)", -1},    {"Mod(7.5, 2)", 1.5},    {"RoundUp(1.2)", 2},
      {"RoundUp(-1.2)", -1}, {"RoundDown(-1.2)", -2}, {"Cos(0)", 1},         {"Sin(0)", 0},
      {"Tan(0)", 0},        {"Acos(1)", 0},        {"Asin(0)", 0},          {"Atan(0)", 0},
      {"Exp(0)", 1},        {"Log(1)", 0},         {"Log10(1000)", 3},      {"Random(0)", 0},
      {"Random(-2)", -2},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i)
    EXPECT_DOUBLE_EQ(Number(ctx, rows[i].expression), rows[i].value) << "row " << i << ": " << rows[i].expression;
  EXPECT_TRUE(std::isnan(Number(ctx, "Log(-1)")));
}

TEST(BuiltinNumbers, RandomStaysInRangeAndCoversIt) {
  TestVariableContext ctx;
  std::set<double> seen;
  for (int i = 0; i < 200; ++i) {
    double r = Number(ctx, "Random(1)");
    EXPECT_TRUE(r == 0 || r == 1) << r;
    seen.insert(r);
  }
  EXPECT_EQ(seen.size(), 2u);
  EXPECT_TRUE(ctx.Random().IsSeeded());
  double top = 0;
  for (int i = 0; i < 200; ++i) {
    double r = Number(ctx, "Random(1000000)");
    ASSERT_GE(r, 0);
    ASSERT_LE(r, 1000000);
    ASSERT_EQ(r, std::floor(r));
    top = std::max(top, r);
  }
  // The 15-bit generator alone could never pass 32767.
  EXPECT_GT(top, 32767);
  double huge = Number(ctx, "Random(1e12)");
  EXPECT_GE(huge, 0);
  EXPECT_LE(huge, 2147483647);
}

TEST(BuiltinDates, PartsNamesAndTimeSpans) {
  TestVariableContext ctx;  // now: Friday 31 December 1999 23:59:59
  EXPECT_EQ(Number(ctx, "GetYear()"), 1999);
  EXPECT_EQ(Number(ctx, "GetMonth()"), 12);
  EXPECT_EQ(Number(ctx, "GetDay()"), 31);
  EXPECT_EQ(Number(ctx, "GetHour()"), 23);
  EXPECT_EQ(Text(ctx, "GetMonthName()"), "December");
  EXPECT_EQ(Text(ctx, "GetDayName()"), "Friday");
  auto now = Evaluate(ctx, "GetCurrentDate()");
  EXPECT_EQ(now.value.GetType(), VarType::kDateTime);
  EXPECT_EQ(now.value.GetDateTime(), 946684799);

  CVariable& sunday = ctx.Declare("Sunday", VarType::kDateTime);
  sunday.SetDateTime(946857600 + 3 * 3600 + 4 * 60 + 5);  // Monday 3 January 2000, 03:04:05
  sunday.SetDateTime(sunday.GetDateTime() - 86400);        // the Sunday before
  EXPECT_EQ(Text(ctx, "GetDayName(Sunday)"), "Sunday");
  EXPECT_EQ(Text(ctx, "GetMonthName(Sunday)"), "January");
  EXPECT_EQ(Number(ctx, "GetYear(Sunday)"), 2000);
  EXPECT_EQ(Number(ctx, "GetDay(Sunday)"), 2);
  EXPECT_EQ(Number(ctx, "GetMinutes(Sunday)"), 4);
  EXPECT_EQ(Number(ctx, "GetSeconds(Sunday)"), 5);

  CVariable& span = ctx.Declare("Span", VarType::kTimeSpan);
  span.SetTimeSpan(7384);
  EXPECT_EQ(Number(ctx, "GetHour(Span)"), 2);
  EXPECT_EQ(Number(ctx, "GetMinutes(Span)"), 123);
  EXPECT_EQ(Number(ctx, "GetSeconds(Span)"), 7384);
  span.SetTimeSpan(-7384);
  EXPECT_EQ(Number(ctx, "GetHour(Span)"), -2);

  // A date-time script variable takes the current date and prints it.
  CVariable& when = ctx.Declare("When", VarType::kDateTime);
  when.SetFormatIndex(4);
  ASSERT_EQ(ExecuteScript(ctx, "When = GetCurrentDate()"), 0);
  EXPECT_EQ(ExpandVariables(ctx, "{When}", FALSE), "Friday 31 December 1999");
}
