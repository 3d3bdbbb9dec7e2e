// Local time through localtime_r and strftime_l on a C locale object.
#include "platform/base/local_time.h"

#include <ctime>
#include <locale.h>
#include <time.h>

#include <vector>

namespace tvn::localtime {
namespace {

bool BreakDown(std::int64_t seconds, std::tm& out) {
  std::time_t t = static_cast<std::time_t>(seconds);
  return localtime_r(&t, &out) != nullptr;
}

locale_t CLocale() {
  static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return loc;
}

}  // namespace

std::int64_t Now() { return static_cast<std::int64_t>(std::time(nullptr)); }

CalendarTime ToLocal(std::int64_t seconds) {
  std::tm tm{};
  if (!BreakDown(seconds, tm)) return {};
  return CalendarTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, tm.tm_wday};
}

std::int64_t FromLocal(const CalendarTime& time) {
  std::tm tm{};
  tm.tm_year = time.year - 1900;
  tm.tm_mon = time.month - 1;
  tm.tm_mday = time.day;
  tm.tm_hour = time.hour;
  tm.tm_min = time.minute;
  tm.tm_sec = time.second;
  tm.tm_isdst = -1;
  const std::time_t t = std::mktime(&tm);
  return t == static_cast<std::time_t>(-1) ? 0 : static_cast<std::int64_t>(t);
}

std::string Format(std::string_view format, std::int64_t seconds, std::size_t maxLength) {
  if (format.empty()) return {};
  std::tm tm{};
  if (!BreakDown(seconds, tm)) BreakDown(0, tm);
  std::string fmt(format);
  // strftime gives 0 both for an empty result and for a buffer too small, so
  // the buffer grows until the output fits or the limit is reached.
  std::size_t size = fmt.size() * 4 + 64;
  while (size <= maxLength + 1) {
    std::vector<char> buffer(size);
    locale_t loc = CLocale();
    std::size_t n = loc ? strftime_l(buffer.data(), buffer.size(), fmt.c_str(), &tm, loc)
                        : std::strftime(buffer.data(), buffer.size(), fmt.c_str(), &tm);
    if (n > 0) return std::string(buffer.data(), n);
    size *= 2;
  }
  return {};
}

}  // namespace tvn::localtime
