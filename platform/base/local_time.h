// Local calendar time and strftime-style formatting in the C locale.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tvn::localtime {

// The broken-down local time of a count of seconds since 1 January 1970.
struct CalendarTime {
  int year = 1970;    // full year
  int month = 1;      // 1 to 12
  int day = 1;        // 1 to 31
  int hour = 0;       // 0 to 23
  int minute = 0;
  int second = 0;
  int weekday = 0;    // 0 Sunday to 6 Saturday
};

// The current time in seconds since 1 January 1970.
std::int64_t Now();

// The local time (TZ rules) of seconds; a value the C library cannot break
// down gives 1 January 1970.
CalendarTime ToLocal(std::int64_t seconds);
// The seconds of a local time (weekday ignored, daylight saving found by the
// TZ rules); a time the C library cannot make gives 0.
std::int64_t FromLocal(const CalendarTime& time);

// Formats the local time of seconds with C strftime conventions, month and
// day names in English whatever the process locale is. The output grows as
// needed; a format whose output would pass maxLength gives an empty text.
std::string Format(std::string_view format, std::int64_t seconds, std::size_t maxLength = 65536);

}  // namespace tvn::localtime
