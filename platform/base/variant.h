// COleVariant: the automation value type (VT codes, UTF-16 strings, OLE dates, currency) and its type change.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/base/cstring.h"
#include "platform/base/exceptions.h"
#include "platform/base/win_types.h"

using VARTYPE = WORD;
using DISPID = LONG;
using HRESULT = LONG;

// The automation type codes the system meets.
constexpr VARTYPE VT_EMPTY = 0;
constexpr VARTYPE VT_NULL = 1;
constexpr VARTYPE VT_I2 = 2;
constexpr VARTYPE VT_I4 = 3;
constexpr VARTYPE VT_R4 = 4;
constexpr VARTYPE VT_R8 = 5;
constexpr VARTYPE VT_CY = 6;
constexpr VARTYPE VT_DATE = 7;
constexpr VARTYPE VT_BSTR = 8;
constexpr VARTYPE VT_DISPATCH = 9;
constexpr VARTYPE VT_ERROR = 10;
constexpr VARTYPE VT_BOOL = 11;
constexpr VARTYPE VT_VARIANT = 12;
constexpr VARTYPE VT_UNKNOWN = 13;
constexpr VARTYPE VT_DECIMAL = 14;
constexpr VARTYPE VT_I1 = 16;
constexpr VARTYPE VT_UI1 = 17;
constexpr VARTYPE VT_UI2 = 18;
constexpr VARTYPE VT_UI4 = 19;
constexpr VARTYPE VT_I8 = 20;
constexpr VARTYPE VT_UI8 = 21;
constexpr VARTYPE VT_INT = 22;
constexpr VARTYPE VT_UINT = 23;
constexpr VARTYPE VT_VOID = 24;
constexpr VARTYPE VT_HRESULT = 25;
constexpr VARTYPE VT_PTR = 26;
constexpr VARTYPE VT_SAFEARRAY = 27;
constexpr VARTYPE VT_CARRAY = 28;
constexpr VARTYPE VT_USERDEFINED = 29;
constexpr VARTYPE VT_LPSTR = 30;
constexpr VARTYPE VT_LPWSTR = 31;
constexpr VARTYPE VT_ARRAY = 0x2000;
constexpr VARTYPE VT_BYREF = 0x4000;

// Result codes of the automation calls.
constexpr HRESULT S_OK = 0;
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT DISP_E_MEMBERNOTFOUND = static_cast<HRESULT>(0x80020003u);
constexpr HRESULT DISP_E_TYPEMISMATCH = static_cast<HRESULT>(0x80020005u);
constexpr HRESULT DISP_E_BADVARTYPE = static_cast<HRESULT>(0x80020008u);
constexpr HRESULT DISP_E_OVERFLOW = static_cast<HRESULT>(0x8002000Au);
constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

// A failed automation operation, with its result code.
class COleException : public CException {
 public:
  explicit COleException(HRESULT sc);
  HRESULT m_sc;
};

// The calendar parts of an OLE date.
struct OleDateParts {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0;
};

// OLE dates count days from 30 December 1899; the fraction is the time of
// day, and for dates before that day its magnitude is. Dates outside the
// years 100 to 9999 are refused.
bool OleDateToParts(double date, OleDateParts& parts);
bool PartsToOleDate(const OleDateParts& parts, double& date);
// Halves go to the even neighbour, as the type change rounds.
double RoundHalfEven(double value);

// A tagged value. Integers (and booleans, -1 for true) are held as 64 bits,
// reals and dates as doubles, currency as a 64-bit count of ten-thousandths,
// strings as UTF-16. Interface pointers, arrays and references are carried
// as their type code only: nothing here can reach them, so they never convert.
class COleVariant {
 public:
  COleVariant() = default;
  static COleVariant Null();
  static COleVariant Int(VARTYPE vt, std::int64_t value);
  static COleVariant Real(VARTYPE vt, double value);
  static COleVariant Bool(bool value);
  static COleVariant Date(double oleDate);
  static COleVariant Currency(std::int64_t tenThousandths);
  static COleVariant String(std::u16string text);
  // A string from code page 1252 text.
  static COleVariant Ansi(std::string_view text);
  // A value of a type that carries nothing we can read (interfaces, arrays, references).
  static COleVariant Opaque(VARTYPE vt);

  VARTYPE GetType() const { return m_vt; }
  std::int64_t GetInt() const { return m_int; }
  double GetReal() const { return m_real; }
  const std::u16string& GetString() const { return m_text; }
  // The string in code page 1252.
  CString GetAnsi() const;

  // Changes the value to the type in place, by the automation type change
  // rules in the C locale; throws COleException (type mismatch, overflow,
  // bad type) and leaves the value unchanged when it cannot.
  void ChangeType(VARTYPE vt);
  COleVariant ConvertedTo(VARTYPE vt) const {
    COleVariant copy(*this);
    copy.ChangeType(vt);
    return copy;
  }

  bool operator==(const COleVariant&) const = default;

 private:
  VARTYPE m_vt = VT_EMPTY;
  std::int64_t m_int = 0;
  double m_real = 0.0;
  std::u16string m_text;
};
