// The automation value type: its type change by table, OLE dates, currency and class-id text.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/user/native_control.h"
#include "platform/base/variant.h"

namespace {

struct ChangeRow {
  COleVariant from;
  VARTYPE to;
  COleVariant expected;  // VT_EMPTY with failure set: the change must throw
  HRESULT failure = S_OK;
};

COleVariant Str(const char* text) { return COleVariant::Ansi(text); }

}  // namespace

TEST(Variant, ChangeTypeFollowsTheRulesInTheCLocale) {
  const ChangeRow rows[] = {
      // Reals to integers round halves to the even neighbour.
      {COleVariant::Real(VT_R8, 2.5), VT_I4, COleVariant::Int(VT_I4, 2)},
      {COleVariant::Real(VT_R8, 3.5), VT_I4, COleVariant::Int(VT_I4, 4)},
      {COleVariant::Real(VT_R8, -2.5), VT_I2, COleVariant::Int(VT_I2, -2)},
      {COleVariant::Real(VT_R8, 2.51), VT_I4, COleVariant::Int(VT_I4, 3)},
      {COleVariant::Real(VT_R8, 32767.5), VT_I2, {}, DISP_E_OVERFLOW},
      {COleVariant::Int(VT_I4, 256), VT_UI1, {}, DISP_E_OVERFLOW},
      {COleVariant::Int(VT_I4, -1), VT_UI4, {}, DISP_E_OVERFLOW},
      // Numbers to text and back, with a point whatever the user's locale is.
      {COleVariant::Int(VT_I4, 42), VT_BSTR, Str("42")},
      {COleVariant::Real(VT_R8, 0.1), VT_BSTR, Str("0.1")},
      {COleVariant::Real(VT_R8, 1e20), VT_BSTR, Str("1E+20")},
      {COleVariant::Bool(true), VT_BSTR, Str("-1")},
      {COleVariant::Currency(-12345), VT_BSTR, Str("-1.2345")},
      {COleVariant::Currency(30000), VT_BSTR, Str("3")},
      {Str(" 12 "), VT_I2, COleVariant::Int(VT_I2, 12)},
      {Str("-7.5"), VT_R8, COleVariant::Real(VT_R8, -7.5)},
      {Str("2.5"), VT_I4, COleVariant::Int(VT_I4, 2)},
      {Str("9223372036854775807"), VT_I8, COleVariant::Int(VT_I8, 9223372036854775807LL)},
      {Str("1,5"), VT_R8, {}, DISP_E_TYPEMISMATCH},
      {Str(""), VT_I4, {}, DISP_E_TYPEMISMATCH},
      {Str("abc"), VT_R8, {}, DISP_E_TYPEMISMATCH},
      {Str("1e999"), VT_R8, {}, DISP_E_TYPEMISMATCH},
      {Str("TRUE"), VT_BOOL, COleVariant::Bool(true)},
      {Str("0"), VT_BOOL, COleVariant::Bool(false)},
      {Str("1.23456"), VT_CY, COleVariant::Currency(12346)},
      {COleVariant::Currency(25000), VT_I4, COleVariant::Int(VT_I4, 2)},
      {COleVariant::Currency(35000), VT_I4, COleVariant::Int(VT_I4, 4)},
      // Empty gives zero or an empty text; null and interfaces convert to nothing.
      {COleVariant(), VT_I4, COleVariant::Int(VT_I4, 0)},
      {COleVariant(), VT_BSTR, Str("")},
      {COleVariant::Null(), VT_I4, {}, DISP_E_TYPEMISMATCH},
      {COleVariant::Opaque(VT_DISPATCH), VT_BSTR, {}, DISP_E_TYPEMISMATCH},
      {COleVariant::Opaque(VT_I4 | VT_BYREF), VT_I4, {}, DISP_E_TYPEMISMATCH},
      {COleVariant::Int(VT_I4, 1), VT_DECIMAL, {}, DISP_E_BADVARTYPE},
      {COleVariant::Int(VT_I4, 1), VT_VARIANT, COleVariant::Int(VT_I4, 1)},
      // Dates.
      {COleVariant::Date(36526.5), VT_BSTR, Str("1/1/2000 12:00:00 PM")},
      {COleVariant::Date(36526.0), VT_BSTR, Str("1/1/2000")},
      {COleVariant::Date(0.25), VT_BSTR, Str("6:00:00 AM")},
      {Str("2000-01-01 12:00"), VT_DATE, COleVariant::Date(36526.5)},
      {Str("1/1/2000 12:00:00 PM"), VT_DATE, COleVariant::Date(36526.5)},
      {Str("2/30/2000"), VT_DATE, {}, DISP_E_TYPEMISMATCH},
      {Str("13:00 PM"), VT_DATE, {}, DISP_E_TYPEMISMATCH},
      {COleVariant::Real(VT_R8, 3e6), VT_DATE, {}, DISP_E_OVERFLOW},
  };
  int row = 0;
  for (const ChangeRow& r : rows) {
    SCOPED_TRACE("row " + std::to_string(row++));
    COleVariant v = r.from;
    if (r.failure != S_OK) {
      try {
        v.ChangeType(r.to);
        ADD_FAILURE() << "no failure";
      } catch (const COleException& e) {
        EXPECT_EQ(e.m_sc, r.failure);
        EXPECT_EQ(v, r.from) << "a failed change leaves the value alone";
      }
      continue;
    }
    ASSERT_NO_THROW(v.ChangeType(r.to));
    EXPECT_EQ(v.GetType(), r.expected.GetType());
    EXPECT_EQ(v, r.expected) << v.GetAnsi().str() << " int " << v.GetInt() << " real " << v.GetReal();
  }
}

