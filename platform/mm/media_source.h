// IMediaByteSource: the bytes of one open medium, as the decoder reads them; a disk file and a memory block.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "platform/base/cstring.h"
#include "platform/sys/file.h"
#include "platform/base/win_types.h"

// Each open medium reads its own source: a clip worker or the decoder reads
// it from its own thread, so no two media share one.
class IMediaByteSource {
 public:
  virtual ~IMediaByteSource() = default;
  // Bytes read into the buffer: 0 at the end, -1 when the medium cannot be read.
  virtual long long Read(void* buffer, std::size_t count) = 0;
  // Moves to an absolute position; false when it lies past the end.
  virtual bool Seek(unsigned long long position) = 0;
  virtual unsigned long long Size() const = 0;
  // The medium's name as it was opened (for its extension).
  virtual CString Name() const = 0;
};

// A disk file named Windows-style (see MapWindowsPath).
class CFileByteSource final : public IMediaByteSource {
 public:
  // Null when the file cannot be opened.
  static std::unique_ptr<CFileByteSource> Open(const CString& name);

  long long Read(void* buffer, std::size_t count) override;
  bool Seek(unsigned long long position) override;
  unsigned long long Size() const override { return m_size; }
  CString Name() const override { return m_name; }

 private:
  CFile m_file;
  CString m_name;
  unsigned long long m_size = 0;
};

// Bytes held in memory (generated media, fuzz input).
class CMemoryByteSource final : public IMediaByteSource {
 public:
  CMemoryByteSource(std::vector<BYTE> bytes, CString name) : m_bytes(std::move(bytes)), m_name(std::move(name)) {}

  long long Read(void* buffer, std::size_t count) override;
  bool Seek(unsigned long long position) override;
  unsigned long long Size() const override { return m_bytes.size(); }
  CString Name() const override { return m_name; }

 private:
  std::vector<BYTE> m_bytes;
  CString m_name;
  std::size_t m_pos = 0;
};
