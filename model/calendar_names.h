// Month and weekday names with their string-table ids, until the string table holds them.
#pragma once

#include "platform/base/win_types.h"

namespace tvn::calendar {

constexpr UINT kFirstMonthId = 5500;  // January; December is 5511
constexpr UINT kFirstDayId = 5550;    // Sunday; Saturday is 5556

// The text of a month or weekday id, or null for any other id.
const char* NameText(UINT id);

}  // namespace tvn::calendar