TEST(Variant, OleDatesMapToCalendarPartsBothWays) {
  OleDateParts p;
  ASSERT_TRUE(OleDateToParts(36526.5, p));
  EXPECT_EQ(std::vector<int>({p.year, p.month, p.day, p.hour, p.minute, p.second}),
            std::vector<int>({2000, 1, 1, 12, 0, 0}));
  double date = 0;
  ASSERT_TRUE(PartsToOleDate(OleDateParts{2000, 1, 1, 12, 0, 0}, date));
  EXPECT_DOUBLE_EQ(date, 36526.5);
  // Before day 0 the fraction's magnitude is the time of day.
  ASSERT_TRUE(OleDateToParts(-1.25, p));
  EXPECT_EQ(std::vector<int>({p.year, p.month, p.day, p.hour}), std::vector<int>({1899, 12, 29, 6}));
  ASSERT_TRUE(PartsToOleDate(OleDateParts{1899, 12, 29, 6, 0, 0}, date));
  EXPECT_DOUBLE_EQ(date, -1.25);
  // A time that rounds up to midnight is the next day.
  ASSERT_TRUE(OleDateToParts(1.0 - 1e-9, p));
  EXPECT_EQ(std::vector<int>({p.day, p.hour}), std::vector<int>({31, 0}));
  EXPECT_FALSE(OleDateToParts(3e6, p));
  EXPECT_FALSE(PartsToOleDate(OleDateParts{2001, 2, 29, 0, 0, 0}, date));
  EXPECT_EQ(RoundHalfEven(0.5), 0.0);
  EXPECT_EQ(RoundHalfEven(1.5), 2.0);
  EXPECT_EQ(RoundHalfEven(-0.5), 0.0);
}

TEST(Variant, ClassIdTextIsParsedStrictly) {
  const auto id = CLSIDFromString("{8856F961-340A-11D0-a96b-00C04FD705A2}");
  ASSERT_TRUE(id);
  EXPECT_EQ(id->Data1, 0x8856F961u);
  EXPECT_EQ(id->Data2, 0x340A);
  EXPECT_EQ(id->Data4[0], 0xA9);
  EXPECT_EQ(id->Data4[7], 0xA2);
  EXPECT_EQ(StringFromCLSID(*id), CString("{8856F961-340A-11D0-A96B-00C04FD705A2}"));
  const char* refused[] = {
      "8856F961-340A-11D0-A96B-00C04FD705A2",      // no braces
      "{8856F961-340A-11D0-A96B-00C04FD705A2",     // one brace
      "{8856F961-340A-11D0-A96B-00C04FD705AG}",    // not hexadecimal
      "{8856F961-340A-11D0-A96B00-C04FD705A2}",    // a dash out of place
      "{8856F961-340A-11D0-A96B-00C04FD705A2} ",   // trailing text
      "{+856F961-340A-11D0-A96B-00C04FD705A2}",    // a sign
      "",
  };
  for (const char* text : refused) EXPECT_FALSE(CLSIDFromString(text)) << text;
}
