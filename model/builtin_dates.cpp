// Built-in date and time functions: the date now, its parts, month and day names, and time-span totals.
#include "model/builtin_functions.h"
#include "model/calendar_names.h"
#include "model/variable_context.h"
#include "platform/base/local_time.h"

namespace tvn::builtins {
namespace {

// The local time of a1's date-time, or of now when it is absent or 0.
localtime::CalendarTime DateOf(CBuiltinCall& call) {
  LONG seconds = call.argumentCount >= 1 ? call.Arg(1).GetDateTime() : 0;
  return localtime::ToLocal(seconds != 0 ? seconds : call.context.Now());
}

// Time spans give their totals; anything else is read as a date-time.
void TimePart(CBuiltinCall& call, LONG divisor, int (*part)(const localtime::CalendarTime&)) {
  if (call.argumentCount >= 1 && call.Arg(1).IsTimeSpan()) {
    call.SetNumber(call.Arg(1).GetTimeSpan() / divisor);
    return;
  }
  call.SetNumber(part(DateOf(call)));
}

}  // namespace

void GetCurrentDate(CBuiltinCall& call) {
  // Both values hold 32-bit seconds: stored times are 32-bit.
  auto now = static_cast<LONG>(call.context.Now());
  call.Result().SetDateTime(now);
  call.Result().SetTimeSpan(now);
  call.Result().SetType(VarType::kDateTime);
}

void GetYear(CBuiltinCall& call) { call.SetNumber(DateOf(call).year); }
void GetMonth(CBuiltinCall& call) { call.SetNumber(DateOf(call).month); }
void GetDay(CBuiltinCall& call) { call.SetNumber(DateOf(call).day); }

void GetMonthName(CBuiltinCall& call) {
  const char* name = calendar::NameText(calendar::kFirstMonthId - 1 + static_cast<UINT>(DateOf(call).month));
  call.SetText(name ? name : "");
}

void GetDayName(CBuiltinCall& call) {
  const char* name = calendar::NameText(calendar::kFirstDayId + static_cast<UINT>(DateOf(call).weekday));
  call.SetText(name ? name : "");
}

void GetHour(CBuiltinCall& call) {
  TimePart(call, 3600, [](const localtime::CalendarTime& t) { return t.hour; });
}
void GetMinutes(CBuiltinCall& call) {
  TimePart(call, 60, [](const localtime::CalendarTime& t) { return t.minute; });
}
void GetSeconds(CBuiltinCall& call) {
  TimePart(call, 1, [](const localtime::CalendarTime& t) { return t.second; });
}

}  // namespace tvn::builtins
