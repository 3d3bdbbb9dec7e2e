// CVarOrValue and CVariableRect: integers that are literals or bound to variables.
#pragma once

#include "platform/base/cstring.h"
#include "platform/base/geometry.h"
#include "platform/base/object.h"

class CVariableContext;

// A literal, or a reference to a variable by id that is looked up (course
// table first, then global) each time the value is read.
class CVarOrValue : public CObject {
  DECLARE_SERIAL(CVarOrValue)

 public:
  CVarOrValue() = default;
  explicit CVarOrValue(LONG literal) : m_nValue(literal) {}
  CVarOrValue(const CVarOrValue& other) : CObject(other), m_nValue(other.m_nValue), m_nVarId(other.m_nVarId) {}
  CVarOrValue& operator=(const CVarOrValue& other) {
    m_nValue = other.m_nValue;
    m_nVarId = other.m_nVarId;
    return *this;
  }

  // The bound variable's number (truncated) or integer; the literal otherwise.
  LONG GetLong(CVariableContext& context) const;
  double GetDouble(CVariableContext& context) const;
  CString GetVariableName(CVariableContext& context) const;
  // The variable's name when bound and found, unchanged when bound and
  // missing, the literal in decimal when not bound.
  void Format(CVariableContext& context, CString& text) const;
  // A variable name (bare or in braces) binds; anything else is read as a
  // decimal literal; "#..." keeps an existing binding.
  void SetFromText(CVariableContext& context, const CString& text);

  BOOL IsVariable() const { return m_nVarId != 0; }
  LONG GetLiteral() const { return m_nValue; }
  LONG GetVariableId() const { return m_nVarId; }
  void SetLiteral(LONG value) { m_nValue = value; }
  void SetVariableId(LONG id) { m_nVarId = id; }

  void Serialize(CArchive& ar) override;

 private:
  LONG m_nValue = 0;
  LONG m_nVarId = 0;  // 0: no variable
};

// A rectangle of four bindable coordinates, stored left, top, right, bottom.
class CVariableRect : public CObject {
  DECLARE_SERIAL(CVariableRect)

 public:
  CVariableRect() = default;
  CVariableRect(const CVariableRect& other)
      : CObject(other), left(other.left), right(other.right), top(other.top), bottom(other.bottom) {}
  CVariableRect& operator=(const CVariableRect& other) {
    left = other.left;
    right = other.right;
    top = other.top;
    bottom = other.bottom;
    return *this;
  }

  // Unbound members take the rectangle's coordinates; bound ones stay bound.
  void SetConstants(const CRect& rect);

  void Serialize(CArchive& ar) override;

  CVarOrValue left;
  CVarOrValue right;
  CVarOrValue top;
  CVarOrValue bottom;
};
