// CVarOrValue and CVariableRect: binding from text, reading through variables, stored order.
#include "model/var_or_value.h"

#include <gtest/gtest.h>

#include "model/archive.h"
#include "tests/model/test_variable_context.h"
#include "tests/support/course_builder.h"

using tvn::testing::TestVariableContext;

TEST(VarOrValueText, BindsNamesAndReadsLiterals) {
  TestVariableContext ctx;
  const LONG clickX = CVariable::ComputeId("ClickX");
  struct Row { const char* text; LONG id; LONG literal; };
  const Row rows[] = {
      {"ClickX", clickX, 0}, {"  {ClickX} ", clickX, 0}, {"{}", 0, 0},   {"{ClickX", 0, 0},
      {"12abc", 0, 12},      {" -7 ", 0, -7},            {"Nobody", 0, 0},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    CVarOrValue v(99);
    v.SetFromText(ctx, rows[i].text);
    EXPECT_EQ(v.GetVariableId(), rows[i].id) << "row " << i;
    EXPECT_EQ(v.GetLiteral(), rows[i].literal) << "row " << i;
  }
  CVarOrValue kept(5);
  kept.SetFromText(ctx, "   ");
  EXPECT_EQ(kept.GetLiteral(), 5);
  kept.SetFromText(ctx, "ClickX");
  kept.SetFromText(ctx, "#12");  // "#" keeps an existing binding
  EXPECT_EQ(kept.GetVariableId(), clickX);
}

TEST(VarOrValueRead, ThroughNumberAndIntegerVariablesOnly) {
  TestVariableContext ctx;
  CVariable& number = ctx.Declare("W", VarType::kNumber);
  number.SetReal(-12.9);
  CVariable& text = ctx.Declare("T", VarType::kString);
  text.SetReal(3);
  ctx.Var("ClickY").SetLong(40);

  CVarOrValue v;
  v.SetFromText(ctx, "W");
  EXPECT_EQ(v.GetLong(ctx), -12);
  EXPECT_DOUBLE_EQ(v.GetDouble(ctx), -12.9);
  number.SetReal(1e20);
  EXPECT_EQ(v.GetLong(ctx), 2147483647);  // saturates instead of overflowing
  v.SetFromText(ctx, "ClickY");
  EXPECT_EQ(v.GetLong(ctx), 40);
  CString name;
  v.Format(ctx, name);
  EXPECT_EQ(name, "ClickY");
  v.SetFromText(ctx, "T");
  EXPECT_EQ(v.GetLong(ctx), 0);  // a string variable reads as the literal

  // A variable missing later (another course current) reads as the literal.
  v.SetFromText(ctx, "W");
  ctx.courseCurrent = false;
  EXPECT_EQ(v.GetLong(ctx), 0);
  EXPECT_EQ(v.GetVariableName(ctx), "");
  CString unchanged("was");
  v.Format(ctx, unchanged);
  EXPECT_EQ(unchanged, "was");
  CVarOrValue literal(-3);
  literal.Format(ctx, unchanged);
  EXPECT_EQ(unchanged, "-3");
}

TEST(VariableRect, SetConstantsKeepsBindingsAndStoredOrderIsLeftTopRightBottom) {
  TestVariableContext ctx;
  CVariableRect r;
  r.left.SetFromText(ctx, "ClickX");
  r.SetConstants(CRect(1, 2, 3, 4));
  EXPECT_TRUE(r.left.IsVariable());
  EXPECT_EQ(r.top.GetLiteral(), 2);
  EXPECT_EQ(r.right.GetLiteral(), 3);
  EXPECT_EQ(r.bottom.GetLiteral(), 4);

  tvn::testing::CourseBuilder b;
  b.VarOrValue(10, 0).VarOrValue(20, 0).VarOrValue(30, 0).VarOrValue(0, CVariable::ComputeId("ClickY"));
  std::vector<std::uint8_t> data = b.bytes();
  CMemFile file(data.data(), data.size());
  CArchive ar(file);
  CVariableRect read;
  read.Serialize(ar);
  EXPECT_EQ(read.left.GetLiteral(), 10);
  EXPECT_EQ(read.top.GetLiteral(), 20);
  EXPECT_EQ(read.right.GetLiteral(), 30);
  EXPECT_EQ(read.bottom.GetVariableId(), CVariable::ComputeId("ClickY"));
  EXPECT_EQ(ar.BytesRemaining(), 0u);
}
