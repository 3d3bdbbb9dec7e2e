// The property bag: its interfaces, its pairs and their stored form.
#include "controls/control_property_bag.h"

#include "model/archive.h"

// {00000000-0000-0000-C000-000000000046}
const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {55272A00-42CB-11CE-8135-00AA004BB851}
const IID IID_IPropertyBag = {0x55272A00, 0x42CB, 0x11CE, {0x81, 0x35, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};

HRESULT CControlPropertyBag::QueryInterface(const IID& iid, void** object) {
  if (!object) return E_NOINTERFACE;
  if (iid == IID_IUnknown || iid == IID_IPropertyBag) {
    AddRef();
    *object = this;
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG CControlPropertyBag::AddRef() { return ++m_refs; }

ULONG CControlPropertyBag::Release() {
  const ULONG count = --m_refs;
  if (count == 0) delete this;
  return count;
}

HRESULT CControlPropertyBag::Read(const CString&, COleVariant&) { return S_OK; }

HRESULT CControlPropertyBag::Write(const CString& name, const COleVariant& value) {
  const VARTYPE vt = value.GetType();
  if (vt == VT_EMPTY || vt == VT_NULL || vt == VT_DISPATCH || vt == VT_UNKNOWN || (vt & (VT_ARRAY | VT_BYREF)) != 0)
    return S_OK;
  try {
    m_values[name] = value.ConvertedTo(VT_BSTR).GetAnsi();
  } catch (const COleException&) {
    // A value with no text form is not kept.
  }
  return S_OK;
}

void CControlPropertyBag::Serialize(CArchive& ar) {
  const DWORD count = ar.ReadCount();
  ar.CheckAvailable(static_cast<ULONGLONG>(count) * 2);
  std::map<CString, CString> values;
  for (DWORD i = 0; i < count; ++i) {
    CString key = ar.ReadString();
    values[key] = ar.ReadString();
  }
  m_values = std::move(values);
}
