// CVariableTable: system variables, lookups, stored declarations and merging into the global table.
#include "model/variable_table.h"

#include <gtest/gtest.h>

#include <functional>

#include "model/archive.h"
#include "model/record_set_data.h"
#include "tests/model/test_variable_context.h"
#include "tests/support/course_builder.h"

using tvn::testing::CourseBuilder;
using tvn::testing::RecordSetFields;
using tvn::testing::TestVariableContext;
using tvn::testing::VariableFields;

namespace {

VariableFields Decl(const char* name, std::uint32_t flags) {
  VariableFields f;
  f.name = name;
  f.flags = flags;
  return f;
}

RecordSetFields Columns(const char* source, std::vector<std::string> columns, std::vector<std::uint16_t> indices) {
  RecordSetFields rs;
  rs.source = source;
  rs.columns = std::move(columns);
  rs.indices = std::move(indices);
  return rs;
}

void Read(CVariableTable& table, const std::vector<std::uint8_t>& bytes) {
  std::vector<std::uint8_t> data = bytes;
  CMemFile file(data.data(), data.size());
  CArchive ar(file);
  table.Serialize(ar);
}

}  // namespace

TEST(VariableTableSystem, CourseAndGlobalTablesInCreationOrder) {
  CVariableTable course(1);
  CVariableTable global(0);
  ASSERT_EQ(course.GetCount(), 14);
  ASSERT_EQ(global.GetCount(), 28);
  EXPECT_EQ(course.GetAt(0)->GetName(), "CourseTitle");
  EXPECT_EQ(course.GetAt(13)->GetName(), "AnswerText");
  EXPECT_EQ(global.GetAt(0)->GetName(), "StudentName");
  EXPECT_EQ(global.GetAt(27)->GetName(), "DoubleQuote");
  for (const auto& v : course.Variables()) EXPECT_EQ(v->GetFlags() & 0xFF, VarFlag::kSystem) << v->GetName().str();
  for (const auto& v : global.Variables())
    EXPECT_EQ(v->GetFlags() & 0xFF, VarFlag::kSystem | VarFlag::kGlobal) << v->GetName().str();

  const CVariable* questionTime = course.FindByName("QuestionTime");
  ASSERT_NE(questionTime, nullptr);
  EXPECT_EQ(questionTime->GetType(), VarType::kTimeSpan);
  EXPECT_EQ(questionTime->GetFormatIndex(), 1);
  EXPECT_EQ(course.FindByName("TaskTag")->GetType(), VarType::kInteger);
  // The global table's own variables are found in it, though flagged global.
  const CVariable* version = global.FindByName("WindowsVersion");
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(version->GetPrecision(), 2);
  EXPECT_EQ(global.FindByName("ActualDate")->GetFormatIndex(), 3);
  EXPECT_EQ(global.FindById(CVariable::ComputeId("ClickX"))->GetName(), "ClickX");
}

TEST(VariableTableLookup, ExactCaseSensitiveAndCourseSkipsGlobal) {
  TestVariableContext ctx;
  EXPECT_NE(FindVariable(ctx, "ClickX"), nullptr);
  EXPECT_EQ(FindVariable(ctx, "clickx"), nullptr);
  EXPECT_EQ(FindVariable(ctx, "Click"), nullptr);
  EXPECT_EQ(FindVariable(ctx, ""), nullptr);

  // A global-flagged copy in the course table is invisible there.
  CVariable& hidden = ctx.Declare("Shared", VarType::kString);
  hidden.SetFlags(hidden.GetFlags() | VarFlag::kGlobal);
  EXPECT_EQ(ctx.course->FindByName("Shared"), nullptr);
  EXPECT_EQ(ctx.course->FindById(hidden.GetId()), nullptr);
  ctx.global.AddVariable("Shared", VarType::kNumber, TRUE, 0, 0);
  EXPECT_EQ(FindVariable(ctx, "Shared")->GetType(), VarType::kNumber);

  // The course table is asked first.
  CVariable& own = ctx.Declare("StudentName", VarType::kNumber);
  EXPECT_EQ(FindVariable(ctx, "StudentName"), &own);
  EXPECT_EQ(FindVariableById(ctx, own.GetId()), &own);
  ctx.courseCurrent = false;
  EXPECT_NE(FindVariable(ctx, "StudentName"), &own);
  EXPECT_EQ(FindVariable(ctx, "AnswerText"), nullptr);
}

