// Dialog data exchange of measurements (twips shown in the current unit),
// combo-box selections and combo-box entries from the string table.
#pragma once

#include <climits>

#include "platform/user/dialog.h"

// The no-value mark of a measurement: an empty field.
constexpr int kNoMeasurement = INT_MAX;

// Filling: the value printed with 2 decimals (nothing for kNoMeasurement).
// Reading: at most 64 characters of the field; empty gives kNoMeasurement;
// text that is no measurement shows message 103 (information icon) and fails
// the exchange; a value keeps only what 2 decimals of the unit show. FALSE
// when the exchange has failed.
BOOL DDX_Measurement(CDataExchange* dx, int id, int& twips);

// Reading only: a value outside [minimum, maximum] shows message 119 with
// the bounds printed in the current unit (exclamation icon) and fails the
// exchange. kNoMeasurement (an empty field) passes. FALSE when the exchange
// has failed.
BOOL DDV_MinMaxMeasurement(CDataExchange* dx, int id, int twips, int minimum, int maximum);

// Filling only: an empty combo box gets the strings of consecutive ids from
// firstStringId until an id the string table does not hold.
void DDX_ComboStrings(CDataExchange* dx, int id, UINT firstStringId);

// The combo box's selection index both ways (-1: none).
void DDX_CBIndex(CDataExchange* dx, int id, int& index);
