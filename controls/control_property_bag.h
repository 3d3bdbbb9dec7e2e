// CControlPropertyBag: a reference-counted bag of a control's persistent properties as name/text pairs.
#pragma once

#include <atomic>
#include <map>

#include "platform/base/cstring.h"
#include "platform/user/native_control.h"

class CArchive;

// The interfaces a bag answers.
extern const IID IID_IUnknown;
extern const IID IID_IPropertyBag;

// Created with a count of 1; the last Release deletes it, so it is only
// ever made with new and let go through Release.
class CControlPropertyBag {
 public:
  CControlPropertyBag() = default;
  // Copies every pair of the other bag; the count starts at 1.
  CControlPropertyBag(const CControlPropertyBag& other) : m_values(other.m_values) {}
  CControlPropertyBag& operator=(const CControlPropertyBag&) = delete;

  // IUnknown
  HRESULT QueryInterface(const IID& iid, void** object);
  ULONG AddRef();
  ULONG Release();

  // IPropertyBag: Read leaves the value untouched. Write stores the value
  // as text under the name, replacing an earlier one; empty, null,
  // interface, array and reference values, and values that do not change
  // to text, are skipped.
  HRESULT Read(const CString& name, COleVariant& value);
  HRESULT Write(const CString& name, const COleVariant& value);

  // The pairs in the framework's string-map form: a count, then key and value per pair.
  void Serialize(CArchive& ar);
  const std::map<CString, CString>& Values() const { return m_values; }

 private:
  ~CControlPropertyBag() = default;

  std::atomic<ULONG> m_refs{1};
  std::map<CString, CString> m_values;
};