TEST(VariableTableLookup, NamesAreFoundAsTheyAreNowEvenWhenTheirHashesMeet) {
  TestVariableContext ctx;
  CVariable& renamed = ctx.Declare("Before", VarType::kString);
  renamed.SetName("After");
  EXPECT_EQ(FindVariable(ctx, "After"), &renamed);
  EXPECT_EQ(FindVariable(ctx, "Before"), nullptr);

  // Assigning takes the name along; the first of two variables of one name is found.
  CVariable& copy = ctx.Declare("Copy", VarType::kNumber);
  copy = renamed;
  EXPECT_EQ(FindVariable(ctx, "Copy"), nullptr);
  EXPECT_EQ(FindVariable(ctx, "After"), &renamed);
  copy.Reset();
  EXPECT_EQ(FindVariable(ctx, ""), nullptr);

  // "Ab" and "BA" have one hash (65 * 33 + 98 = 66 * 33 + 65).
  ASSERT_EQ(CVariable::ComputeId("Ab"), CVariable::ComputeId("BA"));
  CVariable& ab = ctx.Declare("Ab", VarType::kString);
  CVariable& ba = ctx.Declare("BA", VarType::kString);
  EXPECT_EQ(FindVariable(ctx, "BA"), &ba);
  EXPECT_EQ(FindVariable(ctx, "Ab"), &ab);
}

TEST(VariableTableErrors, ErrorVariablesAndMciText) {
  TestVariableContext ctx;
  EXPECT_EQ(SetErrorVariables(ctx, 5, "bad"), 1);
  EXPECT_EQ(ctx.Var("ErrorNumber").GetLong(), 5);
  EXPECT_EQ(ctx.Var("ErrorMessage").GetString(), "bad");
  SetErrorVariables(ctx, 0, nullptr);
  EXPECT_EQ(ctx.Var("ErrorMessage").GetString(), "");
  SetMciError(ctx, 263);
  EXPECT_EQ(ctx.Var("ErrorNumber").GetLong(), 263);
  EXPECT_EQ(ctx.Var("ErrorMessage").GetString(), "Unknown MCI Error");
  SetMciError(ctx, 0);
  EXPECT_EQ(ctx.Var("ErrorMessage").GetString(), "");

  CVariableTable emptyGlobal;
  struct NoTables : CVariableContext {
    CVariableTable* table = nullptr;
    CVariableTable* GetCourseTable() override { return nullptr; }
    CVariableTable* GetGlobalTable() override { return table; }
  } bare;
  bare.table = &emptyGlobal;
  EXPECT_EQ(SetErrorVariables(bare, 1, "x"), 0);
}

TEST(VariableTableRefresh, SystemValuesAndClearing) {
  CVariableTable course(1);
  CVariableTable global(0);
  SystemValues values;
  values.courseTitle = "Intro";
  values.coursePath = "C:\\COURSES\\INTRO.MCL";
  values.screenWidth = 1024;
  values.windowsMajor = 4;
  values.windowsMinor = 10;
  course.RefreshSystemVariables(values);
  EXPECT_EQ(course.FindByName("CourseTitle")->GetString(), "");  // no course current yet
  values.courseCurrent = TRUE;
  course.RefreshSystemVariables(values);
  EXPECT_EQ(course.FindByName("CourseTitle")->GetString(), "Intro");
  EXPECT_EQ(course.FindByName("CourseDrive")->GetString(), "C:");
  global.RefreshSystemVariables(values);
  EXPECT_EQ(global.FindByName("ScreenWidth")->GetLong(), 1024);
  EXPECT_EQ(global.FindByName("CR")->GetString(), "\r\n");
  EXPECT_EQ(global.FindByName("DoubleQuote")->GetString(), "\"");
  EXPECT_DOUBLE_EQ(global.FindByName("WindowsVersion")->GetReal(), 4.1);
  global.ClearAllValues();
  EXPECT_EQ(global.FindByName("CR")->GetString(), "");
  EXPECT_EQ(global.GetCount(), 28);
}

