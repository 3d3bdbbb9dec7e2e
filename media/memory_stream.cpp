// The memory stream: a data-file entry, a pre-loaded block or a disk file read by position.
#include "media/memory_stream.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "media/media_environment.h"
#include "platform/msg/clock.h"

CMemoryStream::CMemoryStream(const MediaEnvironment& env, const CString& path, DWORD byteRate, const IClock& clock,
                             bool memoryOnly)
    : m_file(env.dataFile, env.cache), m_path(path), m_rate(byteRate), m_clock(clock), m_start(clock.Now()) {
  CFileException error;
  UINT flags = CFile::modeRead | CFile::shareDenyWrite;
  if (memoryOnly) flags |= CDataMemFile::kMayBeMissing;
  try {
    m_opened = m_file.Open(path, flags, &error) && m_file.IsOpen();
  } catch (const std::exception&) {
    m_opened = false;
  }
}

unsigned long long CMemoryStream::Size() const {
  std::lock_guard lock(m_mutex);
  return m_opened ? m_file.GetLength() : 0;
}

unsigned long long CMemoryStream::Available() const {
  const unsigned long long length = Size();
  if (m_rate == kUnlimited) return length;
  const unsigned long long arrived = static_cast<unsigned long long>(m_clock.Now() - m_start) * m_rate;
  return std::min(length, arrived);
}

bool CMemoryStream::Seek(unsigned long long position) {
  std::lock_guard lock(m_mutex);
  if (!m_opened || position > m_file.GetLength() || position >= (1ull << 32)) return false;
  try {
    m_position = m_file.Seek(static_cast<LONGLONG>(position), CFile::begin);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

long long CMemoryStream::Read(void* buffer, std::size_t count) {
  std::lock_guard lock(m_mutex);
  if (!m_opened) return -1;
  const unsigned long long length = m_file.GetLength();
  const std::size_t n = static_cast<std::size_t>(std::min<unsigned long long>(count, length - std::min(length, m_position)));
  if (m_rate != kUnlimited) {
    // The bytes arrive at the rate: wait until these would have.
    const unsigned long long due = (m_position + n) / m_rate;
    while (static_cast<unsigned long long>(m_clock.Now() - m_start) < due)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  try {
    const UINT got = m_file.Read(buffer, static_cast<UINT>(std::min<std::size_t>(n, 1u << 30)));
    m_position += got;
    return got;
  } catch (const std::exception&) {
    return -1;
  }
}
