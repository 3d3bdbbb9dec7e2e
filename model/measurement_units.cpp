// The measurement-unit table, reading typed measurements and printing twips.
#include "model/measurement_units.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "platform/base/number_text.h"

namespace {

constexpr std::array<MeasurementUnit, kMeasurementUnitCount> kUnits = {{
    {1440, 169, false},  // the inch mark, a single double quote
    {568, 173, true},    // "cm": 568 twips, not the exact 566.9, as courses have always measured
    {20, 174, true},     // "pt"
    {1440, 170, false},  // "in"
    {1440, 171, false},  // "inch"
    {1440, 172, false},  // "inches"
}};

constexpr int kCurrentUnit = 0;
// More decimals than a double carries are never asked for; this also bounds the digit buffer.
constexpr int kMaxDecimals = 17;

// The names, in English until the string table's texts are loaded at start-up.
std::array<CString, kMeasurementUnitCount>& UnitNames() {
  static std::array<CString, kMeasurementUnitCount> names = {"\"", "cm", "pt", "in", "inch", "inches"};
  return names;
}

int ValidIndex(int index) { return index >= 0 && index < kMeasurementUnitCount ? index : 0; }

}  // namespace

const MeasurementUnit& GetMeasurementUnit(int index) { return kUnits[static_cast<std::size_t>(ValidIndex(index))]; }

void LoadUnitNames(const std::function<CString(UINT id)>& loadString) {
  if (!loadString) return;
  for (std::size_t i = 0; i < kUnits.size(); ++i) {
    CString name = loadString(kUnits[i].nameId);
    if (!name.IsEmpty()) UnitNames()[i] = name;
  }
}

int GetUnitTwips() { return GetUnitTwips(kCurrentUnit); }
CString GetUnitName() { return GetUnitName(kCurrentUnit); }
int GetUnitTwips(int index) { return GetMeasurementUnit(index).twipsPerUnit; }
CString GetUnitName(int index) { return UnitNames()[static_cast<std::size_t>(ValidIndex(index))]; }

BOOL ParseMeasurement(const CString& text, int& twips) {
  if (text.IsEmpty()) return FALSE;
  std::string_view rest = text.view();
  // Like strtod: no number at the start reads as 0 and the whole text is left for the unit.
  float number = 0;
  if (auto parsed = tvn::numtext::ParseDoublePrefix(rest)) {
    number = static_cast<float>(parsed->value);
    rest.remove_prefix(parsed->consumed);
  }
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);

  int perUnit = GetUnitTwips();
  if (!rest.empty()) {
    const auto& names = UnitNames();
    auto match = std::find_if(names.begin(), names.end(),
                              [&](const CString& name) { return name.CompareNoCase(rest) == 0; });
    if (match == names.end()) return FALSE;
    perUnit = kUnits[static_cast<std::size_t>(match - names.begin())].twipsPerUnit;
  }

  // The product is taken in single precision, as the number is held.
  float product = static_cast<float>(perUnit) * number;
  double rounded = std::trunc(product >= 0 ? product + 0.5 : product - 0.5);
  if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) return FALSE;  // also NaN
  twips = static_cast<int>(rounded);
  return TRUE;
}

void PrintTwips(CString& text, int twips, int decimals) {
  const MeasurementUnit& unit = GetMeasurementUnit(kCurrentUnit);
  long long perUnit = unit.twipsPerUnit;
  int d = std::clamp(decimals, 0, kMaxDecimals);

  // Decimal digits of |twips| / perUnit, the last rounded by what remains, to
  // find how many decimals are worth printing.
  long long v = std::llabs(static_cast<long long>(twips));
  std::vector<long long> digits(static_cast<std::size_t>(d) + 1);
  for (long long& digit : digits) {
    digit = v / perUnit;
    v = (v % perUnit) * 10;
  }
  if (v >= perUnit / 2) {
    for (int i = d; i >= 0; --i) {
      if (++digits[static_cast<std::size_t>(i)] < 10 || i == 0) break;
      digits[static_cast<std::size_t>(i)] = 0;
    }
  }
  while (d > 0 && digits[static_cast<std::size_t>(d)] == 0) --d;

  text = CString(tvn::numtext::FormatFixed(static_cast<double>(twips) / static_cast<double>(perUnit), d));
  if (unit.spaceBeforeName) text += ' ';
  text += GetUnitName(kCurrentUnit);
}