TEST(VariableTableStored, DeclarationsSkipSystemAndMergeGlobalsOnce) {
  CVariableTable global(0);
  CourseBuilder b;
  VariableFields scoreDecl = Decl("Score", 0x200);
  scoreDecl.precision = 2;
  scoreDecl.formatIndex = 0;
  scoreDecl.format = "%x";
  VariableFields odd = Decl("Odd", 0x100);
  odd.id = 1234;
  // A system flag in a file is dropped.
  b.VariableTable({scoreDecl, Decl("Sneaky", 0x101), Decl("Shared", 0x102), odd});
  CVariableTable first(1);
  first.SetGlobalTable(&global);
  Read(first, b.bytes());
  ASSERT_EQ(first.GetCount(), 14 + 3);
  const CVariable* score = first.FindByName("Score");
  ASSERT_NE(score, nullptr);
  EXPECT_EQ(score->GetPrecision(), 2);
  EXPECT_EQ(score->GetType(), VarType::kNumber);
  EXPECT_EQ(score->GetFormatIndex(), 0);
  EXPECT_EQ(score->GetFormat(), "%x");
  EXPECT_EQ(first.FindByName("Sneaky"), nullptr);
  EXPECT_EQ(first.FindByName("Odd")->GetId(), 1234);  // the stored id counts, not the hash
  EXPECT_EQ(first.FindByName("Shared"), nullptr);
  ASSERT_NE(global.FindByName("Shared"), nullptr);
  EXPECT_EQ(global.GetCount(), 29);

  // A second course declaring the same global adds nothing to the global table.
  CVariableTable second(1);
  second.SetGlobalTable(&global);
  Read(second, b.bytes());
  EXPECT_EQ(global.GetCount(), 29);
}

TEST(VariableTableStored, RecordSetColumnsAreBoundAndShared) {
  CVariableTable global(0);
  VariableFields rows = Decl("Rows", 0x2002);
  rows.recordSet = Columns("Pupils", {"First Name", "Age"}, {0, 65535, 65001});
  CourseBuilder b;
  b.VariableTable({rows});
  CVariableTable course(1);
  course.SetGlobalTable(&global);
  Read(course, b.bytes());

  const CVariable* merged = global.FindByName("Rows");
  ASSERT_NE(merged, nullptr);
  ASSERT_NE(merged->GetRecordSet(), nullptr);
  EXPECT_EQ(merged->GetRecordSet()->m_strDataSource, "Pupils");
  EXPECT_EQ(merged->GetRecordSet()->m_arrColumnIndices, (std::vector<int>{0, -1, 533}));
  EXPECT_EQ(merged->GetRecordSet()->m_nCurrentIndex, -1);

  const CVariable* first = global.FindByName("Rows.First_Name");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->GetFlags() & 0xFF, VarFlag::kSystem | VarFlag::kGlobal | VarFlag::kColumn);
  EXPECT_EQ(first->GetType(), 0u);
  EXPECT_EQ(first->GetPrecision(), 2);
  EXPECT_NE(first->GetRecordSet(), nullptr);
  EXPECT_NE(global.FindByName("Rows.Age"), nullptr);
  EXPECT_EQ(course.GetCount(), 14 + 3);
}

TEST(VariableTableStored, TruncatedAndForgedStreamsFailCleanly) {
  VariableFields r = Decl("R", 0x2000);
  r.recordSet = Columns("s", {"c"}, {1});
  r.recordSet->first = {"a"};
  CourseBuilder b;
  b.VariableTable({Decl("A", 0x100), r});
  const auto& bytes = b.bytes();
  for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
    CVariableTable table(1);
    std::vector<std::uint8_t> part(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut));
    EXPECT_THROW(Read(table, part), CArchiveException) << "cut at " << cut;
  }
  // A huge count in a short stream fails before reading any declaration.
  tvn::testing::ArchiveWriter w;
  w.ClassRef("CVariableTable", 2);
  w.Word(0xFFFF);
  CVariableTable table(1);
  EXPECT_THROW(Read(table, w.bytes()), CArchiveException);
}
