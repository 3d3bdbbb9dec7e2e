// The automation value type: construction, OLE dates and the type change in the C locale.
#include "platform/base/variant.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>

#include "platform/base/codepage.h"

namespace {

// Days from 1 January 1970 to a civil date, and back (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
}

// Day 0 of OLE dates, 30 December 1899, counted from 1 January 1970.
constexpr std::int64_t kOleEpoch = -25569;
// 1 January 100 and 31 December 9999.
constexpr double kMinDate = -657434.0;
constexpr double kMaxDate = 2958466.0;

int DaysInMonth(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0)) return 29;
  return kDays[m - 1];
}

bool IsIntegerType(VARTYPE vt) {
  switch (vt) {
    case VT_I1: case VT_I2: case VT_I4: case VT_I8: case VT_INT:
    case VT_UI1: case VT_UI2: case VT_UI4: case VT_UI8: case VT_UINT: return true;
    default: return false;
  }
}

bool IsValueType(VARTYPE vt) {
  return IsIntegerType(vt) || vt == VT_R4 || vt == VT_R8 || vt == VT_CY || vt == VT_DATE || vt == VT_BSTR ||
         vt == VT_BOOL;
}

// The range of an integer type, as doubles (exact for every bound but the 64-bit ones).
void IntegerRange(VARTYPE vt, double& lo, double& hi) {
  switch (vt) {
    case VT_I1: lo = -128; hi = 127; return;
    case VT_UI1: lo = 0; hi = 255; return;
    case VT_I2: lo = -32768; hi = 32767; return;
    case VT_UI2: lo = 0; hi = 65535; return;
    case VT_I4: case VT_INT: lo = -2147483648.0; hi = 2147483647.0; return;
    case VT_UI4: case VT_UINT: lo = 0; hi = 4294967295.0; return;
    case VT_I8: lo = -9223372036854775808.0; hi = 9223372036854775807.0; return;
    default: lo = 0; hi = 18446744073709551615.0; return;
  }
}

[[noreturn]] void Fail(HRESULT sc) { throw COleException(sc); }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// A whole number or real in the C locale: optional sign, digits, point, exponent.
std::optional<double> ParseNumber(std::string_view s) {
  s = Trim(s);
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (s.empty() || s.front() == '+' || s.front() == '-') return std::nullopt;
  double value = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::general);
  if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(value)) return std::nullopt;
  return negative ? -value : value;
}

// Reads an unsigned number of up to maxDigits digits.
bool ReadField(std::string_view& s, int maxDigits, int& out) {
  int digits = 0;
  out = 0;
  while (!s.empty() && s.front() >= '0' && s.front() <= '9' && digits < maxDigits) {
    out = out * 10 + (s.front() - '0');
    s.remove_prefix(1);
    ++digits;
  }
  return digits > 0;
}

bool Accept(std::string_view& s, char c) {
  if (s.empty() || s.front() != c) return false;
  s.remove_prefix(1);
  return true;
}

// "h:mm[:ss][ AM|PM]" to the end of the text.
bool ParseTime(std::string_view s, OleDateParts& p) {
  if (!ReadField(s, 2, p.hour) || !Accept(s, ':') || !ReadField(s, 2, p.minute)) return false;
  if (Accept(s, ':') && !ReadField(s, 2, p.second)) return false;
  s = Trim(s);
  if (!s.empty()) {
    if (s.size() != 2 || (s[1] != 'M' && s[1] != 'm') || p.hour < 1 || p.hour > 12) return false;
    const char c = s[0];
    if (c == 'A' || c == 'a') p.hour %= 12;
    else if (c == 'P' || c == 'p') p.hour = p.hour % 12 + 12;
    else return false;
  }
  return p.hour < 24 && p.minute < 60 && p.second < 60;
}

// "M/D/YYYY" or "YYYY-MM-DD", then optionally a time; or a time alone.
std::optional<double> ParseDate(std::string_view s) {
  s = Trim(s);
  OleDateParts p;
  std::string_view rest = s;
  int a = 0;
  bool haveDate = false;
  if (ReadField(rest, 4, a)) {
    if (Accept(rest, '/')) {
      p.month = a;
      if (!ReadField(rest, 2, p.day) || !Accept(rest, '/') || !ReadField(rest, 4, p.year)) return std::nullopt;
      haveDate = true;
    } else if (Accept(rest, '-')) {
      p.year = a;
      if (!ReadField(rest, 2, p.month) || !Accept(rest, '-') || !ReadField(rest, 2, p.day)) return std::nullopt;
      haveDate = true;
    }
  }
  if (haveDate) {
    if (p.month < 1 || p.month > 12 || p.day < 1 || p.day > DaysInMonth(p.year, p.month)) return std::nullopt;
    rest = Trim(rest);
    if (!rest.empty() && !ParseTime(rest, p)) return std::nullopt;
  } else if (!ParseTime(s, p)) {
    return std::nullopt;
  }
  double date = 0;
  if (!PartsToOleDate(p, date)) return std::nullopt;
  return date;
}

