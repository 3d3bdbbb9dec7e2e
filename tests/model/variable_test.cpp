// CVariable: ids, types, copying and printed values.
#include "model/variable.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "model/record_set_data.h"

namespace {

// Printed dates are local time: pin the zone for the whole program.
const bool kUtc = [] {
  setenv("TZ", "UTC", 1);
  tzset();
  return true;
}();

CVariable Make(DWORD type, int precision = 0, int formatIndex = 1) {
  CVariable v;
  v.SetName("v");
  v.SetType(type);
  v.SetPrecision(precision);
  v.SetFormatIndex(formatIndex);
  return v;
}

CString Printed(const CVariable& v, std::int64_t now = 1) {
  CString text("untouched");
  EXPECT_TRUE(v.GetValueText(text, now));
  return text;
}

}  // namespace

TEST(VariableId, HashOfNameWithSignedBytes) {
  EXPECT_EQ(CVariable::ComputeId(""), 0);
  EXPECT_EQ(CVariable::ComputeId("A"), 65);
  EXPECT_EQ(CVariable::ComputeId("AB"), 2211);
  EXPECT_EQ(CVariable::ComputeId("\xE9"), -23);
  EXPECT_EQ(CVariable::ComputeId("A\xE9"), 65 * 33 - 23);
  // Long names wrap at 32 bits instead of overflowing.
  EXPECT_EQ(CVariable::ComputeId("zzzzzzzzzzzz"), CVariable::ComputeId("zzzzzzzzzzzz"));
  CVariable v;
  v.SetName("AB");
  EXPECT_EQ(v.GetId(), 2211);
}

TEST(VariableType, FirstTypeBitWinsAndSetTypeKeepsOtherBits) {
  CVariable v;
  EXPECT_EQ(v.GetType(), VarType::kString);
  EXPECT_EQ(v.GetFormatIndex(), 1);
  v.SetFlags(0x00010000u | VarFlag::kGlobal | VarType::kNumber | VarType::kDateTime);
  EXPECT_EQ(v.GetType(), VarType::kNumber);
  v.SetType(VarType::kTimeSpan);
  EXPECT_EQ(v.GetFlags(), 0x00010000u | VarFlag::kGlobal | VarType::kTimeSpan);
  EXPECT_EQ(v.GetTypeIndex(), 3);
  v.SetType(VarType::kOther);
  EXPECT_EQ(v.GetType(), VarType::kOther);
  EXPECT_EQ(v.GetTypeIndex(), 5);
  v.SetType(0);
  EXPECT_EQ(v.GetType(), 0u);
  EXPECT_EQ(v.GetTypeIndex(), 0);
}

TEST(VariablePrint, Numbers) {
  struct Row { double value; int precision; const char* text; };
  const Row rows[] = {
      {1234.5678, 2, "1234.57"}, {3.7, 0, "4"},        {-2.5, 1, "-2.5"},   {2.75, 3, "2.750"},
      {1e39, 0, "1e+39"},        {-1e39, 2, "-1e+39"}, {1e20, 1, "100000000000000000000.0"},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    CVariable v = Make(VarType::kNumber, rows[i].precision);
    v.SetReal(rows[i].value);
    EXPECT_EQ(Printed(v), rows[i].text) << "row " << i;
  }
  // The stored maximum precision prints in full.
  CVariable wide = Make(VarType::kNumber, 255);
  wide.SetReal(1.0 / 3.0);
  EXPECT_EQ(Printed(wide).GetLength(), 257);
}

TEST(VariablePrint, NumbersIgnoreTheProcessLocale) {
  const char* old = std::setlocale(LC_ALL, nullptr);
  std::string saved = old ? old : "C";
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "no German locale installed";
  CVariable v = Make(VarType::kNumber, 2);
  v.SetReal(1234.5678);
  EXPECT_EQ(Printed(v), "1234.57");
  CVariable d = Make(VarType::kDateTime, 0, 3);
  d.SetDateTime(946684799);
  EXPECT_EQ(Printed(d), "31-December-1999");
  std::setlocale(LC_ALL, saved.c_str());
}

TEST(VariablePrint, DatesTimeSpansAndOtherTypes) {
  const char* dates[] = {"", "31/12/99", "31-Dec-1999", "31-December-1999", "Friday 31 December 1999",
                         "11:59 PM", "11:59:59"};
  for (int i = 1; i <= 6; ++i) {
    CVariable v = Make(VarType::kDateTime, 0, i);
    v.SetDateTime(946684799);
    EXPECT_EQ(Printed(v), dates[i]) << "format " << i;
  }
  CVariable now = Make(VarType::kDateTime, 0, 1);
  EXPECT_EQ(Printed(now, 946684799), "31/12/99");  // 0 prints the time now
  CVariable custom = Make(VarType::kDateTime, 0, 0);
  EXPECT_EQ(Printed(custom), "Custom");
  custom.SetFormat("%Y!");
  EXPECT_EQ(Printed(custom, 946684799), "1999!");
  EXPECT_EQ(Printed(Make(VarType::kDateTime, 0, 7)), "");

  CVariable span = Make(VarType::kTimeSpan, 0, 1);
  span.SetTimeSpan(3725);
  EXPECT_EQ(Printed(span), "01:02:05");
  span.SetFormatIndex(2);
  EXPECT_EQ(Printed(span), "02:05");
  span.SetFormatIndex(0);
  EXPECT_EQ(Printed(span), "Custom");
  span.SetFormat("%D days %H h %% %S");
  span.SetTimeSpan(90061);
  EXPECT_EQ(Printed(span), "1 days 01 h % 01");
  span.SetFormatIndex(3);
  EXPECT_EQ(Printed(span), "");

  CVariable integer = Make(VarType::kInteger);
  integer.SetLong(-42);
  EXPECT_EQ(Printed(integer), "-42");
  EXPECT_EQ(Printed(Make(VarType::kRecordSet)), "untouched");

  CVariable unnamed;
  CString text("keep");
  EXPECT_FALSE(unnamed.GetValueText(text));
  EXPECT_EQ(text, "keep");
}

