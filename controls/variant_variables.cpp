// Course variables to automation values and back.
#include "controls/variant_variables.h"

#include "model/variable.h"
#include "platform/base/local_time.h"

COleVariant VariantFromVariable(const CVariable& variable) {
  switch (variable.GetType()) {
    case VarType::kString: return COleVariant::Ansi(variable.GetString().str());
    case VarType::kNumber: return COleVariant::Real(VT_R8, variable.GetReal());
    case VarType::kInteger: return COleVariant::Int(VT_I4, variable.GetLong());
    case VarType::kDateTime: {
      const auto t = tvn::localtime::ToLocal(variable.GetDateTime());
      double date = 0;
      if (!PartsToOleDate(OleDateParts{t.year, t.month, t.day, t.hour, t.minute, t.second}, date))
        return COleVariant();
      return COleVariant::Date(date);
    }
    default: return COleVariant();
  }
}

void StoreVariantInVariable(CVariable& variable, const COleVariant& value) {
  switch (variable.GetType()) {
    case VarType::kString: variable.SetString(value.ConvertedTo(VT_BSTR).GetAnsi()); break;
    case VarType::kNumber: variable.SetReal(value.ConvertedTo(VT_R8).GetReal()); break;
    case VarType::kDateTime: {
      OleDateParts p;
      if (!OleDateToParts(value.ConvertedTo(VT_DATE).GetReal(), p)) throw COleException(DISP_E_OVERFLOW);
      tvn::localtime::CalendarTime t{p.year, p.month, p.day, p.hour, p.minute, p.second, 0};
      variable.SetDateTime(static_cast<LONG>(tvn::localtime::FromLocal(t)));
      break;
    }
    default: break;
  }
}