std::string FormatReal(double value, int digits) {
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
  std::string text(buffer, ec == std::errc() ? end : buffer);
  for (char& c : text)
    if (c == 'e') c = 'E';
  return text;
}

std::string FormatCurrency(std::int64_t value) {
  const bool negative = value < 0;
  const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  std::string text = (negative ? "-" : "") + std::to_string(magnitude / 10000);
  std::string fraction = std::to_string(magnitude % 10000);
  fraction.insert(0, 4 - fraction.size(), '0');
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  if (!fraction.empty()) text += "." + fraction;
  return text;
}

// The date as the C locale shows it: "M/D/YYYY h:mm:ss AM", the date left
// out on day 0 and the time at midnight.
std::string FormatDate(double date) {
  OleDateParts p;
  if (!OleDateToParts(date, p)) Fail(DISP_E_OVERFLOW);
  std::string text;
  const bool time = p.hour || p.minute || p.second;
  if (!(p.year == 1899 && p.month == 12 && p.day == 30) || !time)
    text = std::to_string(p.month) + "/" + std::to_string(p.day) + "/" + std::to_string(p.year);
  if (time) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d:%02d:%02d %s", p.hour % 12 == 0 ? 12 : p.hour % 12, p.minute, p.second,
                  p.hour < 12 ? "AM" : "PM");
    if (!text.empty()) text += ' ';
    text += buffer;
  }
  return text;
}

}  // namespace

COleException::COleException(HRESULT sc)
    : CException("automation error 0x" + [sc] {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%08X", static_cast<unsigned>(sc));
        return std::string(buffer);
      }()),
      m_sc(sc) {}

double RoundHalfEven(double value) {
  double r = std::floor(value);
  const double diff = value - r;
  if (diff > 0.5 || (diff == 0.5 && std::fmod(r, 2.0) != 0.0)) r += 1.0;
  return r;
}

bool OleDateToParts(double date, OleDateParts& parts) {
  if (!std::isfinite(date) || date < kMinDate || date >= kMaxDate) return false;
  std::int64_t day = static_cast<std::int64_t>(std::trunc(date));
  std::int64_t seconds = std::llround(std::fabs(date - static_cast<double>(day)) * 86400.0);
  if (seconds >= 86400) {
    ++day;
    seconds = 0;
  }
  CivilFromDays(day + kOleEpoch, parts.year, parts.month, parts.day);
  parts.hour = static_cast<int>(seconds / 3600);
  parts.minute = static_cast<int>(seconds / 60 % 60);
  parts.second = static_cast<int>(seconds % 60);
  return true;
}

bool PartsToOleDate(const OleDateParts& p, double& date) {
  if (p.year < 100 || p.year > 9999 || p.month < 1 || p.month > 12 || p.day < 1 ||
      p.day > DaysInMonth(p.year, p.month) || p.hour < 0 || p.hour > 23 || p.minute < 0 || p.minute > 59 ||
      p.second < 0 || p.second > 59)
    return false;
  const double day = static_cast<double>(DaysFromCivil(p.year, static_cast<unsigned>(p.month),
                                                      static_cast<unsigned>(p.day)) - kOleEpoch);
  const double time = (p.hour * 3600 + p.minute * 60 + p.second) / 86400.0;
  date = day >= 0 ? day + time : day - time;
  return true;
}

COleVariant COleVariant::Null() { return Opaque(VT_NULL); }

COleVariant COleVariant::Int(VARTYPE vt, std::int64_t value) {
  COleVariant v;
  v.m_vt = vt;
  v.m_int = value;
  return v;
}

COleVariant COleVariant::Real(VARTYPE vt, double value) {
  COleVariant v;
  v.m_vt = vt;
  v.m_real = value;
  return v;
}

COleVariant COleVariant::Bool(bool value) { return Int(VT_BOOL, value ? -1 : 0); }
COleVariant COleVariant::Date(double oleDate) { return Real(VT_DATE, oleDate); }
COleVariant COleVariant::Currency(std::int64_t tenThousandths) { return Int(VT_CY, tenThousandths); }

COleVariant COleVariant::String(std::u16string text) {
  COleVariant v;
  v.m_vt = VT_BSTR;
  v.m_text = std::move(text);
  return v;
}

COleVariant COleVariant::Ansi(std::string_view text) { return String(tvn::codepage::ToUtf16(text)); }

COleVariant COleVariant::Opaque(VARTYPE vt) {
  COleVariant v;
  v.m_vt = vt;
  return v;
}

CString COleVariant::GetAnsi() const { return CString(tvn::codepage::FromUtf16(m_text)); }

