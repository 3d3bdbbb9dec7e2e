// Course variables to automation values and back: what control calls and control events pass.
#pragma once

#include "platform/base/variant.h"

class CVariable;

// The variable's value: a string as a string, a number as a real, an
// integer as a 32-bit integer, a date-time as an OLE date of its local
// time; an empty value for every other type.
COleVariant VariantFromVariable(const CVariable& variable);

// Stores the value by the variable's type: changed to a string, a real or a
// date (set as the local time of its parts); integer and other variables are
// left alone. Throws COleException when the value does not convert, and the
// variable is then unchanged.
void StoreVariantInVariable(CVariable& variable, const COleVariant& value);
