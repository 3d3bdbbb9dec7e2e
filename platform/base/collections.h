// The framework's collections: object lists, string arrays and byte arrays, indexed from 0.
#pragma once

#include <algorithm>
#include <vector>

#include "platform/base/cstring.h"
#include "platform/base/object.h"

// An indexed array with the framework's operation names. Out-of-range reads
// and removals are ignored or give a default value rather than overrunning.
template <class T>
class CIndexedArray {
 public:
  int GetSize() const { return static_cast<int>(m_items.size()); }
  int GetCount() const { return GetSize(); }
  bool IsEmpty() const { return m_items.empty(); }
  int GetUpperBound() const { return GetSize() - 1; }

  T GetAt(int i) const { return Valid(i) ? m_items[static_cast<std::size_t>(i)] : T(); }
  T operator[](int i) const { return GetAt(i); }
  T& ElementAt(int i) { return m_items.at(static_cast<std::size_t>(i)); }
  void SetAt(int i, const T& v) {
    if (Valid(i)) m_items[static_cast<std::size_t>(i)] = v;
  }
  void SetAtGrow(int i, const T& v) {
    if (i < 0) return;
    if (static_cast<std::size_t>(i) >= m_items.size()) m_items.resize(static_cast<std::size_t>(i) + 1);
    m_items[static_cast<std::size_t>(i)] = v;
  }
  int Add(const T& v) {
    m_items.push_back(v);
    return GetSize() - 1;
  }
  void InsertAt(int i, const T& v) { m_items.insert(m_items.begin() + std::clamp(i, 0, GetSize()), v); }
  void RemoveAt(int i, int count = 1) {
    if (!Valid(i) || count <= 0) return;
    auto first = m_items.begin() + i;
    m_items.erase(first, first + std::min(count, GetSize() - i));
  }
  void RemoveAll() { m_items.clear(); }
  void SetSize(int n) { m_items.resize(static_cast<std::size_t>(std::max(n, 0))); }
  void Reserve(std::size_t n) { m_items.reserve(n); }

  auto begin() { return m_items.begin(); }
  auto end() { return m_items.end(); }
  auto begin() const { return m_items.begin(); }
  auto end() const { return m_items.end(); }
  const std::vector<T>& items() const { return m_items; }

 private:
  bool Valid(int i) const { return i >= 0 && static_cast<std::size_t>(i) < m_items.size(); }
  std::vector<T> m_items;
};

class CStringArray : public CIndexedArray<CString> {};
class CByteArray : public CIndexedArray<BYTE> {};

// A list of object pointers that it does not own.
class CObList : public CIndexedArray<CObject*> {
 public:
  void AddTail(CObject* obj) { Add(obj); }
  void AddHead(CObject* obj) { InsertAt(0, obj); }
  // The index of obj, or -1.
  int Find(const CObject* obj) const {
    auto it = std::find(begin(), end(), obj);
    return it == end() ? -1 : static_cast<int>(it - begin());
  }
};
