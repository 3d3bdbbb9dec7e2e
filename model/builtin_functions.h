// The handlers of the built-in functions that compute on values alone.
#pragma once

#include "model/builtin_table.h"

namespace tvn::builtins {

// Text.
void LowerCase(CBuiltinCall& call);
void UpperCase(CBuiltinCall& call);
void StringLength(CBuiltinCall& call);
void SubString(CBuiltinCall& call);
void StripTrailing(CBuiltinCall& call);
void StripLeading(CBuiltinCall& call);
void Find(CBuiltinCall& call);
void ReverseFind(CBuiltinCall& call);
void Replace(CBuiltinCall& call);

// List elements.
void GetElement(CBuiltinCall& call);
void FindElement(CBuiltinCall& call);
void DeleteElement(CBuiltinCall& call);
void ReplaceElement(CBuiltinCall& call);
void InsertElement(CBuiltinCall& call);
void ElementCount(CBuiltinCall& call);

// Numbers.
void Random(CBuiltinCall& call);
void Abs(CBuiltinCall& call);
void Int(CBuiltinCall& call);
void Sqrt(CBuiltinCall& call);
void Mod(CBuiltinCall& call);
void RoundUp(CBuiltinCall& call);
void RoundDown(CBuiltinCall& call);
void Cos(CBuiltinCall& call);
void Sin(CBuiltinCall& call);
void Tan(CBuiltinCall& call);
void Acos(CBuiltinCall& call);
void Asin(CBuiltinCall& call);
void Atan(CBuiltinCall& call);
void Exp(CBuiltinCall& call);
void Log(CBuiltinCall& call);
void Log10(CBuiltinCall& call);

// Dates and times.
void GetCurrentDate(CBuiltinCall& call);
void GetYear(CBuiltinCall& call);
void GetMonth(CBuiltinCall& call);
void GetMonthName(CBuiltinCall& call);
void GetDay(CBuiltinCall& call);
void GetDayName(CBuiltinCall& call);
void GetHour(CBuiltinCall& call);
void GetMinutes(CBuiltinCall& call);
void GetSeconds(CBuiltinCall& call);

// Functions that act outside the values: the context runs them, or they
// report themselves unavailable.
void SystemFunction(CBuiltinCall& call);

}  // namespace tvn::builtins
