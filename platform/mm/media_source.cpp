// The disk and memory byte sources of media.
#include "platform/mm/media_source.h"

#include <algorithm>
#include <cstring>

#include "platform/base/exceptions.h"

std::unique_ptr<CFileByteSource> CFileByteSource::Open(const CString& name) {
  auto source = std::make_unique<CFileByteSource>();
  CFileException error;
  if (!source->m_file.Open(name, CFile::modeRead | CFile::shareDenyWrite, &error)) return nullptr;
  source->m_name = name;
  try {
    source->m_size = source->m_file.GetLength();
  } catch (const std::exception&) {
    return nullptr;
  }
  return source;
}

long long CFileByteSource::Read(void* buffer, std::size_t count) {
  try {
    const UINT chunk = static_cast<UINT>(std::min<std::size_t>(count, 1u << 30));
    return m_file.Read(buffer, chunk);
  } catch (const std::exception&) {
    return -1;
  }
}

bool CFileByteSource::Seek(unsigned long long position) {
  if (position > m_size) return false;
  try {
    m_file.Seek(static_cast<LONGLONG>(position), CFile::begin);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

long long CMemoryByteSource::Read(void* buffer, std::size_t count) {
  const std::size_t n = std::min(count, m_bytes.size() - m_pos);
  if (n) std::memcpy(buffer, m_bytes.data() + m_pos, n);
  m_pos += n;
  return static_cast<long long>(n);
}

bool CMemoryByteSource::Seek(unsigned long long position) {
  if (position > m_bytes.size()) return false;
  m_pos = static_cast<std::size_t>(position);
  return true;
}