TEST(VariableCopy, AssignDuplicatesRecordSetAndDataClearEmptiesValues) {
  CVariable a = Make(VarType::kRecordSet, 3, 4);
  a.SetString("s");
  a.SetReal(1.5);
  a.SetLong(7);
  a.SetData({1, 2, 3});
  auto rs = std::make_shared<CRecordSetData>();
  rs->m_strDataSource = "db";
  rs->m_arrColumnNames.Add("col");
  rs->m_arrPointers.push_back(nullptr);
  a.SetRecordSet(rs);

  CVariable b(a);
  EXPECT_EQ(b.GetName(), "v");
  EXPECT_EQ(b.GetPrecision(), 3);
  EXPECT_EQ(b.GetFormatIndex(), 4);
  EXPECT_EQ(b.GetData(), (std::vector<BYTE>{1, 2, 3}));
  ASSERT_NE(b.GetRecordSet(), nullptr);
  EXPECT_NE(b.GetRecordSet(), a.GetRecordSet());
  EXPECT_EQ(b.GetRecordSet()->m_strDataSource, "db");
  EXPECT_TRUE(b.GetRecordSet()->m_arrPointers.empty());

  a.Clear(FALSE);
  EXPECT_EQ(a.GetString(), "");
  EXPECT_EQ(a.GetReal(), 0.0);
  EXPECT_EQ(a.GetLong(), 0);
  EXPECT_TRUE(a.GetData().empty());
  ASSERT_NE(a.GetRecordSet(), nullptr);
  EXPECT_TRUE(a.GetRecordSet()->m_arrPointers.empty());
  a.Clear(TRUE);
  EXPECT_EQ(a.GetRecordSet(), nullptr);

  // A column keeps sharing its parent's record set through Assign.
  CVariable column;
  column.SetFlags(VarFlag::kColumn | VarFlag::kSystem);
  column.SetRecordSet(rs);
  column.Assign(b);
  EXPECT_EQ(column.GetRecordSet(), rs.get());
}

namespace {

void ExpectSameFields(const CVariable& a, const CVariable& b, const char* what) {
  EXPECT_EQ(a.GetName(), b.GetName()) << what;
  EXPECT_EQ(a.GetNameHash(), b.GetNameHash()) << what;
  EXPECT_EQ(a.GetId(), b.GetId()) << what;
  EXPECT_EQ(a.GetFlags(), b.GetFlags()) << what;
  EXPECT_EQ(a.GetString(), b.GetString()) << what;
  EXPECT_EQ(a.GetReal(), b.GetReal()) << what;
  EXPECT_EQ(a.GetLong(), b.GetLong()) << what;
  EXPECT_EQ(a.GetDateTime(), b.GetDateTime()) << what;
  EXPECT_EQ(a.GetTimeSpan(), b.GetTimeSpan()) << what;
  EXPECT_EQ(a.GetPrecision(), b.GetPrecision()) << what;
  EXPECT_EQ(a.GetFormatIndex(), b.GetFormatIndex()) << what;
  EXPECT_EQ(a.GetFormat(), b.GetFormat()) << what;
  EXPECT_EQ(a.GetData(), b.GetData()) << what;
}

}  // namespace

TEST(VariableCopy, ResetAndMovingAreAssignWithoutTheCopies) {
  auto rs = std::make_shared<CRecordSetData>();
  rs->m_strDataSource = "db";
  auto filled = [&rs](DWORD extraFlags) {
    CVariable v = Make(VarType::kTimeSpan, 3, 0);
    v.SetName("a rather long variable name");
    v.SetFlags(v.GetFlags() | extraFlags);
    v.SetString("a value too long for any small-string buffer");
    v.SetReal(2.5);
    v.SetLong(-4);
    v.SetDateTime(99);
    v.SetTimeSpan(61);
    v.SetFormat("%H");
    v.SetData({9, 8});
    v.SetRecordSet(rs);
    return v;
  };

  for (DWORD column : {DWORD{0}, VarFlag::kColumn}) {
    // Reset is Assign of a new variable: a column keeps its record set, anything else drops it.
    CVariable reset = filled(column);
    CVariable assigned = filled(column);
    reset.Reset();
    assigned.Assign(CVariable());
    ExpectSameFields(reset, assigned, column ? "reset column" : "reset");
    ExpectSameFields(reset, CVariable(), column ? "reset column" : "reset");
    EXPECT_EQ(reset.GetRecordSet(), column ? rs.get() : nullptr);

    // Moving gives what copying gives, the record set still duplicated.
    CVariable moved = Make(VarType::kString);
    moved.SetFlags(moved.GetFlags() | column);
    moved = filled(0);
    CVariable copied = Make(VarType::kString);
    copied.SetFlags(copied.GetFlags() | column);
    copied.Assign(filled(0));
    ExpectSameFields(moved, copied, column ? "moved into column" : "moved");
    if (column) {
      EXPECT_EQ(moved.GetRecordSet(), nullptr);
    } else {
      ASSERT_NE(moved.GetRecordSet(), nullptr);
      EXPECT_NE(moved.GetRecordSet(), rs.get());
      EXPECT_EQ(moved.GetRecordSet()->m_strDataSource, "db");
    }
  }
}
