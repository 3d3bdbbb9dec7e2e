// Writing primitive values, strings, counts, object references and class records to an archive stream.
#include <bit>
#include <cstring>

#include "model/archive.h"

void CArchive::WriteByte(BYTE v) {
  CheckStoring();
  m_stored.push_back(v);
}

void CArchive::WriteWord(WORD v) {
  WriteByte(static_cast<BYTE>(v));
  WriteByte(static_cast<BYTE>(v >> 8));
}

void CArchive::WriteDword(DWORD v) {
  WriteWord(static_cast<WORD>(v));
  WriteWord(static_cast<WORD>(v >> 16));
}

void CArchive::WriteFloat(float v) { WriteDword(std::bit_cast<DWORD>(v)); }

void CArchive::WriteDouble(double v) {
  const auto bits = std::bit_cast<std::uint64_t>(v);
  WriteDword(static_cast<DWORD>(bits));
  WriteDword(static_cast<DWORD>(bits >> 32));
}

void CArchive::WriteRect(const CRect& r) {
  WriteLong(r.left);
  WriteLong(r.top);
  WriteLong(r.right);
  WriteLong(r.bottom);
}

void CArchive::WritePoint(CPoint p) {
  WriteLong(p.x);
  WriteLong(p.y);
}

void CArchive::WriteSize(CSize s) {
  WriteLong(s.cx);
  WriteLong(s.cy);
}

void CArchive::Write(const void* buffer, std::size_t count) {
  CheckStoring();
  const auto* bytes = static_cast<const BYTE*>(buffer);
  m_stored.insert(m_stored.end(), bytes, bytes + count);
}

void CArchive::WriteString(const CString& text) {
  const std::size_t n = static_cast<std::size_t>(text.GetLength());
  if (n < 0xFF) {
    WriteByte(static_cast<BYTE>(n));
  } else if (n < 0xFFFE) {
    WriteByte(0xFF);
    WriteWord(static_cast<WORD>(n));
  } else {
    WriteByte(0xFF);
    WriteWord(0xFFFF);
    WriteDword(static_cast<DWORD>(n));
  }
  Write(text.GetString(), n);
}

void CArchive::WriteCount(DWORD count) {
  if (count < 0xFFFF) {
    WriteWord(static_cast<WORD>(count));
    return;
  }
  WriteWord(0xFFFF);
  WriteDword(count);
}

void CArchive::WriteStringArray(const CStringArray& strings) {
  WriteCount(static_cast<DWORD>(strings.GetSize()));
  for (int i = 0; i < strings.GetSize(); ++i) WriteString(strings[i]);
}

void CArchive::WriteByteArray(const CByteArray& bytes) {
  WriteCount(static_cast<DWORD>(bytes.GetSize()));
  for (int i = 0; i < bytes.GetSize(); ++i) WriteByte(bytes[i]);
}

void CArchive::WriteTag(DWORD index, bool isClass) {
  if (index < kBigObjectTag) {
    WriteWord(static_cast<WORD>(isClass ? (kClassTag | index) : index));
    return;
  }
  WriteWord(kBigObjectTag);
  WriteDword(isClass ? (kBigClassTag | index) : index);
}

void CArchive::WriteClassPart(const CRuntimeClass* cls) {
  if (auto it = m_storedClasses.find(cls); it != m_storedClasses.end()) {
    WriteTag(it->second, true);
    return;
  }
  const std::string_view name(cls->m_lpszClassName);
  // A class a reader could not find again is not written.
  if (name.size() > kMaxClassNameLength || !CRuntimeClass::FromName(name)) Fail(CArchiveException::badClass);
  WriteWord(kNewClassTag);
  WriteWord(static_cast<WORD>(cls->GetSchema()));
  WriteWord(static_cast<WORD>(name.size()));
  Write(name.data(), name.size());
  m_storedClasses.emplace(cls, m_nextIndex++);
}

void CArchive::WriteObject(CObject* obj) {
  CheckStoring();
  if (!obj) {
    WriteWord(kNullTag);
    return;
  }
  if (auto it = m_storedObjects.find(obj); it != m_storedObjects.end()) {
    WriteTag(it->second, false);
    return;
  }
  WriteClassPart(obj->GetRuntimeClass());
  // The index is taken before the fields, so they can name the object itself.
  m_storedObjects.emplace(obj, m_nextIndex++);
  obj->Serialize(*this);
}

void CArchive::WriteClass(const CRuntimeClass* cls) {
  CheckStoring();
  if (!cls) {
    WriteWord(kNullTag);
    return;
  }
  WriteClassPart(cls);
}

void CArchive::Close() {
  if (!m_storing || m_stored.empty()) return;
  // Whole blocks of at most 1 GiB, as the file takes them.
  constexpr std::size_t kBlock = 1u << 30;
  std::size_t done = 0;
  while (done < m_stored.size()) {
    const std::size_t n = std::min(kBlock, m_stored.size() - done);
    m_file.Write(m_stored.data() + done, static_cast<UINT>(n));
    done += n;
  }
  m_stored.clear();
}
