// Applying property and method records to a live control: arguments from variables or constants, results into variables.
#include "controls/activex_wnd.h"
#include "controls/ctrl_records.h"
#include "controls/variant_variables.h"
#include "model/script.h"
#include "model/variable_context.h"

namespace {

CVariable* BoundVariable(const std::vector<LONG>& ids, std::size_t index, CVariableContext* variables) {
  if (!variables || index >= ids.size() || ids[index] == 0) return nullptr;
  return FindVariableById(*variables, ids[index]);
}

}  // namespace

COleVariant CCtrlPropMethod::BuildArgument(std::size_t index, CVariableContext* variables) const {
  const CParameter& parameter = *m_parameters[index];
  if (CVariable* variable = BoundVariable(m_variableIds, index, variables)) {
    COleVariant value = VariantFromVariable(*variable);
    // A variable of a type with no value to pass gives an empty argument.
    if (value.GetType() != VT_EMPTY) value.ChangeType(parameter.m_vt);
    return value;
  }
  const CString text = index < m_constants.size() ? m_constants[index] : CString();
  if (!text.IsEmpty()) {
    const CString expanded = variables ? ExpandVariables(*variables, text, ExpandMode::kPlain) : text;
    return COleVariant::Ansi(expanded.str()).ConvertedTo(parameter.m_vt);
  }
  switch (parameter.m_nValueKind) {
    case ValueKind::kString: return COleVariant::String(u"");
    case ValueKind::kCurrency: return COleVariant::Currency(0);
    case ValueKind::kDate: return COleVariant::Date(0.0);
    case ValueKind::kEnumeration: return COleVariant::Int(VT_I2, 1).ConvertedTo(parameter.m_vt);
    case ValueKind::kNumber:
    case ValueKind::kBoolean:
    case ValueKind::kColour: return COleVariant::Int(VT_I2, 0).ConvertedTo(parameter.m_vt);
    default: return COleVariant();  // variant, none, font: an empty argument
  }
}

void CCtrlPropMethod::StoreResult(std::size_t idIndex, const COleVariant& result, CVariableContext* variables) const {
  if (CVariable* variable = BoundVariable(m_variableIds, idIndex, variables)) StoreVariantInVariable(*variable, result);
}

BOOL CCtrlPropMethod::Invoke(CActiveXWnd* window, CVariableContext* variables) const {
  IDispatch* dispatch = window ? window->GetDispatch() : nullptr;
  if (!dispatch) return FALSE;
  DISPPARAMS params;
  COleVariant result;

  if (m_invokeKind == DISPATCH_METHOD) {
    const std::size_t n = m_parameters.size();
    for (const auto& parameter : m_parameters)
      if (parameter->m_nValueKind == ValueKind::kUnsupported) return FALSE;
    params.rgvarg.resize(n);
    // Arguments go last first, as the call expects them.
    for (std::size_t i = 0; i < n; ++i) params.rgvarg[n - 1 - i] = BuildArgument(i, variables);
    if (FAILED(dispatch->Invoke(m_dispid, DISPATCH_METHOD, params, &result))) return FALSE;
    StoreResult(n, result, variables);
    return TRUE;
  }

  if (m_invokeKind == DISPATCH_PROPERTYGET) {
    if (!BoundVariable(m_variableIds, 0, variables)) return FALSE;
    if (FAILED(dispatch->Invoke(m_dispid, DISPATCH_PROPERTYGET, params, &result))) return FALSE;
    StoreResult(0, result, variables);
    return TRUE;
  }

  // A put, by value or by reference, is always made as a put.
  if (m_parameters.empty()) return FALSE;
  const LONG kind = m_parameters[0]->m_nValueKind;
  if (kind == ValueKind::kUnsupported || kind == ValueKind::kNone) return FALSE;
  params.rgvarg.push_back(BuildArgument(0, variables));
  params.rgdispidNamedArgs.push_back(DISPID_PROPERTYPUT);
  return SUCCEEDED(dispatch->Invoke(m_dispid, DISPATCH_PROPERTYPUT, params, nullptr)) ? TRUE : FALSE;
}

int CCtrlPropMethodArray::InvokeAll(CActiveXWnd* window, CVariableContext* variables) const {
  for (const auto& record : m_records) {
    try {
      record->Invoke(window, variables);
    } catch (const COleException&) {
      // The record's value did not convert: it is skipped and the next one runs.
    }
  }
  return GetSize();
}
