// Measurement, combo-box index and combo-box string exchange for dialogs.
#include "controls/dialog_data.h"

#include "model/measurement_units.h"
#include "model/string_table.h"
#include "platform/user/combo_box.h"
#include "platform/user/message_box.h"

namespace {

constexpr int kMaxMeasurementText = 64;
constexpr int kPrintDecimals = 2;

CComboBox* ComboOf(CDataExchange* dx, int id) {
  return dx->Failed() ? nullptr : dynamic_cast<CComboBox*>(dx->Dialog().GetDlgItem(id));
}

}  // namespace

BOOL DDX_Measurement(CDataExchange* dx, int id, int& twips) {
  if (dx->Failed()) return FALSE;
  CWnd* control = dx->Dialog().GetDlgItem(id);
  if (!control) return TRUE;
  if (!dx->m_bSaveAndValidate) {
    CString text;
    if (twips != kNoMeasurement) PrintTwips(text, twips, kPrintDecimals);
    control->SetWindowText(text);
    return TRUE;
  }
  CString text = control->GetWindowText().Left(kMaxMeasurementText);
  // Blanks around the value are not part of it; a field of blanks is empty.
  text.Trim();
  if (text.IsEmpty()) {
    twips = kNoMeasurement;
    return TRUE;
  }
  int value = 0;
  if (!ParseMeasurement(text, value)) {
    AfxMessageBox(LoadStringText(StringId::kInvalidMeasurement), MB_ICONINFORMATION);
    dx->Fail(id);
    return FALSE;
  }
  // Keep only what two decimals of the unit show, as the field would show it.
  CString shown;
  PrintTwips(shown, value, kPrintDecimals);
  int rounded = value;
  if (ParseMeasurement(shown, rounded)) value = rounded;
  // A typed value is never taken for the no-value mark; the range check refuses it.
  twips = value == kNoMeasurement ? kNoMeasurement - 1 : value;
  return TRUE;
}

BOOL DDV_MinMaxMeasurement(CDataExchange* dx, int id, int twips, int minimum, int maximum) {
  if (dx->Failed()) return FALSE;
  if (!dx->m_bSaveAndValidate || twips == kNoMeasurement) return TRUE;
  if (twips >= minimum && twips <= maximum) return TRUE;
  CString low, high;
  PrintTwips(low, minimum, kPrintDecimals);
  PrintTwips(high, maximum, kPrintDecimals);
  AfxMessageBox(FormatString2(LoadStringText(StringId::kMeasurementRange), low, high), MB_ICONEXCLAMATION);
  dx->Fail(id);
  return FALSE;
}

void DDX_ComboStrings(CDataExchange* dx, int id, UINT firstStringId) {
  CComboBox* combo = ComboOf(dx, id);
  if (!combo || dx->m_bSaveAndValidate || combo->GetCount() > 0) return;
  for (UINT stringId = firstStringId; HasStringText(stringId); ++stringId) combo->AddString(LoadStringText(stringId));
}

void DDX_CBIndex(CDataExchange* dx, int id, int& index) {
  CComboBox* combo = ComboOf(dx, id);
  if (!combo) return;
  if (dx->m_bSaveAndValidate) index = combo->GetCurSel();
  else combo->SetCurSel(index);
}
