// Reading, binding and the stored form of bindable integers and rectangles.
#include "model/var_or_value.h"

#include "model/archive.h"
#include "model/value_conversion.h"
#include "model/variable.h"
#include "model/variable_context.h"
#include "platform/base/number_text.h"

IMPLEMENT_SERIAL(CVarOrValue, CObject, VERSIONABLE_SCHEMA | 2)
IMPLEMENT_SERIAL(CVariableRect, CObject, VERSIONABLE_SCHEMA | 2)

using tvn::values::TruncateToLong;

LONG CVarOrValue::GetLong(CVariableContext& context) const {
  if (m_nVarId != 0) {
    if (const CVariable* v = FindVariableById(context, m_nVarId)) {
      if (v->GetType() == VarType::kNumber) return TruncateToLong(v->GetReal());
      if (v->GetType() == VarType::kInteger) return v->GetLong();
    }
  }
  return m_nValue;
}

double CVarOrValue::GetDouble(CVariableContext& context) const {
  if (m_nVarId != 0) {
    if (const CVariable* v = FindVariableById(context, m_nVarId)) {
      if (v->GetType() == VarType::kNumber) return v->GetReal();
      if (v->GetType() == VarType::kInteger) return v->GetLong();
    }
  }
  return m_nValue;
}

CString CVarOrValue::GetVariableName(CVariableContext& context) const {
  if (m_nVarId == 0) return CString();
  const CVariable* v = FindVariableById(context, m_nVarId);
  return v ? v->GetName() : CString();
}

void CVarOrValue::Format(CVariableContext& context, CString& text) const {
  if (m_nVarId == 0) {
    text = CString(tvn::numtext::FormatInteger(m_nValue));
    return;
  }
  if (const CVariable* v = FindVariableById(context, m_nVarId)) text = v->GetName();
}

void CVarOrValue::SetFromText(CVariableContext& context, const CString& text) {
  CString name = text;
  name.Trim();
  if (name.IsEmpty()) return;
  if (name[0] == '#' && m_nVarId != 0) return;
  if (name[0] == '{') {
    int close = name.Find('}');
    if (close > 1) name = name.Mid(1, close - 1);
  }
  if (const CVariable* v = FindVariable(context, name.view())) {
    m_nVarId = v->GetId();
    m_nValue = 0;
    return;
  }
  m_nVarId = 0;
  // strtol on the text as given: leading blanks and a sign, then digits.
  auto parsed = tvn::numtext::ParseIntegerPrefix(text.view());
  m_nValue = tvn::values::Saturate(parsed ? parsed->value : 0);
}

void CVarOrValue::Serialize(CArchive& ar) {
  ar.ReadClass(RUNTIME_CLASS(CVarOrValue));
  m_nValue = ar.ReadLong();
  m_nVarId = ar.ReadLong();
}

void CVariableRect::SetConstants(const CRect& rect) {
  if (!left.IsVariable()) left.SetLiteral(rect.left);
  if (!top.IsVariable()) top.SetLiteral(rect.top);
  if (!right.IsVariable()) right.SetLiteral(rect.right);
  if (!bottom.IsVariable()) bottom.SetLiteral(rect.bottom);
}

void CVariableRect::Serialize(CArchive& ar) {
  left.Serialize(ar);
  top.Serialize(ar);
  right.Serialize(ar);
  bottom.Serialize(ar);
}
