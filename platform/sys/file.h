// CFile over a host file descriptor, and CMemFile over a memory buffer.
#pragma once

#include <ctime>
#include <filesystem>
#include <vector>

#include "platform/base/cstring.h"
#include "platform/base/exceptions.h"
#include "platform/base/win_types.h"

// What GetStatus tells of a file: its times (seconds since 1970, 0 when
// unknown), size, attribute bits and full name.
struct CFileStatus {
  std::time_t m_ctime = 0;  // created (the last status change where the system keeps no birth time)
  std::time_t m_mtime = 0;  // last written
  std::time_t m_atime = 0;  // last read
  ULONGLONG m_size = 0;
  BYTE m_attribute = 0;
  CString m_szFullName;
};

class CFile {
 public:
  // Attribute bits of CFileStatus.
  enum Attribute : BYTE { normal = 0x00, readOnly = 0x01, hidden = 0x02, system = 0x04, directory = 0x10 };

  enum OpenFlags : UINT {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareCompat = 0x0000,
    shareExclusive = 0x0010,
    shareDenyWrite = 0x0020,
    shareDenyRead = 0x0030,
    shareDenyNone = 0x0040,
    modeNoInherit = 0x0080,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
    typeText = 0x4000,
    typeBinary = 0x8000,
  };
  enum SeekPosition : UINT { begin = 0, current = 1, end = 2 };

  CFile() = default;
  // Opens at once and throws CFileException on failure.
  CFile(const CString& fileName, UINT openFlags);
  virtual ~CFile();
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;

  // Opens a Windows-style name (see MapWindowsPath). On failure fills error when given.
  virtual BOOL Open(const CString& fileName, UINT openFlags, CFileException* error = nullptr);
  // Opens a host path as it stands.
  BOOL OpenHostPath(const std::filesystem::path& path, UINT openFlags, CFileException* error = nullptr);

  // Reads up to count bytes; fewer at the end of the file. Throws on I/O errors.
  virtual UINT Read(void* buffer, UINT count);
  // Writes all bytes or throws.
  virtual void Write(const void* buffer, UINT count);
  virtual ULONGLONG Seek(LONGLONG offset, UINT from);
  virtual ULONGLONG GetLength() const;
  virtual ULONGLONG GetPosition() const;
  virtual void SetLength(ULONGLONG length);
  virtual void Flush();
  virtual void Close();
  // Closes without throwing.
  virtual void Abort();
  virtual bool IsOpen() const { return m_fd >= 0; }

  void SeekToBegin() { Seek(0, begin); }
  ULONGLONG SeekToEnd() { return Seek(0, end); }

  // The open file's status; FALSE when no file is open.
  virtual BOOL GetStatus(CFileStatus& status) const;

  const CString& GetFilePath() const { return m_strFileName; }
  CString GetFileName() const;
  virtual void SetFilePath(const CString& name) { m_strFileName = name; }

 protected:
  CString m_strFileName;

 private:
  int m_fd = -1;
};

// A file in memory: either its own growable buffer or a read-only view of
// bytes that someone else keeps alive.
class CMemFile : public CFile {
 public:
  CMemFile() = default;
  explicit CMemFile(std::vector<BYTE> bytes) : m_owned(std::move(bytes)) {}
  CMemFile(const BYTE* data, std::size_t size) { Attach(data, size); }

  void Attach(const BYTE* data, std::size_t size);
  // Gives up the owned bytes (empty for an attached view).
  std::vector<BYTE> Detach();
  const BYTE* Data() const { return m_view ? m_view : m_owned.data(); }

  BOOL Open(const CString&, UINT, CFileException* error = nullptr) override;
  UINT Read(void* buffer, UINT count) override;
  void Write(const void* buffer, UINT count) override;
  ULONGLONG Seek(LONGLONG offset, UINT from) override;
  ULONGLONG GetLength() const override { return m_view ? m_viewSize : m_owned.size(); }
  ULONGLONG GetPosition() const override { return m_position; }
  void SetLength(ULONGLONG length) override;
  void Flush() override {}
  void Close() override;
  void Abort() override { Close(); }
  bool IsOpen() const override { return true; }
  // The size of the bytes; no times, no attributes, no name.
  BOOL GetStatus(CFileStatus& status) const override;

 private:
  std::vector<BYTE> m_owned;
  const BYTE* m_view = nullptr;
  std::size_t m_viewSize = 0;
  ULONGLONG m_position = 0;
};
