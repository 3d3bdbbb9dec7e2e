// The English month and weekday names of the string table.
#include "model/calendar_names.h"

#include <iterator>

namespace tvn::calendar {
namespace {

constexpr const char* kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
constexpr const char* kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

}  // namespace

const char* NameText(UINT id) {
  if (id >= kFirstMonthId && id < kFirstMonthId + std::size(kMonths)) return kMonths[id - kFirstMonthId];
  if (id >= kFirstDayId && id < kFirstDayId + std::size(kDays)) return kDays[id - kFirstDayId];
  return nullptr;
}

}  // namespace tvn::calendar
