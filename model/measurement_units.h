// Measurement units: typed measurements ("2.5 cm", "72 pt") to twips (1/1440 inch) and back.
#pragma once

#include <functional>

#include "platform/base/cstring.h"
#include "platform/base/win_types.h"

// The six rows of the unit table, in the order names are matched.
constexpr int kMeasurementUnitCount = 6;

struct MeasurementUnit {
  int twipsPerUnit;
  UINT nameId;           // string-table id of the unit's name
  bool spaceBeforeName;  // printed as "2.5 cm", but as 1" and "1in"
};

// The table's fixed columns; an index out of range gives the first row.
const MeasurementUnit& GetMeasurementUnit(int index);

// Loads the six names from the string table through loadString; a name the
// table lacks (an empty text) keeps its built-in English text. Called once by
// the application's start-up before any measurement is read or printed.
void LoadUnitNames(const std::function<CString(UINT id)>& loadString);

// The unit measurements are printed in and that a bare number is read in:
// the first row (inches, printed with the inch mark) for the whole run.
int GetUnitTwips();
CString GetUnitName();
int GetUnitTwips(int index);
CString GetUnitName(int index);

// Reads "number [unit]" into twips rounded half away from zero. FALSE, with
// twips left alone, for an empty text, an unknown unit name or a value
// that does not fit in twips.
BOOL ParseMeasurement(const CString& text, int& twips);

// Prints twips in the current unit with at most decimals decimals, trailing
// zeros dropped: 1440 twips give 1" and 1000 with 2 decimals 0.7".
void PrintTwips(CString& text, int twips, int decimals);
