// What a course knows of a hosted control: its events, properties and methods, their parameters, and the lists that hold them.
#pragma once

#include <memory>
#include <vector>

#include "platform/base/cstring.h"
#include "platform/base/object.h"
#include "platform/base/variant.h"

class CActiveXWnd;
class CVariableContext;

// How the course edits and converts a value.
namespace ValueKind {
constexpr LONG kUnsupported = 0;
constexpr LONG kNumber = 1;
constexpr LONG kString = 2;
constexpr LONG kBoolean = 3;
constexpr LONG kEnumeration = 4;
constexpr LONG kColour = 5;
constexpr LONG kCurrency = 6;
constexpr LONG kVariant = 7;
constexpr LONG kDate = 8;
constexpr LONG kNone = 9;
constexpr LONG kFont = 10;
}  // namespace ValueKind

// One named value of an enumeration.
class CEnumProperty : public CObject {
  DECLARE_SERIAL(CEnumProperty)

 public:
  CEnumProperty() = default;
  CEnumProperty(const CString& name, LONG value) : m_strName(name), m_nValue(value) {}
  CEnumProperty(const CEnumProperty& other) = default;
  void Serialize(CArchive& ar) override;

  CString m_strName;
  LONG m_nValue = 0;
};

// A parameter of a method or event, a property's value type or a method's return type.
class CParameter : public CObject {
  DECLARE_SERIAL(CParameter)

 public:
  CParameter() = default;
  explicit CParameter(const CString& name) : m_strName(name) {}
  CParameter(const CParameter& other);
  CParameter& operator=(const CParameter&) = delete;
  void Serialize(CArchive& ar) override;

  CString m_strName;
  VARTYPE m_vt = VT_EMPTY;  // after user-defined types are resolved
  LONG m_nValueKind = ValueKind::kUnsupported;
  BOOL m_bUserDefined = FALSE;
  std::vector<std::unique_ptr<CEnumProperty>> m_enumValues;  // for kind 4
};

using ParameterArray = std::vector<std::unique_ptr<CParameter>>;

// An event the control can fire.
class CCtrlEvent : public CObject {
  DECLARE_SERIAL(CCtrlEvent)

 public:
  CCtrlEvent() = default;
  CCtrlEvent(DISPID dispid, const CString& name) : m_strName(name), m_dispid(dispid) {}
  CCtrlEvent(const CCtrlEvent& other) : CObject(other) { Copy(other); }
  CCtrlEvent& operator=(const CCtrlEvent&) = delete;
  // Name, dispatch id, and deep copies of the parameters in place of the old ones.
  void Copy(const CCtrlEvent& other);
  void Serialize(CArchive& ar) override;

  CString m_strName;
  DISPID m_dispid = 0;
  ParameterArray m_parameters;
};

// A property or method, with the course's bindings of its arguments and
// result to variables. In memory the invoke kind is the dispatch flag.
class CCtrlPropMethod : public CObject {
  DECLARE_SERIAL(CCtrlPropMethod)

 public:
  CCtrlPropMethod() = default;
  CCtrlPropMethod(DISPID dispid, const CString& name) : m_strName(name), m_dispid(dispid) {}
  CCtrlPropMethod(const CCtrlPropMethod& other);
  CCtrlPropMethod& operator=(const CCtrlPropMethod&) = delete;
  void Serialize(CArchive& ar) override;

  // Applies the record to the control hosted by the window, with the
  // variables of the running course (null: none are found). FALSE when
  // nothing was called or the call failed. Throws COleException when an
  // argument or the result does not convert.
  BOOL Invoke(CActiveXWnd* window, CVariableContext* variables) const;

  CString m_strName;
  DISPID m_dispid = 0;
  BOOL m_bHasResult = FALSE;
  ParameterArray m_parameters;  // a property's value type comes first
  WORD m_invokeKind = 1;        // DISPATCH_METHOD, _PROPERTYGET, _PROPERTYPUT or _PROPERTYPUTREF
  std::vector<LONG> m_variableIds;     // per argument; a method's result after them
  std::vector<CString> m_constants;    // per argument, used where no variable is bound
  std::unique_ptr<CParameter> m_pResult;  // when m_bHasResult

 private:
  COleVariant BuildArgument(std::size_t index, CVariableContext* variables) const;
  void StoreResult(std::size_t idIndex, const COleVariant& result, CVariableContext* variables) const;
};

// The settings an ActiveX action applies on each run.
class CCtrlPropMethodArray {
 public:
  void CopyFrom(const CCtrlPropMethodArray& other);
  // Invokes every record in order; one that fails to convert is skipped (an
  // exception must not cross the event loop). Gives the number of records.
  int InvokeAll(CActiveXWnd* window, CVariableContext* variables) const;
  int GetSize() const { return static_cast<int>(m_records.size()); }

  std::vector<std::unique_ptr<CCtrlPropMethod>> m_records;
};

// The authoring side's lists of a control's properties, methods and events.
class CCtrlPropMethodList {
 public:
  void CopyFrom(const CCtrlPropMethodList& other);
  std::vector<std::unique_ptr<CCtrlPropMethod>> m_records;
};

class CCtrlEventList {
 public:
  void CopyFrom(const CCtrlEventList& other);
  std::vector<std::unique_ptr<CCtrlEvent>> m_records;
};
