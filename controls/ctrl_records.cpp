// The control records' stored form and their copies.
#include "controls/ctrl_records.h"

#include "model/archive.h"
#include "platform/base/dispatch.h"

IMPLEMENT_SERIAL(CEnumProperty, CObject, 1)
IMPLEMENT_SERIAL(CParameter, CObject, 1)
IMPLEMENT_SERIAL(CCtrlEvent, CObject, 1)
IMPLEMENT_SERIAL(CCtrlPropMethod, CObject, 1)

namespace {

template <class T>
std::vector<std::unique_ptr<T>> DeepCopy(const std::vector<std::unique_ptr<T>>& source) {
  std::vector<std::unique_ptr<T>> copy;
  copy.reserve(source.size());
  for (const auto& item : source) copy.push_back(std::make_unique<T>(*item));
  return copy;
}

// Stored invoke kinds: 1 method, 2 get, 3 put; anything else put by reference.
WORD InvokeKindFromCode(DWORD code) {
  switch (code) {
    case 1: return DISPATCH_METHOD;
    case 2: return DISPATCH_PROPERTYGET;
    case 3: return DISPATCH_PROPERTYPUT;
    default: return DISPATCH_PROPERTYPUTREF;
  }
}

}  // namespace

void CEnumProperty::Serialize(CArchive& ar) {
  m_strName = ar.ReadString();
  m_nValue = ar.ReadLong();
}

CParameter::CParameter(const CParameter& other)
    : CObject(other),
      m_strName(other.m_strName),
      m_vt(other.m_vt),
      m_nValueKind(other.m_nValueKind),
      m_bUserDefined(other.m_bUserDefined),
      m_enumValues(DeepCopy(other.m_enumValues)) {}

void CParameter::Serialize(CArchive& ar) {
  m_strName = ar.ReadString();
  m_vt = ar.ReadWord();
  m_nValueKind = ar.ReadLong();
  m_bUserDefined = ar.ReadLong();
  m_enumValues.clear();
  ar.ReadOwnedList(m_enumValues);
}

void CCtrlEvent::Copy(const CCtrlEvent& other) {
  if (&other == this) return;
  m_strName = other.m_strName;
  m_dispid = other.m_dispid;
  m_parameters = DeepCopy(other.m_parameters);
}

void CCtrlEvent::Serialize(CArchive& ar) {
  m_strName = ar.ReadString();
  m_dispid = ar.ReadLong();
  m_parameters.clear();
  ar.ReadOwnedList(m_parameters);
}

CCtrlPropMethod::CCtrlPropMethod(const CCtrlPropMethod& other)
    : CObject(other),
      m_strName(other.m_strName),
      m_dispid(other.m_dispid),
      m_bHasResult(other.m_bHasResult),
      m_parameters(DeepCopy(other.m_parameters)),
      m_invokeKind(other.m_invokeKind),
      m_variableIds(other.m_variableIds),
      m_constants(other.m_constants),
      m_pResult(other.m_bHasResult && other.m_pResult ? std::make_unique<CParameter>(*other.m_pResult) : nullptr) {}

void CCtrlPropMethod::Serialize(CArchive& ar) {
  m_strName = ar.ReadString();
  m_dispid = ar.ReadLong();
  m_bHasResult = ar.ReadLong();
  m_parameters.clear();
  ar.ReadOwnedList(m_parameters);
  m_invokeKind = InvokeKindFromCode(ar.ReadDword());

  // Counts are 32-bit: each entry's bytes must be there before room is made.
  const DWORD idCount = ar.ReadDword();
  ar.CheckAvailable(static_cast<ULONGLONG>(idCount) * 4);
  m_variableIds.assign(idCount, 0);
  for (LONG& id : m_variableIds) id = ar.ReadLong();
  const DWORD textCount = ar.ReadDword();
  ar.CheckAvailable(textCount);
  m_constants.assign(textCount, CString());
  for (CString& text : m_constants) text = ar.ReadString();

  m_pResult.reset();
  if (m_bHasResult) {
    m_pResult = std::make_unique<CParameter>();
    m_pResult->Serialize(ar);
  }
}

void CCtrlPropMethodArray::CopyFrom(const CCtrlPropMethodArray& other) {
  if (&other != this) m_records = DeepCopy(other.m_records);
}

void CCtrlPropMethodList::CopyFrom(const CCtrlPropMethodList& other) {
  if (&other != this) m_records = DeepCopy(other.m_records);
}

void CCtrlEventList::CopyFrom(const CCtrlEventList& other) {
  if (&other != this) m_records = DeepCopy(other.m_records);
}