void COleVariant::ChangeType(VARTYPE vt) {
  if (vt == m_vt || vt == VT_VARIANT) return;
  if (vt == VT_EMPTY) {
    *this = COleVariant();
    return;
  }
  if (!IsValueType(vt) && vt != VT_NULL) Fail(DISP_E_BADVARTYPE);
  if (vt == VT_NULL || m_vt == VT_NULL) Fail(DISP_E_TYPEMISMATCH);
  if (m_vt != VT_EMPTY && !IsValueType(m_vt)) Fail(DISP_E_TYPEMISMATCH);

  if (vt == VT_BSTR) {
    std::string text;
    if (m_vt == VT_EMPTY) text.clear();
    else if (IsIntegerType(m_vt) || m_vt == VT_BOOL) text = m_vt == VT_UI8 ? std::to_string(static_cast<std::uint64_t>(m_int)) : std::to_string(m_int);
    else if (m_vt == VT_R4) text = FormatReal(m_real, 7);
    else if (m_vt == VT_R8) text = FormatReal(m_real, 15);
    else if (m_vt == VT_CY) text = FormatCurrency(m_int);
    else if (m_vt == VT_DATE) text = FormatDate(m_real);
    *this = String(tvn::codepage::ToUtf16(text));
    return;
  }

  // The source as a number: exact for integers, a double otherwise.
  bool exact = false;
  std::int64_t whole = 0;
  double real = 0;
  if (m_vt == VT_EMPTY) {
    exact = true;
  } else if (IsIntegerType(m_vt) || m_vt == VT_BOOL) {
    exact = m_vt != VT_UI8 || m_int >= 0;
    whole = m_int;
    real = m_vt == VT_UI8 ? static_cast<double>(static_cast<std::uint64_t>(m_int)) : static_cast<double>(m_int);
  } else if (m_vt == VT_CY) {
    real = static_cast<double>(m_int) / 10000.0;
    exact = m_int % 10000 == 0;
    whole = m_int / 10000;
  } else if (m_vt == VT_BSTR) {
    const std::string text = tvn::codepage::FromUtf16(m_text);
    std::optional<double> parsed;
    if (vt == VT_DATE) {
      parsed = ParseDate(text);
    } else if (vt == VT_BOOL) {
      const std::string_view t = Trim(text);
      if (tvn::codepage::CompareNoCase(t, "true") == 0) parsed = -1.0;
      else if (tvn::codepage::CompareNoCase(t, "false") == 0) parsed = 0.0;
      else parsed = ParseNumber(t);
    } else {
      // Whole numbers keep every digit; the rest go through a double.
      std::string_view t = Trim(text);
      if (!t.empty() && t.front() == '+') t.remove_prefix(1);
      std::int64_t n = 0;
      auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), n);
      if (!t.empty() && ec == std::errc() && end == t.data() + t.size()) {
        exact = true;
        whole = n;
        parsed = static_cast<double>(n);
      } else {
        parsed = ParseNumber(text);
      }
    }
    if (!parsed) Fail(DISP_E_TYPEMISMATCH);
    real = *parsed;
  } else {
    real = m_real;  // R4, R8, DATE
  }

  if (vt == VT_BOOL) {
    *this = Bool(exact ? whole != 0 : real != 0.0);
  } else if (IsIntegerType(vt)) {
    double lo = 0, hi = 0;
    IntegerRange(vt, lo, hi);
    if (exact) {
      if (vt == VT_UI8 ? whole < 0 : (static_cast<double>(whole) < lo || static_cast<double>(whole) > hi))
        Fail(DISP_E_OVERFLOW);
      *this = Int(vt, whole);
    } else {
      const double r = RoundHalfEven(real);
      // The 64-bit bounds are powers of two: a value equal to the upper one is already past it.
      if (!std::isfinite(r) || r < lo || r > hi || ((vt == VT_I8 || vt == VT_UI8) && r >= hi)) Fail(DISP_E_OVERFLOW);
      *this = Int(vt, vt == VT_UI8 ? static_cast<std::int64_t>(static_cast<std::uint64_t>(r))
                                   : static_cast<std::int64_t>(r));
    }
  } else if (vt == VT_R4) {
    if (std::fabs(real) > std::numeric_limits<float>::max()) Fail(DISP_E_OVERFLOW);
    *this = Real(VT_R4, static_cast<double>(static_cast<float>(real)));
  } else if (vt == VT_R8) {
    *this = Real(VT_R8, real);
  } else if (vt == VT_DATE) {
    if (!std::isfinite(real) || real < kMinDate || real >= kMaxDate) Fail(DISP_E_OVERFLOW);
    *this = Date(real);
  } else {  // VT_CY
    if (exact && m_vt != VT_CY) {
      if (whole > std::numeric_limits<std::int64_t>::max() / 10000 || whole < std::numeric_limits<std::int64_t>::min() / 10000)
        Fail(DISP_E_OVERFLOW);
      *this = Currency(whole * 10000);
    } else {
      const double scaled = RoundHalfEven(real * 10000.0);
      if (!std::isfinite(scaled) || std::fabs(scaled) >= 9223372036854775807.0) Fail(DISP_E_OVERFLOW);
      *this = Currency(static_cast<std::int64_t>(scaled));
    }
  }
}
